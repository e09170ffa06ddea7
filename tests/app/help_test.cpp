#include "app_test_support.h"

#include "app/help.h"
#include "common/messages.h"
#include "tests/doubles/help_viewer_recorder.h"

#include <cstring>

namespace {

class HelpTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        ResetHelpViewer();
        CopyText(HelpFilePath, sizeof HelpFilePath, Path("ravlen.hlp").c_str());
    }
    void TearDown() override {
        HelpFilePath[0] = '\0';
        ShellTest::TearDown();
    }
};

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(HelpTest, WinHelpFileBesideTheProgramIsUsedWhenPresent) {
    Write("ravlen.hlp", "help");
    Write("ravlen.html", "<html></html>");
    EXPECT_TRUE(ShowHelpTopic(nullptr, kHelpAbout));
    EXPECT_EQ(Strings({"winhelp " + Path("ravlen.hlp") + " 2"}), CallsWithoutBeeps());
}

TEST_F(HelpTest, WithoutWinHelpFileThePageOpensAtTheTopicsAnchor) {
    Write("ravlen.html", "<html></html>");
    for (int context : {kHelpMainWindow, kHelpMenu}) {
        ResetDoubles();
        EXPECT_TRUE(ShowHelpTopic(nullptr, context));
        Strings calls = CallsWithoutBeeps();
        ASSERT_EQ(1u, calls.size());
        EXPECT_EQ(0u, calls[0].find("browser file:")) << calls[0];
        EXPECT_TRUE(EndsWith(calls[0], "/ravlen.html#context-" + std::to_string(context)))
            << calls[0];
        EXPECT_TRUE(ShownBoxes.empty());
    }
}

TEST_F(HelpTest, MissingHelpIsReportedOnceAndNoViewerStarts) {
    EXPECT_FALSE(ShowHelpTopic(nullptr, kHelpMainWindow));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find("Could not open " + Path("ravlen.html") + " \n"))
        << ShownBoxes[0].text;
    EXPECT_GT(ShownBoxes[0].text.size(), ("Could not open " + Path("ravlen.html") + " \n").size());
    EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
    EXPECT_TRUE(CallsStartingWith("winhelp").empty());
    EXPECT_TRUE(CallsStartingWith("browser").empty());
}

TEST_F(HelpTest, BrowserThatDoesNotStartIsReportedOnce) {
    Write("ravlen.html", "<html></html>");
    BrowserStarts = false;
    EXPECT_FALSE(ShowHelpTopic(nullptr, kHelpMenu));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Could not open " + Path("ravlen.html") + " \n", ShownBoxes[0].text);
}

TEST_F(HelpTest, ClosingAtExitOnlyConcernsWinHelp) {
    CloseHelp(nullptr);
    EXPECT_EQ(Strings({"winhelp quit"}), RecordedCalls);
}

TEST(HelpPage, LiesInTheDirectoryOfTheHelpFile) {
    char page[kPathSize];
    ASSERT_TRUE(HelpPagePath("C:\\Program Files\\Ravlen\\ravlen.hlp", page, sizeof page));
    EXPECT_STREQ("C:\\Program Files\\Ravlen\\ravlen.html", page);
    ASSERT_TRUE(HelpPagePath("C:ravlen.hlp", page, sizeof page));
    EXPECT_STREQ("C:ravlen.html", page);
    ASSERT_TRUE(HelpPagePath("", page, sizeof page));
    EXPECT_STREQ("ravlen.html", page);
    // Exactly the room for "D:\ravlen.html" and its NUL, then one byte less.
    EXPECT_TRUE(HelpPagePath("D:\\x.hlp", page, 15));
    EXPECT_FALSE(HelpPagePath("D:\\x.hlp", page, 14));
    EXPECT_STREQ("", page);
}

TEST(HelpPage, UrlEscapesWhatWouldEndThePathAndKeepsTheRest) {
    char url[256];
    ASSERT_TRUE(HelpPageUrl("C:\\Program Files\\Ravlen\\ravlen.html", 9, url, sizeof url));
    EXPECT_STREQ("file:///C:/Program%20Files/Ravlen/ravlen.html#context-9", url);
    ASSERT_TRUE(HelpPageUrl("C:\\a#1\\100%\\why?\\ravlen.html", 0, url, sizeof url));
    EXPECT_STREQ("file:///C:/a%231/100%25/why%3F/ravlen.html#context-0", url);
    // Letters of the system's code page are left for the system to convert.
    ASSERT_TRUE(HelpPageUrl("C:\\Programme\\D\xE9j\xE0\\ravlen.html", 2, url, sizeof url));
    EXPECT_STREQ("file:///C:/Programme/D\xE9j\xE0/ravlen.html#context-2", url);
    ASSERT_TRUE(HelpPageUrl("\\\\server\\share\\ravlen.html", 3, url, sizeof url));
    EXPECT_STREQ("file://server/share/ravlen.html#context-3", url);
}

TEST(HelpPage, UrlThatDoesNotFitIsRefusedWhole) {
    const char page[] = "C:\\a b\\ravlen.html";
    const char whole[] = "file:///C:/a%20b/ravlen.html#context-4";
    char url[64];
    EXPECT_TRUE(HelpPageUrl(page, 4, url, sizeof whole));
    EXPECT_STREQ(whole, url);
    // Cut in the escape, and cut in the anchor.
    EXPECT_FALSE(HelpPageUrl(page, 4, url, 14));
    EXPECT_STREQ("", url);
    EXPECT_FALSE(HelpPageUrl(page, 4, url, sizeof whole - 1));
    EXPECT_STREQ("", url);
}

} // namespace
