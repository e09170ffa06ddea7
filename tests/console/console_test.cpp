// The console program: its own qualifiers and refusals, the line per file as
// text and JSON, the exit codes, how questions are answered, and whole runs
// on files, standard input and a spool directory with the console played in
// memory.
#include "console/console_options.h"
#include "console/console_run.h"
#include "console/console_services.h"
#include "console/outcome_lines.h"
#include "console_io_double.h"

#include "tests/app/app_test_support.h"
#include "tests/doubles/service_manager_recorder.h"
#include "analysis/file_analysis.h"
#include "common/message_box.h"
#include "common/messages.h"
#include "common/progress_report.h"
#include "common/paths.h"
#include "jobs/spooler.h"

#include <nlohmann/json.hpp>

namespace {

TEST(ConsoleOptions, OwnQualifiersAreTakenOutAndWindowsOnesRefused) {
    struct Case {
        Strings arguments;
        bool yes, ask, json;
        Strings passed;
        std::string refused;
    };
    const Case cases[] = {
        {{"/y", "/J", "/n:set", "a.txt"}, true, false, true, {"/n:set", "a.txt"}, ""},
        {{"/a", "/e", "a.txt", "/y"}, false, true, false, {"/e", "a.txt", "/y"}, ""},
        {{"/v", "a.txt"}, false, false, false, {"/v", "a.txt"}, "/v"},
        {{"/INSTALL"}, false, false, false, {"/INSTALL"}, "/INSTALL"},
        {{"/q", "/uninstall"}, false, false, false, {"/q", "/uninstall"}, ""},
        {{"a.txt", "/v"}, false, false, false, {"a.txt", "/v"}, ""},
        {{"/s:C:\\spool\\*.prn", "/b:C:\\saved"},
         false,
         false,
         false,
         {"/s:C:\\spool\\*.prn", "/b:C:\\saved"},
         ""},
    };
    for (const Case& c : cases) {
        ConsoleOptions options = ReadConsoleOptions(c.arguments);
        std::string what = c.arguments[0];
        EXPECT_EQ(options.yesToAll, c.yes) << what;
        EXPECT_EQ(options.ask, c.ask) << what;
        EXPECT_EQ(options.json, c.json) << what;
        EXPECT_EQ(options.arguments, c.passed) << what;
        EXPECT_EQ(options.refused, c.refused) << what;
    }
}

BatchEntry Entry(EntryOutcome outcome, const std::string& name, int kind, int pages,
                 long long bytes) {
    BatchEntry entry;
    entry.name = name;
    entry.outcome = outcome;
    entry.sent.kind = kind;
    entry.sent.pages = pages;
    entry.sent.bytes = bytes;
    return entry;
}

TEST(OutcomeLines, TextAndJsonForEachOutcomeAndKind) {
    struct Case {
        BatchEntry entry;
        std::string text;
        std::string json;
    };
    const Case cases[] = {
        {Entry(kEntryPrinted, "C:\\docs\\a.txt", Text, 3, 0),
         "printed: C:\\docs\\a.txt (text, 3 pages)",
         R"({"outcome":"printed","name":"C:\\docs\\a.txt","kind":"text","pages":3})"},
        {Entry(kEntryPrinted, "b.ps", StructuredPostScript, 1, 2410),
         "printed: b.ps (postscript, 1 page, 2410 bytes)",
         R"({"outcome":"printed","name":"b.ps","kind":"postscript","pages":1,"bytes":2410})"},
        {Entry(kEntryPrinted, "c.eps", EncapsulatedPostScript, 0, 1),
         "printed: c.eps (eps, 1 byte)",
         R"({"outcome":"printed","name":"c.eps","kind":"eps","bytes":1})"},
        {Entry(kEntryPrinted, "d.prn", Binary, 0, 120), "printed: d.prn (raw, 120 bytes)",
         R"({"outcome":"printed","name":"d.prn","kind":"raw","bytes":120})"},
        {Entry(kEntryNotPrinted, "e.txt", Text, 0, 0), "not printed: e.txt",
         R"({"outcome":"not printed","name":"e.txt"})"},
        {Entry(kEntryFailed, "f \"x\".txt", Binary, 0, 0), "failed: f \"x\".txt",
         R"({"outcome":"failed","name":"f \"x\".txt"})"},
        {Entry(kEntryFailed, "\xCE\xB1\xCE\xB2.txt", Binary, 0, 0), "failed: \xCE\xB1\xCE\xB2.txt",
         "{\"outcome\":\"failed\",\"name\":\"\xCE\xB1\xCE\xB2.txt\"}"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutcomeLine(c.entry), c.text);
        EXPECT_EQ(OutcomeJson(c.entry), c.json);
    }
    // Bytes that are not UTF-8 (an ANSI name, an unpaired surrogate) still
    // make a line that parses.
    for (const char* name : {"caf\xE9.txt", "\xED\xA0\x80.txt"}) {
        std::string json = OutcomeJson(Entry(kEntryFailed, name, Binary, 0, 0));
        EXPECT_TRUE(nlohmann::json::accept(json)) << json;
    }
}

