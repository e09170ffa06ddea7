// The command-line grammar: the qualifier table, qualifiers acting in order,
// and the file arguments.
#include "jobs/command_line.h"
#include "common/code_pages.h"

#include "tests/app/app_test_support.h"
#include "common/messages.h"

#include <cstring>

namespace {

struct Case {
    const char* argument;
    QualifierAction action;
    const char* value;
};

TEST(ClassifyQualifier, Table) {
    const Case cases[] = {
        {"/n:set", kQualSettingsSet, "set"},
        {"/N:set", kQualSettingsSet, "set"},
        {"/nfoo", kQualSettingsSet, "oo"}, // the third character is not examined
        {"/n:", kQualMissingValue, ""},
        {"/n", kQualMissingValue, ""},
        {"/b:d", kQualBackup, "d"},
        {"/B:", kQualMissingValue, ""},
        {"/l:+run.log", kQualLog, "+run.log"},
        {"/l", kQualMissingValue, ""},
        {"/s:*.prn", kQualSpooler, "*.prn"},
        {"/s:", kQualMissingValue, ""},
        {"/i", kQualSettingsFile, ""}, // used unchecked
        {"/I:my.ini", kQualSettingsFile, "my.ini"},
        {"/p:", kQualDefinitions, ""},
        {"/c", kQualClipboard, ""},
        {"/C:notes.txt", kQualClipboard, "notes.txt"},
        {"/-", kQualStdin, ""},
        {"/-:in.txt", kQualStdin, "in.txt"},
        {"/e", kQualEcho, ""},
        {"/E", kQualEcho, ""},
        {"/dump", kQualEcho, ""},
        {"/d", kQualEcho, ""},
        {"/delete", kQualDelete, ""},
        {"/d:delete", kQualDelete, ""},
        {"/Delete", kQualInvalid, ""},
        {"/DELETE", kQualInvalid, ""},
        {"/q", kQualQuit, ""},
        {"/Quit", kQualQuit, ""},
        {"/x1", kQualLockCopies, ""},
        {"/x2", kQualNothing, ""},
        {"/x", kQualNothing, ""},
        {"/X1", kQualInvalid, ""},
        {"/v", kQualPreview, ""},
        {"/View", kQualPreview, ""},
        {"/#3", kQualNothing, ""},
        {"/#:abc", kQualNothing, "abc"},
        {"/#:", kQualNothing, ""},
        {"/", kQualInvalid, ""},
        {"/z", kQualInvalid, ""},
        {"/uninstall", kQualInvalid, ""},
        {"/install", kQualSettingsFile, "stall"},
    };
    for (const Case& c : cases) {
        Qualifier q = ClassifyQualifier(c.argument);
        EXPECT_EQ(q.action, c.action) << c.argument;
        if (c.action != kQualMissingValue && c.action != kQualInvalid) {
            EXPECT_EQ(q.value, c.value) << c.argument;
        }
    }
}

TEST(ClassifyQualifier, CopiesReadAsAnIntegerHeldToTheDeviceRange) {
    Qualifier q = ClassifyQualifier("/#:3");
    EXPECT_EQ(q.action, kQualCopies);
    EXPECT_EQ(q.number, 3);
    EXPECT_EQ(ClassifyQualifier("/#:12x").number, 12);
    EXPECT_EQ(ClassifyQualifier("/#:0").number, 1);
    EXPECT_EQ(ClassifyQualifier("/#:-4").number, 1);
    EXPECT_EQ(ClassifyQualifier("/#:99999999999999999999").number, 32767);
}

class ParseCommandLineTest : public ShellTest {
  protected:
    ParseOutcome Parse(const Strings& arguments) {
        return ParseCommandLine(arguments, &line, &exitCode);
    }
    CommandLine line;
    int exitCode = -1;
};

TEST_F(ParseCommandLineTest, NoArgumentsContinue) {
    EXPECT_EQ(Parse({}), kParseContinue);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(line.files.empty());
    EXPECT_TRUE(RecordedCalls.empty());
}

TEST_F(ParseCommandLineTest, MissingValuesAndUnknownQualifiersWarnAndParsingGoesOn) {
    EXPECT_EQ(Parse({"/n:", "/", "/X1", "/#3", "/#:abc", "/x2", "/q", "f.txt"}), kParseContinue);
    EXPECT_EQ(ShownTexts(), (Strings{"Qualifier /n: must have a value, therfore ignored",
                                     "Invalid qualifier \"/\"", "Invalid qualifier \"/X1\""}));
    EXPECT_TRUE(line.quitAfterCommandLine);
    EXPECT_EQ(line.files, (Strings{"f.txt"}));
    EXPECT_EQ(CallsStartingWith("copies"), Strings{});
    EXPECT_EQ(CallsStartingWith("lock"), Strings{});
}

TEST_F(ParseCommandLineTest, FilesStartAtTheFirstArgumentWithoutASlash) {
    EXPECT_EQ(Parse({"/delete", "a.txt", "/q", "@list"}), kParseContinue);
    EXPECT_EQ(line.files, (Strings{"a.txt", "/q", "@list"}));
    EXPECT_FALSE(line.quitAfterCommandLine);
    EXPECT_TRUE(line.deleteAfterPrint);
    EXPECT_FALSE(EchoToLog);
}

TEST_F(ParseCommandLineTest, SettingsSetsAreSelectedInOrderWithCopiesAfterThem) {
    UseSettings("[oo]\r\nShowPrintDlg=0\r\nPrinterName=Other\r\n", "oo=1\r\n");
    ResetDoubles();
    EXPECT_EQ(Parse({"/#:2", "/nfoo", "/#:3", "/x1", "/n:nothing"}), kParseContinue);
    EXPECT_STREQ(CurrentSetName, "oo");
    EXPECT_EQ(CallsWithoutBeeps(), (Strings{"copies 2", "select printer Other", "copies 3",
                                            "lock copies", "box Settings \"nothing\" not found"}));
    EXPECT_EQ(ShownBoxes[0].kind, kMessageWarning);
    // A name too long for any buffer is not found either, and nothing overflows.
    ResetDoubles();
    Parse({"/n:" + std::string(400, 'n')});
    EXPECT_EQ(ShownBoxes.size(), 1u);
    EXPECT_STREQ(CurrentSetName, "oo");
}

// The command line brings a set's name in UTF-8; the settings file keeps it
// in the ANSI code page. A name that code page holds finds its set, in any
// letter case of ASCII, as the settings file compares names; one with a
// letter the code page lacks names no set of it. Under a double-byte code
// page the Chinese name is held too.
TEST_F(ParseCommandLineTest, ASetNameBeyondAsciiFindsTheSetTheSettingsFileKeeps) {
    const char* names[] = {"B\xC3\xBCro", "\xE5\xB0\x8F\xE8\xAF\xB4", "\xCE\xA9\xCE\xAD\xCE\xB1"};
    std::string sections, sets;
    for (const char* name : names) {
        std::string ansi = AnsiTextOf(name);
        sections += "[" + ansi + "]\r\nShowPrintDlg=0\r\nLines=42\r\nEnableSpooler=1\r\n";
        sets += ansi + "=1\r\n";
    }
    UseSettings(sections, sets);
    struct Given {
        std::string text;
        const char* name; // the set's name as written in UTF-8
    } arguments[] = {
        {std::string("/n:") + names[0], names[0]},
        {"/N:b\xC3\xBCro", names[0]},
        {std::string("/n:") + names[1], names[1]},
        {std::string("/n:") + names[2], names[2]},
    };
    for (const Given& a : arguments) {
        char ansi[64];
        bool held = AnsiNameOf(a.name, ansi, sizeof ansi);
        ASSERT_TRUE(LoadSettingsSet("Default settings"));
        ResetDoubles();
        EXPECT_EQ(Parse({a.text}), kParseContinue) << a.text;
        EXPECT_EQ(CurrentSettings.Lines, held ? 42 : 75) << a.text;
        EXPECT_EQ(CurrentSettings.EnableSpooler, held ? 1 : 0) << a.text;
        EXPECT_EQ(ShownTexts(),
                  held ? Strings{} : Strings{"Settings \"" + a.text.substr(3) + "\" not found"})
            << a.text;
    }
}

TEST_F(ParseCommandLineTest, SettingsFileQualifierMakesItsDefaultSetCurrent) {
    std::string other = Write("other.ini", "[Default settings]\r\nLines=42\r\n");
    EXPECT_EQ(Parse({"/i:" + other}), kParseContinue);
    EXPECT_EQ(std::string(SettingsFileName), other);
    EXPECT_EQ(CurrentSettings.Lines, 42);
}

TEST_F(ParseCommandLineTest, BackupDirectoryIsCreatedAtOnce) {
    std::string backup = Path("saved\\deeper");
    Parse({"/b:" + backup, "/s:" + Path("*.prn")});
    EXPECT_TRUE(IsDirectory(backup.c_str()));
    EXPECT_EQ(std::string(BackupDirectory), backup);
    EXPECT_TRUE(SpoolerMode);
    EXPECT_EQ(std::string(SpoolerPattern), Path("*.prn"));
    EXPECT_TRUE(ShownBoxes.empty());

    ResetDoubles();
    std::string blocked = Write("file") + "\\sub";
    Parse({"/b:" + blocked});
    ASSERT_EQ(ShownBoxes.size(), 1u);
    EXPECT_EQ(ShownBoxes[0].kind, kMessageError);
    EXPECT_EQ(ShownBoxes[0].text.rfind("Failed to create directory ", 0), 0u);
    EXPECT_EQ(std::string(BackupDirectory), blocked);
}

// Each backup copy would be made over the very file it copies, which the
// spooler then deletes: the run is refused before any file is touched.
TEST_F(ParseCommandLineTest, TheSpoolDirectoryAsBackupDirectoryIsRefused) {
    ASSERT_TRUE(MakeDirectory(Path("spool").c_str()));
    ASSERT_TRUE(ChangeDirectory(dir));
    struct Spelling {
        std::string pattern, backup;
        bool refused;
    } cases[] = {
        {Path("spool\\*.prn"), Path("spool\\.\\..\\spool\\"), true},
        {"spool\\*.prn", Path("spool"), true},
        {"*.prn", ".", true},
        {Path("spool\\*.prn"), Path("spool\\saved"), false},
    };
    for (const Spelling& c : cases) {
        ResetDoubles();
        std::string backup = "/b:" + c.backup;
        ParseOutcome outcome = Parse({"/s:" + c.pattern, backup});
        if (c.refused) {
            EXPECT_EQ(outcome, kParseEnd) << backup;
            EXPECT_EQ(exitCode, 1) << backup;
            EXPECT_EQ(ShownTexts(), Strings{"Invalid qualifier \"" + backup + "\""}) << backup;
            EXPECT_EQ(ShownBoxes.at(0).kind, kMessageError);
        } else {
            EXPECT_EQ(outcome, kParseContinue) << backup;
            EXPECT_TRUE(ShownBoxes.empty()) << backup;
        }
    }
}

TEST_F(ParseCommandLineTest, OverlongPathsAreRefusedNotCut) {
    std::string longPath = Path(std::string(800, 'p'));
    Parse({"/s:" + longPath, "/b:" + longPath});
    EXPECT_FALSE(SpoolerMode);
    EXPECT_STREQ(SpoolerPattern, "");
    EXPECT_STREQ(BackupDirectory, "");
    EXPECT_EQ(ShownBoxes.size(), 2u);
}

TEST_F(ParseCommandLineTest, EchoAndSpoolerOpenTheDefaultLogUnlessOneIsOpen) {
    std::string defaultLog = dir + "\\ravlen.log";
#ifdef _WIN32
    char windows[kPathSize];
    ASSERT_TRUE(WindowsDirectory(windows, sizeof windows));
    defaultLog = std::string(windows) + "\\ravlen.log";
#endif
    std::string mine = Path("mine.log");
    Parse({"/e", "/l:" + mine, "/l:" + Path("second.log")});
    EXPECT_TRUE(LogIsOpen());
    EXPECT_FALSE(PathExists(Path("second.log").c_str()));
    LogClose();
    ASSERT_EQ(ReadTestLines(mine).size(), 2u); // started and stopped

    Parse({"/dump"});
    EXPECT_TRUE(LogIsOpen());
    LogClose();
    std::vector<std::string> lines = ReadTestLines(defaultLog);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].rfind("-- Ravlen started * ", 0), 0u);
}

} // namespace
