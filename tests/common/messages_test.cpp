#include "common/messages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "jobs/activity_log.h"
#include "tests/doubles/recorder.h"
#include "test_files.h"

namespace {

class ShowMessageTest : public testing::Test {
  protected:
    void SetUp() override { ResetDoubles(); }
    void TearDown() override {
        LogClose();
        if (!logPath.empty())
            RemoveFile(logPath.c_str());
    }

    void OpenLog() {
        char name[kPathSize];
        ASSERT_TRUE(MakeTempFileName(name, sizeof name));
        logPath = name;
        ASSERT_TRUE(LogOpen(name));
    }

    std::string LogContents() {
        std::string contents;
        FILE* file = fopen(NativeName(logPath).c_str(), "r"); // text, as it was written
        if (!file)
            return contents;
        char block[512];
        size_t count;
        while ((count = fread(block, 1, sizeof block, file)) > 0)
            contents.append(block, count);
        fclose(file);
        return contents;
    }

    std::string logPath;
};

TEST_F(ShowMessageTest, ErrorShowsTitleTextBeepAndLogLineInOrder) {
    OpenLog();
    EXPECT_EQ(kAnswerOk, ShowMessage(kTextTextTooSmall, "", 0, kMessageError));
    ASSERT_EQ(1u, ShownBoxes.size());
    const char* expected = "The current settings renders a text height which is too small";
    EXPECT_EQ("Ravlen Error", ShownBoxes[0].title);
    EXPECT_EQ(expected, ShownBoxes[0].text);
    EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
    ASSERT_EQ(2u, RecordedCalls.size());
    EXPECT_EQ("beep 0", RecordedCalls[0]);
    EXPECT_EQ(std::string("box ") + expected, RecordedCalls[1]);
    EXPECT_NE(std::string::npos, LogContents().find(std::string("\n* ") + expected + " * "));
}

TEST_F(ShowMessageTest, ErrorNumberFillsTheSecondLine) {
    ShowMessage(kTextCouldNotOpen, "C:\\DOCS\\A.TXT", ENOENT, kMessageError);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(std::string("Could not open C:\\DOCS\\A.TXT \n") + strerror(ENOENT),
              ShownBoxes[0].text);
}

TEST_F(ShowMessageTest, MultiLineMessageIsLoggedWithItsLineBreaks) {
    OpenLog();
    ShowMessage(kTextCouldNotOpen, "x.txt", ENOENT, kMessageError);
    std::string expected = std::string("* Could not open x.txt \n") + strerror(ENOENT) + " * ";
    EXPECT_NE(std::string::npos, LogContents().find(expected));
}

TEST_F(ShowMessageTest, TextWithoutConversionsIgnoresBothArguments) {
    ShowMessage(kTextShortcutNeedsName, "some %s argument", EACCES, kMessageWarning);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("The shortcut must have a name", ShownBoxes[0].text);
}

TEST_F(ShowMessageTest, KindsChooseTitleBeepAndAnswer) {
    EXPECT_EQ(kAnswerOk, ShowMessage(kTextInvalidValue, "", 0, kMessageWarning));
    EXPECT_EQ(kAnswerNo, ShowMessage(kTextNonPostScriptPrinter, "", 0, kMessageQuestion));
    QueueMessageAnswer(kAnswerYes);
    EXPECT_EQ(kAnswerYes, ShowMessage(kTextNonPostScriptPrinter, "", 0, kMessageQuestion));
    EXPECT_EQ(kAnswerOk, ShowMessage(kTextInvalidValue, "", 0, -3));
    ASSERT_EQ(4u, ShownBoxes.size());
    EXPECT_EQ("Ravlen Warning", ShownBoxes[0].title);
    EXPECT_EQ("Ravlen Warning", ShownBoxes[1].title);
    EXPECT_EQ(kMessageQuestion, ShownBoxes[1].kind);
    EXPECT_EQ("Ravlen Error", ShownBoxes[3].title);
    EXPECT_EQ(kMessageError, ShownBoxes[3].kind);
    EXPECT_EQ("beep 1", RecordedCalls[0]);
    EXPECT_EQ("beep 2", RecordedCalls[2]);
    EXPECT_EQ("beep 0", RecordedCalls[6]);
}

TEST_F(ShowMessageTest, LongTextIsCutAt255Characters) {
    std::string name(400, 'n');
    ShowMessage(kTextCouldNotOpen, name.c_str(), ENOENT, kMessageError);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(255u, ShownBoxes[0].text.size());
    EXPECT_EQ(0u, ShownBoxes[0].text.find("Could not open nnnn"));
}

TEST_F(ShowMessageTest, MissingArgumentCountsAsEmptyText) {
    ShowMessage(kTextSettingsNotFound, nullptr, 0, kMessageError);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Settings \"\" not found", ShownBoxes[0].text);
}

// A text that expects numbers must never be fed the two strings.
TEST_F(ShowMessageTest, TextWithOtherConversionsIsShownAsItStands) {
    char title[kMessageSize];
    char text[kMessageSize];
    FormatMessageText(kTextSizeBytes, "abc", 0, kMessageError, title, text);
    EXPECT_STREQ("%d bytes", text);
    FormatMessageText(kTextProgressFileOf, "abc", 0, kMessageError, title, text);
    EXPECT_STREQ("File %d of %d", text);
    EXPECT_STREQ("Ravlen Error", title);
}

// A retried file's record: what it said last time is kept but neither logged
// nor shown again; anything new is, and a question is always asked.
TEST_F(ShowMessageTest, ARecordHoldsBackWhatTheLastAttemptSaid) {
    OpenLog();
    BeginMessageRecord({"Failed to use printer \"old\""});
    EXPECT_EQ(kAnswerOk, ShowMessage(kTextPrinterFailed, "old", 0, kMessageError));
    EXPECT_EQ(kAnswerOk, ShowMessage(kTextPrinterFailed, "new", 0, kMessageWarning));
    EXPECT_EQ(kAnswerNo, ShowMessage(kTextNonPostScriptPrinter, "", 0, kMessageQuestion));
    EXPECT_EQ(EndMessageRecord(), (std::vector<std::string>{"Failed to use printer \"old\"",
                                                            "Failed to use printer \"new\""}));
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_EQ("Failed to use printer \"new\"", ShownBoxes[0].text);
    EXPECT_EQ(kMessageQuestion, ShownBoxes[1].kind);
    std::string log = LogContents();
    EXPECT_EQ(std::string::npos, log.find("\"old\""));
    EXPECT_NE(std::string::npos, log.find("* Failed to use printer \"new\" * "));

    // Closed, nothing is held back or kept.
    ShowMessage(kTextPrinterFailed, "old", 0, kMessageError);
    EXPECT_EQ(3u, ShownBoxes.size());
    EXPECT_TRUE(EndMessageRecord().empty());
}

TEST(LoadText, LoadsIntoOneSharedBuffer) {
    const char* first = LoadText(kTextTitleFormat);
    EXPECT_STREQ("Ravlen %s", first);
    const char* second = LoadText(kTextLogDonePrinting);
    EXPECT_EQ(first, second);
    EXPECT_STREQ("! Done printing:  ", second);
    EXPECT_STREQ("", LoadText(40));
    EXPECT_STREQ("/ \\ : ? * \" < > | are not valid characters in a shortcut name",
                 LoadText(kTextShortcutNameChars));
}

} // namespace