TEST(ConsoleExitCodes, FromTheOutcomes) {
    struct Case {
        int printed, notPrinted, failed;
        bool stopped;
        ConsoleExitCode code;
    };
    const Case cases[] = {
        {3, 0, 0, false, kExitPrinted},    {0, 0, 0, false, kExitPrinted},
        {2, 1, 0, false, kExitNotPrinted}, {2, 1, 1, false, kExitFailed},
        {1, 0, 0, true, kExitFailed},      {0, 2, 0, true, kExitFailed},
    };
    for (const Case& c : cases) {
        RunTally tally;
        tally.printed = c.printed, tally.notPrinted = c.notPrinted, tally.failed = c.failed;
        tally.stopped = c.stopped;
        EXPECT_EQ(ExitCodeOf(tally), c.code) << c.printed << c.notPrinted << c.failed << c.stopped;
    }
}

class ConsoleTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        Console = ConsoleScript();
    }
    // What a stream got, one a line.
    static Strings Lines(const std::string& text) {
        Strings lines;
        std::string line;
        for (char c : text) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else if (c != '\r') {
                line += c;
            }
        }
        return lines;
    }
    Strings ErrorLines() const { return Lines(Console.err); }
    Strings OutputLines() const { return Lines(Console.out); }
    // The program reads the settings file it is given and no other, so every
    // run names the test's own.
    int Run(Strings arguments) {
        arguments.insert(arguments.begin(), "/i:" + Path("ravlen.ini"));
        return RunConsole(arguments);
    }
};

TEST_F(ConsoleTest, MessagesAreOneLineOnStandardErrorAndQuestionsAnswerThemselves) {
    struct Case {
        Strings qualifiers;
        bool inputIsConsole;
        std::deque<std::string> typed;
        int answer;
        std::string line;
    };
    const Case cases[] = {
        {{}, false, {}, kAnswerNo, "ravlenc: question: Print anyway? No"},
        {{"/y"}, false, {}, kAnswerYes, "ravlenc: question: Print anyway? Yes"},
        {{"/a"}, false, {"y"}, kAnswerNo, "ravlenc: question: Print anyway? No"},
        {{"/a"}, true, {"yes"}, kAnswerYes, "ravlenc: question: Print anyway? [y/N] "},
        {{"/a"}, true, {""}, kAnswerNo, "ravlenc: question: Print anyway? [y/N] "},
        {{"/a"}, true, {}, kAnswerNo, "ravlenc: question: Print anyway? [y/N] "},
    };
    for (const Case& c : cases) {
        Console = ConsoleScript();
        Console.inputIsConsole = c.inputIsConsole;
        Console.typed = c.typed;
        UseConsoleOptions(ReadConsoleOptions(c.qualifiers));
        EXPECT_EQ(PlatformMessageBox("Print anyway?", "Ravlen Warning", kMessageQuestion), c.answer)
            << c.line;
        EXPECT_EQ(Console.err.substr(0, c.line.size()), c.line);
    }
    Console = ConsoleScript();
    EXPECT_EQ(MessageLine("Could not open a.txt \nNo such file", kMessageError),
              "ravlenc: error: Could not open a.txt No such file");
    EXPECT_EQ(MessageLine("Settings \"x\" not found", kMessageWarning),
              "ravlenc: warning: Settings \"x\" not found");
}

