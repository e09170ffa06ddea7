#include <cctype>
#include <cstring>

#include "textfmt/keyword_table.h"
#include "textfmt_test_support.h"

namespace {

TEST(KeywordTable, AddsFindsAndKeepsCaseRules) {
    KeywordTable* exact = CreateKeywordTable(true);
    EXPECT_EQ(1, AddKeyword(exact, "int", ""));
    EXPECT_EQ(0, AddKeyword(exact, "int", "other"));
    EXPECT_EQ(1, AddKeyword(exact, "Int", "value"));
    EXPECT_STREQ("", FindKeyword(exact, "int"));
    EXPECT_STREQ("value", FindKeyword(exact, "Int"));
    EXPECT_EQ(nullptr, FindKeyword(exact, "INT"));
    EXPECT_EQ(nullptr, FindKeywordRun(exact, "integer", 7));
    EXPECT_STREQ("", FindKeywordRun(exact, "int32", 3));
    // Many keys share the chains.
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(1,
                  AddKeyword(exact, ("k" + std::to_string(i)).c_str(), std::to_string(i).c_str()));
    for (int i = 0; i < 500; ++i)
        EXPECT_EQ(std::to_string(i), FindKeyword(exact, ("k" + std::to_string(i)).c_str()));
    // Keys past the lengths the quick check tells apart, and the empty key.
    std::string longKey(40, 'q');
    EXPECT_EQ(1, AddKeyword(exact, longKey.c_str(), "long"));
    EXPECT_STREQ("long", FindKeyword(exact, longKey.c_str()));
    EXPECT_EQ(nullptr, FindKeyword(exact, std::string(35, 'q').c_str()));
    EXPECT_EQ(nullptr, FindKeywordRun(exact, "", 0));
    EXPECT_EQ(1, AddKeyword(exact, "", "empty"));
    EXPECT_STREQ("empty", FindKeywordRun(exact, "x", 0));
    DestroyKeywordTable(exact);

    KeywordTable* loose = CreateKeywordTable(false);
    EXPECT_EQ(1, AddKeyword(loose, "Select", ""));
    EXPECT_EQ(0, AddKeyword(loose, "SELECT", ""));
    EXPECT_STREQ("", FindKeyword(loose, "select"));
    // Only the letters a to z fold, as in the C library's own locale.
    EXPECT_EQ(1, AddKeyword(loose, "a{_\xE9", ""));
    EXPECT_STREQ("", FindKeyword(loose, "A{_\xE9"));
    EXPECT_EQ(nullptr, FindKeyword(loose, "A[_\xE9"));
    EXPECT_EQ(nullptr, FindKeyword(loose, "A{\x7F\xE9"));
    EXPECT_EQ(nullptr, FindKeyword(loose, "A{_\xC9"));
    DestroyKeywordTable(loose);

    EXPECT_EQ(-1, AddKeyword(nullptr, "x", ""));
    EXPECT_EQ(nullptr, FindKeyword(nullptr, "x"));
}

struct ParsedFile {
    explicit ParsedFile(const std::string& text) : file(text, "r") {
        list = ReadDefinitions(file.file());
    }
    ~ParsedFile() { FreeDefinitionList(list); }
    PrettyPrintDefinition* Section(int n) const {
        PrettyPrintDefinition* d = list;
        while (d && n-- > 0)
            d = d->next;
        return d;
    }
    ScratchFile file;
    PrettyPrintDefinition* list;
};

class DefinitionsTest : public TextFormatterTest {};

TEST_F(DefinitionsTest, TypeLinesOpenSections) {
    ParsedFile parsed("KEYWORDS=ignored\n"
                      "; a comment\n"
                      "TYPE=  .c|.h\n"
                      "TYPE without an equals sign\n"
                      "TAB-WIDTH=4\n"
                      "TYPE=.py\n"
                      "TYPE=.c|.h");
    PrettyPrintDefinition* c = parsed.Section(0);
    ASSERT_NE(nullptr, c);
    EXPECT_STREQ(".C|.H|", c->typeList);
    EXPECT_EQ(nullptr, c->keywords);
    EXPECT_EQ(4, c->tabWidth);
    ASSERT_NE(nullptr, parsed.Section(2));
    EXPECT_STREQ(".C|.|", parsed.Section(2)->typeList);
    EXPECT_EQ(nullptr, parsed.Section(3));

    EXPECT_EQ(c, FindDefinitionIn(parsed.list, "dir\\main.c"));
    EXPECT_EQ(c, FindDefinitionIn(parsed.list, "MAIN.H"));
    EXPECT_EQ(parsed.Section(1), FindDefinitionIn(parsed.list, "x.Py"));
    EXPECT_EQ(nullptr, FindDefinitionIn(parsed.list, "main.cpp"));
    EXPECT_EQ(nullptr, FindDefinitionIn(parsed.list, "some.dir\\Makefile"));
    EXPECT_EQ(nullptr, FindDefinitionIn(parsed.list, ""));
}

TEST_F(DefinitionsTest, KeywordListsAndTheirCaseRule) {
    ParsedFile parsed("TYPE=.a\n"
                      "KEYWORDS=int32 long $var #define do_it\n"
                      "KEYWORD-CASE=no\n"
                      "TYPE=.b\n"
                      "KEYWORD-CASE=no\n"
                      "KEYWORDS=Select from \\\n"
                      "where,order\\\n"
                      "by\n"
                      "group\n"
                      "TYPE=.c\n"
                      "KEYWORDS\n");
    const KeywordTable* a = parsed.Section(0)->keywords;
    EXPECT_STREQ("", FindKeyword(a, "int"));
    EXPECT_STREQ("", FindKeyword(a, "long"));
    EXPECT_STREQ("", FindKeyword(a, "$var"));
    EXPECT_STREQ("", FindKeyword(a, "#define"));
    EXPECT_STREQ("", FindKeyword(a, "do_it"));
    EXPECT_EQ(nullptr, FindKeyword(a, "32"));
    EXPECT_EQ(nullptr, FindKeyword(a, "LONG")); // the later case line came too late

    const KeywordTable* b = parsed.Section(1)->keywords;
    for (const char* word : {"SELECT", "From", "where", "ORDER", "by"})
        EXPECT_STREQ("", FindKeyword(b, word)) << word;
    EXPECT_EQ(nullptr, FindKeyword(b, "group"));

    ASSERT_NE(nullptr, parsed.Section(2)->keywords);
    EXPECT_EQ(nullptr, FindKeyword(parsed.Section(2)->keywords, "KEYWORDS"));
}

TEST_F(DefinitionsTest, AKeywordLineLongerThanAPieceKeepsAllItsWords) {
    std::string line = "TYPE=.k\nKEYWORDS=";
    for (int i = 0; i < 60; ++i)
        line += "word" + std::string(1, static_cast<char>('a' + i % 26)) +
                std::string(1, static_cast<char>('a' + i / 26)) + " ";
    ParsedFile parsed(line + "\n");
    const KeywordTable* table = parsed.Section(0)->keywords;
    for (int i = 0; i < 60; ++i) {
        std::string word = "word" + std::string(1, static_cast<char>('a' + i % 26)) +
                           std::string(1, static_cast<char>('a' + i / 26));
        EXPECT_STREQ("", FindKeyword(table, word.c_str())) << word;
    }
}

TEST_F(DefinitionsTest, StylesColoursMarkersAndTabs) {
    ParsedFile parsed("TYPE=.c\n"
                      "KEYWORD-STYLE=bold underline\n"
                      "KEYWORD-COL=255,0,0\n"
                      "COMMENT-STYLE=italic\n"
                      "COMMENT-COL= 0, 128,1\n"
                      "COL-ON-BW=yes\n"
                      "COMMENT-START=  /* \t\n"
                      "COMMENT-END=\n"
                      "COMMENT-SINGLE\n"
                      "TAB-WIDTH=x\n"
                      "TYPE=.d\n"
                      "KEYWORD-COL=256,0,0\n"
                      "COMMENT-COL=1,2\n"
                      "COMMENT-SINGLE=//\n"
                      "COMMENT-SINGLE\n"
                      "COL-ON-BW=no\n");
    const PrettyPrintDefinition* c = parsed.Section(0);
    EXPECT_EQ(1, c->keywordBold);
    EXPECT_EQ(0, c->keywordItalic);
    EXPECT_EQ(1, c->keywordUnderline);
    EXPECT_EQ(255u, c->keywordColour);
    EXPECT_EQ(0, c->commentBold);
    EXPECT_EQ(1, c->commentItalic);
    EXPECT_EQ(128u * 256 + 65536u, c->commentColour);
    EXPECT_EQ(1, c->colourOnMonochrome);
    EXPECT_STREQ("/*", c->commentStart);
    EXPECT_STREQ("", c->commentEnd);
    EXPECT_EQ(nullptr, c->commentSingle);
    EXPECT_EQ(0, c->tabWidth);

    const PrettyPrintDefinition* d = parsed.Section(1);
    EXPECT_EQ(0u, d->keywordColour);
    EXPECT_EQ(0u, d->commentColour);
    EXPECT_EQ(nullptr, d->commentSingle);
    EXPECT_EQ(0, d->colourOnMonochrome);
}

TEST_F(DefinitionsTest, TheFirstSectionForAnExtensionWins) {
    ParsedFile parsed("TYPE=.txt|.c\nTAB-WIDTH=2\nTYPE=.c\nTAB-WIDTH=3\n");
    EXPECT_EQ(2, FindDefinitionIn(parsed.list, "a.c")->tabWidth);
}

TEST_F(DefinitionsTest, AMissingFileIsReportedAtEveryLookup) {
    SetDefinitionsPath("/no/such/dir/pp.txt");
    EXPECT_FALSE(FindDefinition("a.c"));
    EXPECT_FALSE(FindDefinition("a.c"));
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_NE(std::string::npos,
              ShownBoxes[0].text.find("Failed to open Pretty Print definitions file: "
                                      "/no/such/dir/pp.txt"));
    EXPECT_EQ(nullptr, CurrentDefinition());
    SetDefinitionsPath(nullptr);
    std::string fallback = DefinitionsPath();
    EXPECT_EQ("pp.txt", fallback.substr(fallback.size() - 6));
}

TEST_F(DefinitionsTest, LookupLoadsOnceAndFindsTheSection) {
    ScratchFile file("TYPE=.c|.h\nTAB-WIDTH=4\n");
    SetDefinitionsPath(NativeName(file.path()).c_str());
    EXPECT_TRUE(FindDefinition("main.c"));
    ASSERT_NE(nullptr, CurrentDefinition());
    EXPECT_EQ(4, CurrentDefinition()->tabWidth);
    EXPECT_FALSE(FindDefinition("main"));
    EXPECT_EQ(nullptr, CurrentDefinition());
    EXPECT_TRUE(ShownBoxes.empty());
    SetDefinitionsPath(nullptr);
}

// A list longer than the line buffer keeps every entry, each with its own
// terminator, and the keys after it still fill its section.
TEST_F(DefinitionsTest, ATypeLineLongerThanTheBufferIsReadWhole) {
    std::string list;
    int entries = 0;
    for (; list.size() < 600; ++entries)
        list += ".e" + std::to_string(entries) + "|";
    list += ".last";
    ParsedFile parsed("TYPE=" + list + "\nTAB-WIDTH=6\nTYPE=.next\n");
    const PrettyPrintDefinition* d = parsed.Section(0);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(6, d->tabWidth);
    std::string upper = list;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(upper + "|", d->typeList);
    for (int i = 0; i < entries; ++i)
        EXPECT_EQ(d, FindDefinitionIn(parsed.list, ("f.e" + std::to_string(i)).c_str())) << i;
    EXPECT_EQ(d, FindDefinitionIn(parsed.list, "f.last"));
    EXPECT_EQ(parsed.Section(1), FindDefinitionIn(parsed.list, "f.next"));
    EXPECT_EQ(nullptr, parsed.Section(2));
}

// The "=" of a last line without a line end goes to the terminator: that
// line opens nothing, and the sections before it stay.
TEST_F(DefinitionsTest, AnEmptyLastTypeLineKeepsTheSectionsBeforeIt) {
    ParsedFile parsed("TYPE=.c\nTAB-WIDTH=4\nTYPE=");
    ASSERT_NE(nullptr, parsed.Section(0));
    EXPECT_EQ(4, parsed.Section(0)->tabWidth);
    EXPECT_EQ(nullptr, parsed.Section(1));
    ParsedFile withLineEnd("TYPE=.c\nTYPE=\n");
    ASSERT_NE(nullptr, withLineEnd.Section(1));
    EXPECT_STREQ("|", withLineEnd.Section(1)->typeList);
    EXPECT_EQ(withLineEnd.Section(0), FindDefinitionIn(withLineEnd.list, "a.c"));
}

TEST_F(DefinitionsTest, ExtensionsMatchWholeEntriesOnly) {
    ParsedFile parsed("TYPE=.abc|.c|old.gz|.tar.bz\nTYPE=.bc|.gz|.bz\nTYPE=*.txt| *.log\n");
    EXPECT_EQ(parsed.Section(0), FindDefinitionIn(parsed.list, "x.ABC"));
    EXPECT_EQ(parsed.Section(0), FindDefinitionIn(parsed.list, "x.c"));
    EXPECT_EQ(parsed.Section(1), FindDefinitionIn(parsed.list, "x.bc"));
    EXPECT_EQ(parsed.Section(1), FindDefinitionIn(parsed.list, "x.gz"));
    EXPECT_EQ(parsed.Section(1), FindDefinitionIn(parsed.list, "x.tar.bz"));
    EXPECT_EQ(parsed.Section(2), FindDefinitionIn(parsed.list, "x.txt"));
    EXPECT_EQ(parsed.Section(2), FindDefinitionIn(parsed.list, "x.log"));
    EXPECT_EQ(nullptr, FindDefinitionIn(parsed.list, "x.xt"));
    EXPECT_EQ(nullptr, FindDefinitionIn(parsed.list, "x.og"));
}

// Only a list with sections counts as loaded: the user may fix the file
// while the program runs.
TEST_F(DefinitionsTest, AFileWithoutSectionsIsReadAgainAtTheNextLookup) {
    char name[kPathSize];
    ASSERT_TRUE(MakeTempFileName(name, sizeof name));
    std::string path = name;
    ASSERT_TRUE(WriteTestFile(path, "; nothing yet\n"));
    SetDefinitionsPath(NativeName(path).c_str());
    EXPECT_FALSE(FindDefinition("main.c"));
    ASSERT_TRUE(WriteTestFile(path, "TYPE=.c\nTAB-WIDTH=5\n"));
    EXPECT_TRUE(FindDefinition("main.c"));
    EXPECT_EQ(5, CurrentDefinition()->tabWidth);
    // Loaded now: a later change waits for the next run.
    ASSERT_TRUE(WriteTestFile(path, "TYPE=.h\n"));
    EXPECT_TRUE(FindDefinition("main.c"));
    EXPECT_TRUE(ShownBoxes.empty());
    RemoveFile(path.c_str());
    SetDefinitionsPath(nullptr);
}

// A path that opens but cannot be read (a directory) fails as loudly as one
// that does not open, at every lookup.
TEST_F(DefinitionsTest, ADefinitionsFileThatCannotBeReadIsReported) {
    std::string directory = MakeScratchDirectory();
    ASSERT_FALSE(directory.empty());
    SetDefinitionsPath(NativeName(directory).c_str());
    EXPECT_FALSE(FindDefinition("a.c"));
    EXPECT_FALSE(FindDefinition("a.c"));
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_NE(std::string::npos,
              ShownBoxes[0].text.find("Failed to open Pretty Print definitions file: "));
    SetDefinitionsPath(nullptr);
    RemoveEmptyDirectory(directory.c_str());
}

} // namespace

