// The windows program's start from its command line: the first-argument
// words, the capture modes, and the file arguments printed as one batch.
#include "app/startup.h"

#include "tests/app/app_test_support.h"
#include "app/batch_sources.h"
#include "common/messages.h"
#include "common/paths.h"
#include "tests/doubles/service_manager_recorder.h"

namespace {

class StartTest : public ShellTest {
  protected:
    StartOutcome Parse(const Strings& arguments) {
        return StartFromCommandLine(arguments, &line, &exitCode);
    }
    AfterCommandLine Print(const Strings& files) {
        CommandLine printed = line;
        printed.files = files;
        return PrintCommandLineFiles(printed);
    }
    CommandLine line;
    int exitCode = -1;
};

TEST_F(StartTest, InstallWordsCountAsFirstArgumentOnly) {
    EXPECT_EQ(Parse({"/INSTALL", "a.txt"}), kStartEnd);
    EXPECT_EQ(RecordedCalls, (Strings{"installer"}));
    ResetDoubles();
    EXPECT_EQ(Parse({"/UnInstall"}), kStartEnd);
    EXPECT_EQ(RecordedCalls, (Strings{"uninstaller"}));

    ResetDoubles();
    EXPECT_EQ(Parse({"/q", "/install", "/uninstall"}), kStartWindows);
    EXPECT_EQ(CallsStartingWith("installer"), Strings{});
    EXPECT_STREQ(SettingsFileName, "stall");
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text, "Invalid qualifier \"/uninstall\"");
    EXPECT_EQ(ShownBoxes[0].kind, kMessageWarning);
}

// "/service" takes over as the first argument, whole; what follows it
// describes the service and does nothing to this run. Anywhere else it is
// /s with the value "rvice", as the grammar reads any qualifier.
TEST_F(StartTest, TheServiceWordCountsAsFirstArgumentOnly) {
    FakeServices = FakeServiceManager();
    std::string ini = SettingsFileName;
    EXPECT_EQ(Parse({"/SERVICE", "install", "Office", "/i:other.ini", "/s:*.prn", "/l:x.log"}),
              kStartEnd);
    EXPECT_EQ(exitCode, 1); // no ravlensvc.exe beside the test
    EXPECT_EQ(SettingsFileName, ini);
    EXPECT_FALSE(SpoolerMode);
    EXPECT_FALSE(LogIsOpen());

    ResetDoubles();
    EXPECT_EQ(Parse({"/service", "list"}), kStartEnd);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(CallsStartingWith("information"),
              Strings{"information Ravlen services: No Ravlen service is installed\n"});
    EXPECT_TRUE(ShownBoxes.empty());

    ResetDoubles();
    EXPECT_EQ(Parse({"/q", "/service", "list"}), kStartWindows);
    EXPECT_STREQ(SpoolerPattern, "rvice");
    EXPECT_EQ(line.files, Strings{"list"});
    EXPECT_TRUE(CallsStartingWith("service").empty());
}

TEST_F(StartTest, LastCaptureQualifierDecidesAndFilesAreIgnored) {
    EXPECT_EQ(Parse({"/c", "b.txt"}), kStartEnd);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(CallsStartingWith("print"), (Strings{"print clipboard (none)"}));

    ResetDoubles();
    EXPECT_EQ(Parse({"/c:clip.txt", "/-"}), kStartEnd);
    EXPECT_EQ(CallsStartingWith("print"), (Strings{"print stdin clip.txt"}));

    ResetDoubles();
    EXPECT_EQ(Parse({"/-:in.txt", "/C"}), kStartEnd);
    EXPECT_EQ(CallsStartingWith("print"), (Strings{"print clipboard in.txt"}));
}

class PrintCommandLineFilesTest : public StartTest {};

TEST_F(PrintCommandLineFilesTest, PrintsInOrderAsOneBatchUntilTheFirstFailure) {
    std::string a = Write("a.txt"), b = Write("b.txt"), c = Write("c.txt");
    ASSERT_TRUE(ChangeDirectory(dir));
    OtherParts.dispatchFailsFor = "b.txt";
    EXPECT_EQ(Print({"a.txt", "b.txt", "c.txt"}), kEnterMessageLoop);
    Strings dispatched = CallsStartingWith("dispatch");
    ASSERT_EQ(dispatched.size(), 2u);
    EXPECT_NE(dispatched[0].find("a.txt"), std::string::npos);
    EXPECT_NE(dispatched[1].find("b.txt"), std::string::npos);
    EXPECT_EQ(CallsStartingWith("progress begin"), (Strings{"progress begin 3"}));
}