TEST_F(ConsoleTest, ABatchPrintsEveryFileItCanWithALineEachAndTheExitCodeSaysHow) {
    ASSERT_TRUE(ChangeDirectory(dir));
    Write("a.txt"), Write("b.ps", "%!PS\n"),
        Write("c.prn", "\x1b"
                       "E");
    OtherParts.dispatchFailsFor = "b.ps";
    EXPECT_EQ(Run({"/e", "a.txt", "b.ps", "missing.txt", "c.prn"}), kExitFailed);
    std::string a = ResolvePath("a.txt", true), b = ResolvePath("b.ps", true);
    std::string missing = ResolvePath("missing.txt", true), c = ResolvePath("c.prn", true);
    EXPECT_EQ(OutputLines(), (Strings{"printed: " + a + " (text)", "failed: " + b,
                                      "failed: " + missing, "printed: " + c + " (raw)"}));
    Strings errors = ErrorLines();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("ravlenc: error: Could not open " + missing, 0), 0u);
    EXPECT_TRUE(ShownBoxes.empty()) << "no box, ever";
    EXPECT_TRUE(CallsStartingWith("printer dialog").empty());

    // Left out by choice: exit code 3; all printed: 0, as JSON lines.
    Console = ConsoleScript();
    OtherParts.dispatchFailsFor.clear();
    OtherParts.dispatchSkipsFor = "a.txt";
    EXPECT_EQ(Run({"a.txt", "c.prn"}), kExitNotPrinted);
    Console = ConsoleScript();
    OtherParts.dispatchSkipsFor.clear();
    EXPECT_EQ(Run({"/j", "c.prn"}), kExitPrinted);
    nlohmann::ordered_json expected = {{"outcome", "printed"}, {"name", c}, {"kind", "raw"}};
    EXPECT_EQ(OutputLines(), Strings{expected.dump()});
}

TEST_F(ConsoleTest, ARefusedCommandLinePrintsNothingWithExitCodeTwo) {
    ASSERT_TRUE(ChangeDirectory(dir));
    Write("a.txt");
    struct Case {
        Strings arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"/v", "a.txt"}, "ravlenc: error: /v needs the windows program, ravlen.exe"},
        {{"/z", "a.txt"}, "ravlenc: warning: Invalid qualifier \"/z\""},
        {{"/n:", "a.txt"}, "ravlenc: warning: Qualifier /n: must have a value, therfore ignored"},
        {{"/n:Nothing", "a.txt"}, "ravlenc: warning: Settings \"Nothing\" not found"},
        {{"/s:" + Path("*.prn")}, "ravlenc: error: Spooler function is not enabled"},
        {{"/e"},
         "ravlenc: error: Nothing to print: give the files, a list file (@list), "
         "/s:pattern, /c or /- (or -)"},
    };
    for (const Case& c : cases) {
        Console = ConsoleScript();
        ResetShellState();
        ResetDoubles();
        EXPECT_EQ(Run(c.arguments), kExitRefused) << c.arguments[0];
        EXPECT_EQ(ErrorLines(), Strings{c.message}) << c.arguments[0];
        EXPECT_TRUE(Console.out.empty()) << c.arguments[0];
        EXPECT_TRUE(CallsStartingWith("dispatch").empty()) << c.arguments[0];
    }
}

