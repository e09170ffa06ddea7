// The settings file's seam, run against the private-profile functions under
// Wine and against the portable reader and writer natively.
#include "settings_test_support.h"

#include <cstring>

class ProfileTest : public SettingsFileTest {
  protected:
    std::string Read(const char* section, const char* key, const char* fallback = "",
                     int size = 255) {
        char buf[300];
        int length = ReadProfileValue(section, key, fallback, buf, size, file.c_str());
        EXPECT_EQ((int)strlen(buf), length);
        return buf;
    }
    std::vector<std::string> Keys(const char* section, int size = 255) {
        char buf[300];
        memset(buf, '#', sizeof buf);
        std::vector<std::string> names;
        if (ReadWholeKeyNames(section, buf, size, file.c_str()) == 0)
            return names;
        for (const char* name = buf; *name; name += strlen(name) + 1)
            names.push_back(name);
        return names;
    }
    void Write(const char* section, const char* key, const char* value) {
        WriteProfileValue(section, key, value, file.c_str());
    }
};

TEST_F(ProfileTest, ValuesAreTrimmedUnquotedAndFoundWithoutRegardToCase) {
    HandEdit("[Sec]\n  Key One  =  spaced value  \nq=\"quoted \"\nmixed=\"a'\nempty=\n");
    EXPECT_EQ("spaced value", Read("sec", "KEY ONE"));
    EXPECT_EQ("quoted ", Read("Sec", "q"));
    EXPECT_EQ("\"a'", Read("Sec", "mixed"));
    EXPECT_EQ("", Read("Sec", "empty", "fallback"));
    EXPECT_EQ("fallback", Read("Sec", "absent", "fallback  "));
    EXPECT_EQ("fallback", Read("Other", "q", "fallback"));
    EXPECT_EQ("spac", Read("Sec", "Key One", "", 5));
}

TEST_F(ProfileTest, KeysAreListedInFileOrderWithoutCommentsOrBareLines) {
    HandEdit("[Sec]\nb=1\n;c=1\nbare line\na=\nB=2\n");
    EXPECT_EQ((std::vector<std::string>{"b", "a", "B"}), Keys("SEC"));
    EXPECT_EQ((std::vector<std::string>{"b"}), Keys("Sec", 4));
    EXPECT_EQ((std::vector<std::string>{}), Keys("Missing"));
}

TEST_F(ProfileTest, WritesAppendInOrderOfFirstInsertionAndDeleteByName) {
    Write("One", "a", "1");
    Write("Two", "b", "2");
    Write("One", "c", "  3");
    Write("ONE", "A", "changed");
    EXPECT_EQ("[One]\na=changed\nc=3\n[Two]\nb=2\n", Text());

    Write("one", "a", nullptr);
    Write("Two", nullptr, nullptr);
    Write("Missing", "x", nullptr);
    EXPECT_EQ("[One]\nc=3\n", Text());
    Write("One", "c", nullptr);
    EXPECT_EQ("[One]\n", Text());
}

TEST_F(ProfileTest, DeletingFromAMissingFileCreatesNothing) {
    Write("Sec", "key", nullptr);
    Write("Sec", nullptr, nullptr);
    EXPECT_FALSE(PathExists(file.c_str()));
}

TEST_F(ProfileTest, HandEditedLayoutIsTidiedOnTheNextWrite) {
    HandEdit("top=1\n\n  [ Sec ]  \n\n x = 1 \r\n\r\ny=2\r[Next]\nz=3");
    EXPECT_EQ("1", Read("", "top"));
    EXPECT_EQ("2", Read("Sec", "y"));
    Write("Sec", "w", "4");
    EXPECT_EQ("top=1\n[Sec]\nx=1\ny=2\nw=4\n[Next]\nz=3\n", Text());
}
