#include "common/bounded_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(BoundedText, CopyCutsAtTheBufferAndSaysSo) {
    char buf[6];
    EXPECT_TRUE(CopyText(buf, sizeof buf, "12345"));
    EXPECT_STREQ("12345", buf);
    EXPECT_FALSE(CopyText(buf, sizeof buf, "123456"));
    EXPECT_STREQ("12345", buf);
    EXPECT_TRUE(CopyText(buf, sizeof buf, nullptr));
    EXPECT_STREQ("", buf);
    char untouched = 'x';
    EXPECT_FALSE(CopyText(&untouched, 0, "a"));
    EXPECT_EQ('x', untouched);
}

TEST(BoundedText, AppendKeepsWhatFitsAndRefusesAnUnterminatedBuffer) {
    char buf[8] = "abc";
    EXPECT_TRUE(AppendText(buf, sizeof buf, "defg"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_FALSE(AppendText(buf, sizeof buf, "h"));
    EXPECT_STREQ("abcdefg", buf);

    char full[4];
    memset(full, 'z', sizeof full);
    EXPECT_FALSE(AppendText(full, sizeof full, "a"));
    EXPECT_EQ('\0', full[3]);
}

TEST(BoundedText, FormatCutsAMessageAt255Characters) {
    char buf[kMessageSize];
    std::string longText(300, 'x');
    EXPECT_FALSE(FormatText(buf, sizeof buf, "<%s>", longText.c_str()));
    EXPECT_EQ(255u, strlen(buf));
    EXPECT_EQ('<', buf[0]);
    EXPECT_TRUE(FormatText(buf, sizeof buf, "%d-%s", 42, "ok"));
    EXPECT_STREQ("42-ok", buf);
}

TEST(BoundedText, ComparesLettersWithoutRegardToCase) {
    EXPECT_EQ(0, CompareNoCase("Default Settings", "default settings"));
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("abcd", "ABC"), 0);
    EXPECT_TRUE(StartsWithNoCase("/install", "/INST"));
    EXPECT_FALSE(StartsWithNoCase("/in", "/install"));
    EXPECT_TRUE(StartsWithNoCase("anything", ""));
}