TEST_F(ConsoleTest, CtrlCStopsTheFileInHandAndEndsTheRunWithTheLogsStopLine) {
    ASSERT_TRUE(ChangeDirectory(dir));
    std::string a = Write("a.txt"), b = Write("b.txt"), log = Path("run.log");
    // Pressed while the first file prints: the output in hand stops.
    PressCtrlCWhilePrinting();
    EXPECT_EQ(Run({"/l:" + log, "/delete", "a.txt", "b.txt"}), kExitFailed) << Console.err;
    EXPECT_EQ(OutputLines(), Strings{"not printed: " + std::string(ResolvePath("a.txt", true))});
    EXPECT_TRUE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(b.c_str()));
    Strings lines = ReadTestLines(log);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind("-- Ravlen stopped * ", 0), 0u);
}

TEST_F(ConsoleTest, TheSpoolerServesUntilCtrlCAndLeavesTheFileInHand) {
    UseSettings("EnableSpooler=1\r\n");
    std::string spool = Path("spool");
    ASSERT_TRUE(MakeDirectory(spool.c_str()));
    std::string a = Write("spool\\a.prn", "\x1b"
                                          "E");
    // The first scan sees a.prn, the next one prints it; then b.prn comes,
    // and Ctrl+C is pressed while it prints.
    Console.duringWait = [&] {
        OtherParts.localClock += kSpoolerIntervalMs;
        Console.duringWait = [&] {
            Write("spool\\b.prn", "\x1b"
                                  "E");
            OtherParts.localClock += kSpoolerIntervalMs;
            Console.duringWait = [&] {
                OtherParts.localClock += kSpoolerIntervalMs;
                PressCtrlCWhilePrinting();
            };
        };
    };
    EXPECT_EQ(Run({"/s:" + spool + "\\*.prn"}), kExitFailed) << Console.err;
    EXPECT_FALSE(PathExists(a.c_str()));
    EXPECT_TRUE(PathExists(Path("spool\\b.prn").c_str()));
    Strings output = OutputLines();
    ASSERT_EQ(output.size(), 2u);
    EXPECT_EQ(output[0], "printed: " + a + " (raw)");
    EXPECT_EQ(output[1], "not printed: " + Path("spool\\b.prn"));
}

// "/service" as the first word: what it did, or the list, on standard output.
TEST_F(ConsoleTest, ServiceCommandsTellTheirOutcomeOnStandardOutput) {
    FakeServices = FakeServiceManager();
    EXPECT_EQ(RunConsole({"/service", "list"}), kExitPrinted);
    EXPECT_EQ(OutputLines(), Strings{"No Ravlen service is installed"});
    EXPECT_TRUE(Console.err.empty());

    Console = ConsoleScript();
    EXPECT_EQ(RunConsole({"/service", "install", "a b", "/s:" + Path("*.prn")}), kExitFailed);
    EXPECT_TRUE(Console.out.empty());
    EXPECT_EQ(ErrorLines(), Strings{"ravlenc: error: A service name has 1 to 64 letters, digits, - "
                                    "and _ and nothing else: \"a b\""});
    EXPECT_TRUE(FakeServices.services.empty());
}

TEST_F(ConsoleTest, TheProgressLineShowsOnAConsoleOnly) {
    for (bool console : {false, true}) {
        Console = ConsoleScript();
        Console.errIsConsole = console;
        UseConsoleOptions(ConsoleOptions());
        ProgressNextFile("report.ps");
        ProgressPercent(0.42);
        ProgressEnd();
        if (!console) {
            EXPECT_TRUE(Console.err.empty());
            continue;
        }
        EXPECT_NE(Console.err.find("\r42 %  report.ps"), std::string::npos) << Console.err;
        EXPECT_EQ(Console.err.back(), '\r') << "the line is cleared at the end";
    }
}

} // namespace