namespace {

// The definitions shipped with the program read as intended.
TEST(ShippedDefinitions, CoverTheCommonLanguages) {
    FILE* file = fopen(RVL_SHIPPED_DEFINITIONS, "r");
    ASSERT_NE(nullptr, file);
    PrettyPrintDefinition* list = ReadDefinitions(file);
    fclose(file);
    struct Expectation {
        const char* file;
        const char* keyword;
        const char* single;
    };
    const Expectation expectations[] = {
        {"a.c", "#include", "//"}, {"a.HPP", "nullptr", "//"}, {"A.java", "extends", "//"},
        {"a.cs", "foreach", "//"}, {"a.py", "lambda", "#"},    {"a.sh", "esac", "#"},
        {"a.sql", "SELECT", "--"}, {"a.ps", "showpage", "%"},  {"a.ini", "Yes", ";"},
    };
    for (const Expectation& e : expectations) {
        const PrettyPrintDefinition* d = FindDefinitionIn(list, e.file);
        ASSERT_NE(nullptr, d) << e.file;
        EXPECT_STREQ("", FindKeyword(d->keywords, e.keyword)) << e.file;
        EXPECT_EQ(nullptr, FindKeyword(d->keywords, "unknownword")) << e.file;
        ASSERT_NE(nullptr, d->commentSingle) << e.file;
        EXPECT_STREQ(e.single, d->commentSingle) << e.file;
    }
    const PrettyPrintDefinition* c = FindDefinitionIn(list, "a.c");
    EXPECT_STREQ("/*", c->commentStart);
    EXPECT_STREQ("*/", c->commentEnd);
    EXPECT_STREQ("", FindKeyword(c->keywords, "volatile")); // a continued line
    EXPECT_EQ(nullptr, FindKeyword(FindDefinitionIn(list, "a.c")->keywords, "INT"));
    EXPECT_EQ(nullptr, FindDefinitionIn(list, "a.txt"));
    FreeDefinitionList(list);
}

} // namespace
