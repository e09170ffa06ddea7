#include "settings_test_support.h"

static std::string SetFor(const char* path) {
    char name[256];
    return FindSettingsSetForFile(path, name, sizeof name) ? name : "(none)";
}

static Settings WithTypes(const char* types) {
    Settings record;
    SetDefaultSettings(&record);
    CopyText(record.FileTypes, sizeof record.FileTypes, types);
    return record;
}

using FileTypeLookupTest = SettingsFileTest;

TEST_F(FileTypeLookupTest, ExtensionsMatchWholeAndWithoutRegardToCase) {
    SaveAs("PostScript", WithTypes(".ps;.eps"));
    LoadSettingsSet("Default settings");
    EXPECT_EQ("PostScript", SetFor("a.PS"));
    EXPECT_EQ("PostScript", SetFor("C:\\work.dir\\b.eps"));
    EXPECT_EQ("(none)", SetFor("c.sps"));
    EXPECT_EQ("(none)", SetFor("d.p"));
    EXPECT_EQ("(none)", SetFor("C:\\dir.ps\\readme"));
    EXPECT_EQ("(none)", SetFor("e."));
}

// The lists are in the settings file's ANSI code page, the names in UTF-8:
// ".b\xfc" in a list binds "Notes.b\xc3\xbc"; an extension with a letter that
// code page lacks is in no list, not even one holding its stand-in.
TEST_F(FileTypeLookupTest, AnExtensionBeyondAsciiIsLookedForInTheSettingsFilesCodePage) {
    SaveAs("Umlaut", WithTypes(".b\xfc;"));
    SaveAs("Question", WithTypes(".?;"));
    LoadSettingsSet("Default settings");
    EXPECT_EQ("Umlaut", SetFor("C:\\docs\\Notes.b\xc3\xbc"));
    EXPECT_EQ("(none)", SetFor("C:\\docs\\Notes.\xce\xa9"));
}

TEST_F(FileTypeLookupTest, ListsAsUsersWriteThem) {
    SaveAs("Stars", WithTypes("*.TXT; *.log"));
    SaveAs("Bare", WithTypes("ps;eps"));
    LoadSettingsSet("Default settings");
    EXPECT_EQ("Stars", SetFor("x.txt"));
    EXPECT_EQ("Stars", SetFor("x.LOG"));
    EXPECT_EQ("(none)", SetFor("x.ps"));
    EXPECT_EQ("(none)", SetFor("ps"));
}

TEST_F(FileTypeLookupTest, TheCurrentSetWinsThenTheFirstListed) {
    SaveAs("First", WithTypes(".txt"));
    SaveAs("Second", WithTypes(".txt;.log"));
    SaveAs("Third", WithTypes(".log;.txt"));
    ASSERT_TRUE(LoadSettingsSet("Third"));
    EXPECT_EQ("Third", SetFor("a.txt"));
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    EXPECT_EQ("First", SetFor("a.txt"));
    EXPECT_EQ("Second", SetFor("a.log"));
}

TEST_F(FileTypeLookupTest, WithNoBoundSetTheLookupTurnsItselfOffUntilASave) {
    SaveAs("Plain", WithTypes(""));
    EXPECT_EQ("(none)", SetFor("a.txt"));
    EXPECT_FALSE(FileTypeLookupEnabled);

    // Nothing is read while the lookup is off.
    HandEdit("[Settings List]\nDefault settings=1\nPlain=1\n[Plain]\nFileTypes=.txt\n");
    EXPECT_EQ("(none)", SetFor("a.txt"));

    SaveAs("Bound", WithTypes(".log"));
    EXPECT_TRUE(FileTypeLookupEnabled);
    LoadSettingsSet("Default settings");
    EXPECT_EQ("Plain", SetFor("a.txt"));
    EXPECT_EQ("Bound", SetFor("a.log"));
    EXPECT_TRUE(FileTypeLookupEnabled);
}

TEST_F(FileTypeLookupTest, AFileWithoutExtensionLeavesTheFlagAlone) {
    SaveAs("Plain", WithTypes(""));
    LoadSettingsSet("Default settings");
    EXPECT_EQ("(none)", SetFor("Makefile"));
    EXPECT_TRUE(FileTypeLookupEnabled);
}

// The listed names are read into 255 bytes: sets listed beyond them are not
// visited, and a name cut at the end is not taken for another set.
TEST_F(FileTypeLookupTest, OnlySetsWhoseNamesFitTheListBufferAreVisited) {
    std::string text = "[Settings List]\nDefault settings=1\n";
    for (int i = 0; i < 5; i++)
        text += std::string(45, (char)('a' + i)) + "=1\n";
    text += std::string(10, 'x') + "=1\nLate=1\n";
    text += "[" + std::string(45, 'c') + "]\nFileTypes=.c\n";
    text += "[" + std::string(6, 'x') + "]\nFileTypes=.x\n[Late]\nFileTypes=.late\n";
    text += "[" + std::string(10, 'x') + "]\nFileTypes=.x\n";
    HandEdit(text);
    EXPECT_EQ(std::string(45, 'c'), SetFor("f.c"));
    EXPECT_EQ("(none)", SetFor("f.late"));
    EXPECT_EQ("(none)", SetFor("f.x"));
}

TEST_F(FileTypeLookupTest, AFoundNameThatDoesNotFitTheCallersBufferIsNone) {
    SaveAs("A rather long set name", WithTypes(".txt"));
    char name[8];
    EXPECT_FALSE(FindSettingsSetForFile("a.txt", name, sizeof name));
}

// Cut at 254 characters, ".cpp;" would end as ".cp" and claim ".cp" files.
TEST_F(FileTypeLookupTest, AListTooLongForItsFieldBindsNothing) {
    std::string types = std::string(250, ';') + ".cpp;.h;";
    HandEdit("[Settings List]\nDefault settings=1\nLong=1\nShort=1\n"
             "[Long]\nFileTypes=" +
             types + "\n[Short]\nFileTypes=.cp;.h\n");
    EXPECT_EQ("Short", SetFor("a.cp"));
    EXPECT_EQ("Short", SetFor("a.h"));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_NE(std::string::npos, ShownBoxes[0].text.find("FileTypes (settings \"Long\")"));
}