TEST_F(PrintCommandLineFilesTest, ListReferencesAreNotResolved) {
    Write("in.lst", "");
    ASSERT_TRUE(ChangeDirectory(dir));
    Print({"@in.lst"});
    EXPECT_EQ(CallsStartingWith("progress file"), (Strings{"progress file @in.lst"}));
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(PrintCommandLineFilesTest, QuitRules) {
    std::string a = Write("a.txt");
    EXPECT_EQ(Print({}), kEnterMessageLoop);
    line.quitAfterCommandLine = true;
    EXPECT_EQ(Print({}), kQuitNow);
    line.quitAfterCommandLine = false;

    UseSettings("QuitFromComLine=1\r\n");
    EXPECT_EQ(Print({}), kEnterMessageLoop);
    OtherParts.dispatchSucceeds = false; // the outcome does not matter
    EXPECT_EQ(Print({a}), kQuitNow);
}

TEST_F(PrintCommandLineFilesTest, CancelledSettingsDialogPrintsNothing) {
    std::string a = Write("a.txt");
    UseSettings("EnablePrefsDD=1\r\nQuitFromComLine=1\r\n");
    OtherParts.settingsDialogConfirmed = false;
    line.deleteAfterPrint = true;
    EXPECT_EQ(Print({a}), kEnterMessageLoop);
    EXPECT_EQ(CallsStartingWith("settings dialog").size(), 1u);
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_TRUE(PathExists(a.c_str()));
    line.quitAfterCommandLine = true;
    EXPECT_EQ(Print({a}), kQuitNow);
}

// /v (either case) shows each file in the preview window in turn; nothing
// prints and nothing is deleted, and the quit rules stay those of printing.
TEST_F(PrintCommandLineFilesTest, PreviewQualifierPreviewsEachFileInsteadOfPrinting) {
    std::string a = Write("a.txt");
    Write("b.ps", "%!PS\n");
    UseSettings("QuitFromComLine=1\r\nEnablePrefsDD=1\r\n");
    ASSERT_TRUE(ChangeDirectory(dir));
    ASSERT_EQ(Parse({"/V", "/delete", "a.txt", "b.ps"}), kStartWindows);
    EXPECT_EQ(ShownTexts(), Strings{});
    EXPECT_EQ(Print(line.files), kQuitNow);
    Strings previews = CallsStartingWith("preview ");
    ASSERT_EQ(previews.size(), 2u);
    // Each with its full path, as printing would get it.
    EXPECT_EQ(previews[0], "preview " + std::string(ResolvePath("a.txt", true)));
    EXPECT_EQ(previews[1], "preview " + std::string(ResolvePath("b.ps", true)));
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_TRUE(CallsStartingWith("settings dialog").empty());
    EXPECT_TRUE(PathExists(a.c_str()));
}

TEST_F(PrintCommandLineFilesTest, DeleteAppliesToTheCommandLineFilesOnly) {
    std::string a = Write("a.txt");
    line.deleteAfterPrint = true;
    Print({a});
    EXPECT_FALSE(PathExists(a.c_str()));
    // A later batch from another source keeps its files.
    std::string b = Write("b.txt");
    PrintDroppedFiles(MainWindow, {b});
    EXPECT_TRUE(PathExists(b.c_str()));
}

// An argument longer than any path is refused whole. Cut to the buffer it
// could name another file, which /delete would then remove.
TEST_F(PrintCommandLineFilesTest, AnOverlongArgumentIsRefusedNotCut) {
    std::string a = Write("a.txt");
    std::string argument = PaddedPath(a, kPathChars) + ".more";
    line.deleteAfterPrint = true;
    EXPECT_EQ(Print({argument}), kEnterMessageLoop);
    EXPECT_TRUE(CallsStartingWith("dispatch").empty());
    EXPECT_TRUE(PathExists(a.c_str()));
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Could not open ", 0), 0u);
}

TEST_F(PrintCommandLineFilesTest, MissingFileUnderEchoLogsTheMessageButNoPrintingLines) {
    std::string log = Path("run.log");
    ASSERT_TRUE(ChangeDirectory(dir));
    Parse({"/l:" + log, "/e", "/q", "missing.txt"});
    EXPECT_EQ(Print(line.files), kQuitNow);
    std::vector<std::string> lines = ReadTestLines(log);
    ASSERT_EQ(lines.size(), 3u); // the message spans two lines
    EXPECT_EQ(lines[0].rfind("-- Ravlen started * ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("* Could not open ", 0), 0u);
    EXPECT_NE(lines[1].find("missing.txt"), std::string::npos);
}

} // namespace
