// The service's run with the service manager, the clock and the event log
// played by doubles: where its messages go, what keeps it from starting, and
// the scans with the stop, pause and continue that arrive meanwhile.
#include "service/service_run.h"

#include "tests/app/app_test_support.h"
#include "tests/doubles/service_doubles.h"
#include "common/file_system.h"
#include "common/messages.h"
#include "install/service_manager.h"
#include "jobs/spooler.h"

namespace {

class ServiceTest : public ShellTest {
  public:
    using ShellTest::Path;
    using ShellTest::UseSettings;

  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Service = ServiceScript();
        ASSERT_TRUE(MakeDirectory(Path("spool").c_str()));
        ASSERT_TRUE(MakeDirectory(Path("data").c_str()));
        Service.commonData = Path("data");
        UseSettings("EnableSpooler=1\r\nShowPrintDlg=1\r\nProgrBar=1\r\n");
        ini = Path("ravlen.ini");
        program = Path("ravlensvc.exe");
        pattern = Path("spool\\*.prn");
    }
    void TearDown() override {
        EndServiceRun();
        ShellTest::TearDown();
    }
    int Begin(Strings extra = {}) {
        Strings arguments = {"/i:" + ini, "/s:" + pattern};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return BeginServiceRun("Ravlen-Office", arguments, program);
    }

  public:
    std::string ini, program, pattern;
};

// Nobody is there to click: each message is in the activity log and the
// event log, with its kind, and a question is answered No at once.
TEST_F(ServiceTest, MessagesGoToTheLogAndTheEventLogAndNeverWait) {
    ASSERT_TRUE(MakeDirectory(Path("data\\Ravlen").c_str()));
    ASSERT_TRUE(WriteTestFile(Path("data\\Ravlen\\Office.log"), "\xEF\xBB\xBFthe run before\n"));
    ASSERT_EQ(Begin(), 0);
    EXPECT_EQ(ShowMessage(kTextTextTooSmall, "", 0, kMessageError), kAnswerOk);
    EXPECT_EQ(ShowMessage(kTextPrinterFailed, "capture", 0, kMessageWarning), kAnswerOk);
    EXPECT_EQ(ShowMessage(kTextNonPostScriptPrinter, "", 0, kMessageQuestion), kAnswerNo);
    using Event = std::pair<int, std::string>;
    EXPECT_EQ(Service.events,
              (std::vector<Event>{
                  {kMessageError, "The current settings renders a text height which is too small"},
                  {kMessageWarning, "Failed to use printer \"capture\""},
                  {kMessageQuestion, LoadText(kTextNonPostScriptPrinter)}}));
    Strings lines = ReadTestLines(Path("data\\Ravlen\\Office.log"));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "the run before"); // continued, not emptied
    EXPECT_EQ(lines[1].rfind("-- Ravlen started * ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("* The current settings renders a text height", 0), 0u);
    EXPECT_EQ(lines[3].rfind("* Failed to use printer \"capture\" * ", 0), 0u);
}

TEST_F(ServiceTest, ALogOfItsOwnIsTheOneNamed) {
    ASSERT_EQ(Begin({"/l:" + Path("mine.log")}), 0);
    EXPECT_EQ(ReadTestLines(Path("mine.log")).size(), 1u);
    EXPECT_FALSE(PathExists(Path("data\\Ravlen").c_str()));
}

// A refusal is reported in the event log, naming what is wrong, and the
// service stops with an error.
TEST_F(ServiceTest, RefusesToStartWhenItMayNotRun) {
    struct Case {
        const char* name;
        std::function<void(ServiceTest*)> before;
        Strings extra;
        std::function<std::string(ServiceTest*)> message;
    } cases[] = {
        {"spooler not enabled",
         [](ServiceTest* t) { t->UseSettings(""); },
         {},
         [](ServiceTest*) { return std::string("Spooler function is not enabled"); }},
        {"backup into the spool directory",
         [](ServiceTest*) {},
         {"/b:" + Path("spool")},
         [](ServiceTest* t) { return "Invalid qualifier \"/b:" + t->Path("spool") + "\""; }},
        {"settings others may write",
         [](ServiceTest* t) {
             FileAccess open;
             open.owner = "S-1-5-32-544";
             open.entries.push_back({"S-1-5-32-545", 0x1301BF, true, false}); // Users: modify
             Service.access[t->Full(t->ini)] = open;
         },
         {},
         [](ServiceTest* t) {
             return "The service does not start: " + t->Full(t->ini) +
                    " can be written by users other than administrators, SYSTEM and the "
                    "service's own account";
         }},
    };
    for (const Case& c : cases) {
        EndServiceRun();
        ResetDoubles();
        Service = ServiceScript();
        Service.commonData = Path("data");
        UseSettings("EnableSpooler=1\r\n");
        c.before(this);
        EXPECT_EQ(Begin(c.extra), 1) << c.name;
        ASSERT_FALSE(Service.events.empty()) << c.name;
        EXPECT_EQ(Service.events.back().first, kMessageError) << c.name;
        EXPECT_EQ(Service.events.back().second, c.message(this)) << c.name;
    }
}

// As spooler mode: a scan on the timer, unattended whatever the set says,
// each file printed and deleted; a stop between scans ends the run.
TEST_F(ServiceTest, ScansOnItsTimerUnattendedUntilStopped) {
    std::string a = Write("spool\\a.prn"), b = Write("spool\\b.prn");
    ASSERT_EQ(Begin(), 0);
    // The first scan sees the files, the second prints them.
    Service.atWait[2] = [] { Service.asked.stop = true; };
    RunServiceScans();
    EXPECT_EQ(CallsStartingWith("wait"), (Strings{"wait 5000", "wait 5000", "wait 5000"}));
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 2u);
    EXPECT_TRUE(CallsStartingWith("printer dialog").empty());
    EXPECT_FALSE(PathExists(a.c_str()) || PathExists(b.c_str()));
    EXPECT_EQ(Service.states, (std::vector<int>{kServiceRunning}));
    EndServiceRun();
    Strings lines = ReadTestLines(Path("data\\Ravlen\\Office.log"));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("-- Ravlen stopped * ", 0), 0u);
    EXPECT_TRUE(Service.events.empty());
}

