#include "common/text_utils.h"
#include "common/recent_reports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

TEST(ReplaceFirst, ReplacesOnlyTheFirstToken) {
    char text[260] = "conv &i &o &i";
    EXPECT_TRUE(ReplaceFirst(text, "&i", "C:\\in.ps"));
    EXPECT_STREQ("conv C:\\in.ps &o &i", text);
    EXPECT_TRUE(ReplaceFirst(text, "&o", ""));
    EXPECT_STREQ("conv C:\\in.ps  &i", text);
    EXPECT_FALSE(ReplaceFirst(text, "&p", "printer"));
    EXPECT_STREQ("conv C:\\in.ps  &i", text);
    EXPECT_FALSE(ReplaceFirst(text, "", "x"));
    EXPECT_STREQ("conv C:\\in.ps  &i", text);
}

TEST(ReplaceFirst, ResultMustStayBelow260Characters) {
    char text[300];
    std::string head(250, 'h');
    strcpy(text, (head + "&f").c_str());
    EXPECT_TRUE(ReplaceFirst(text, "&f", "123456789")); // 259 characters
    EXPECT_EQ(259u, strlen(text));

    strcpy(text, (head + "&f").c_str());
    EXPECT_FALSE(ReplaceFirst(text, "&f", "1234567890")); // would be 260
    EXPECT_EQ(head + "&f", text);

    strcpy(text, (head + "&f").c_str());
    std::string huge(1000, 'r');
    EXPECT_FALSE(ReplaceFirst(text, "&f", huge.c_str()));
    EXPECT_EQ(head + "&f", text);
}

TEST(SplitAtSeparator, TurnsAListIntoNulTerminatedTexts) {
    char filter[] = "Printer files (*.prn) | *.prn|All files (*.*) | *.*|";
    SplitAtSeparator(filter, filter[strlen(filter) - 1]);
    const char* p = filter;
    EXPECT_STREQ("Printer files (*.prn) ", p);
    p += strlen(p) + 1;
    EXPECT_STREQ(" *.prn", p);
    p += strlen(p) + 1;
    EXPECT_STREQ("All files (*.*) ", p);
    p += strlen(p) + 1;
    EXPECT_STREQ(" *.*", p);
    p += strlen(p) + 1;
    EXPECT_EQ(filter + sizeof filter - 1, p);
}

TEST(TextUtils, UpperCaseAndDuplicate) {
    char text[] = ".ps|.Eps|x1_y";
    UpperCase(text);
    EXPECT_STREQ(".PS|.EPS|X1_Y", text);

    char* copy = DuplicateText("pp.txt");
    ASSERT_NE(nullptr, copy);
    EXPECT_STREQ("pp.txt", copy);
    free(copy);
    EXPECT_EQ(nullptr, DuplicateText(nullptr));
}

} // namespace

// A warning for the same thing comes once while it is remembered; the
// memory holds the last sixteen, the oldest going first.
TEST(RecentReports, RemembersTheLastSixteenInAnyLetterCase) {
    RecentReports recent;
    EXPECT_TRUE(FirstReport(&recent, "printer|Sides|two"));
    EXPECT_FALSE(FirstReport(&recent, "PRINTER|sides|TWO"));
    for (int i = 0; i < 15; ++i)
        EXPECT_TRUE(FirstReport(&recent, "other " + std::to_string(i)));
    EXPECT_FALSE(FirstReport(&recent, "printer|Sides|two"));
    EXPECT_TRUE(FirstReport(&recent, "the seventeenth"));
    EXPECT_TRUE(FirstReport(&recent, "printer|Sides|two"));
    EXPECT_FALSE(FirstReport(&recent, "other 14"));
}