// A stop reaches the file in hand at the next turn of the pump: that file
// stays, unless its job is with the spooler already, and no other is taken.
TEST_F(ServiceTest, AStopEndsTheFileInHandAsExitDoes) {
    struct Case {
        const char* name;
        bool whileSending; // or once the job is complete
        size_t left;
    } cases[] = {{"while the job is sent", true, 2},
                 {"once the job is with the spooler", false, 1}};
    for (const Case& c : cases) {
        EndServiceRun();
        ResetDoubles();
        Service = ServiceScript();
        Service.commonData = Path("data");
        std::string a = Write("spool\\a.prn"), b = Write("spool\\b.prn");
        ASSERT_EQ(Begin(), 0);
        auto stop = [] { Service.asked.stop = true; };
        if (c.whileSending)
            OtherParts.duringPump = stop;
        else
            StopOnceAJobIsDone(stop);
        RunServiceScans();
        EXPECT_EQ(CallsStartingWith("dispatch").size(), 1u) << c.name;
        EXPECT_EQ(PathExists(a.c_str()) + PathExists(b.c_str()), static_cast<int>(c.left))
            << c.name;
        EXPECT_TRUE(SpoolerExitPending()) << c.name;
        EXPECT_TRUE(Service.events.empty()) << c.name;
        RemoveFile(a.c_str());
        RemoveFile(b.c_str());
    }
}

// Pause lets the file in hand print and takes no other; Continue goes on.
TEST_F(ServiceTest, PauseStopsTakingFilesAndContinueGoesOn) {
    std::string a = Write("spool\\a.prn"), b = Write("spool\\b.prn");
    ASSERT_EQ(Begin(), 0);
    OtherParts.duringPump = [] { Service.asked.pause = true; };
    Service.atWait[2] = [] { Service.asked.pause = false; };
    Service.atWait[4] = [] { Service.asked.stop = true; };
    RunServiceScans();
    EXPECT_EQ(CallsStartingWith("dispatch").size(), 2u);
    EXPECT_FALSE(PathExists(a.c_str()) || PathExists(b.c_str()));
    EXPECT_EQ(Service.states, (std::vector<int>{kServiceRunning, kServicePaused, kServiceRunning}));
    // Paused, it waited for the continue without a time; then the timer ran.
    EXPECT_EQ(CallsStartingWith("wait"),
              (Strings{"wait 5000", "wait 5000", "wait", "wait 5000", "wait 5000"}));
}

} // namespace
