// The progress window: the percentage it shows, where it goes, and what a
// person sees in it over a batch.
#include "app/progress.h"
#include "app/progress_rules.h"

#include "app_test_support.h"
#include "output/printer_selection.h"

#include <limits>

// The settings store selects its set's printer; there is none to select here.
bool SelectPrinterByName(const char*) {
    return true;
}

namespace {

TEST(ProgressRules, PercentIsRoundedAndKeptWithinTheBar) {
    struct Case {
        double fraction;
        int percent;
    } cases[] = {{0.0, 0},
                 {0.004, 0},
                 {0.005, 1},
                 {0.42, 42},
                 {0.994, 99},
                 {0.996, 100},
                 {1.0, 100},
                 {1.3, 100},
                 {-0.2, 0},
                 {-0.004, 0},
                 {1e300, 100},
                 {-1e300, 0},
                 {std::numeric_limits<double>::infinity(), 100},
                 {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const Case& c : cases)
        EXPECT_EQ(ProgressPercentOf(c.fraction), c.percent) << c.fraction;
}

TEST(ProgressRules, WindowIsCentredOverItsReferenceAndKeptOnTheScreen) {
    // Centred: (100 + 501) / 2 - 101 / 2 = 300 - 50, remainders dropped.
    ScreenPoint p = PlaceOverReference(100, 200, 501, 401, 101, 41, 1024, 768);
    EXPECT_EQ(p.x, 250);
    EXPECT_EQ(p.y, 280);
    // Near the right and bottom edges: pulled back so that all of it shows.
    p = PlaceOverReference(900, 700, 1100, 800, 200, 100, 1024, 768);
    EXPECT_EQ(p.x, 824);
    EXPECT_EQ(p.y, 668);
    // Wider and taller than the screen: the left and top edges win.
    p = PlaceOverReference(0, 0, 1024, 768, 1500, 900, 1024, 768);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // A reference far off to the left and above (a parked window).
    p = PlaceOverReference(-32000, -32000, -31840, -31970, 100, 40, 1024, 768);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
    // Coordinates near the integer limits do not overflow while centring.
    p = PlaceOverReference(2147483000, 0, 2147483600, 100, 100, 40, 1024, 768);
    EXPECT_EQ(p.x, 924);
}

TEST(ProgressRules, OnlyWantedWhenAskedForAndNeverInSpoolerMode) {
    EXPECT_TRUE(ProgressWindowWanted(1, false));
    EXPECT_FALSE(ProgressWindowWanted(0, false));
    EXPECT_FALSE(ProgressWindowWanted(1, true));
}

class ProgressTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        CurrentSettings.ProgrBar = 1;
    }
    void TearDown() override {
        ProgressEnd();
        ShellTest::TearDown();
    }
};

TEST_F(ProgressTest, ABatchOfTwoCountsItsFilesAndShowsOnlyOnceOutputIsReported) {
    ProgressBegin(2);
    ProgressNextFile("a.ps");
    EXPECT_EQ(RecordedCalls, (Strings{"window open", "line shown", "bar 0", "caption Printing a.ps",
                                      "line File 1 of 2"}));
    ResetDoubles();
    ProgressPercent(0.421);
    ProgressPercent(1.3);
    EXPECT_EQ(RecordedCalls, (Strings{"window shown", "bar 42", "percent 42 %", "window shown",
                                      "bar 100", "percent 100 %"}));
    ResetDoubles();
    ProgressNextFile("b.txt");
    ProgressEnd();
    EXPECT_EQ(RecordedCalls,
              (Strings{"bar 0", "caption Printing b.txt", "line File 2 of 2", "window closed"}));
}

TEST_F(ProgressTest, ABatchOfOneHidesTheCountAndAListInsideStartsCountingAfresh) {
    ProgressBegin(1);
    ProgressNextFile("files.lst");
    ProgressBegin(3); // the list file's lines: the same window
    ProgressNextFile("a.txt");
    EXPECT_EQ(RecordedCalls,
              (Strings{"window open", "line hidden", "bar 0", "caption Printing files.lst",
                       "line File 1 of 1", "line shown", "bar 0", "caption Printing a.txt",
                       "line File 1 of 3"}));
}

TEST_F(ProgressTest, AWaitRunsTheBarWithoutAPercentageUntilOutputIsMeasuredAgain) {
    ProgressBegin(1);
    ProgressNextFile("a.txt");
    ResetDoubles();
    ProgressWaiting();
    ProgressPercent(0.5);
    EXPECT_EQ(RecordedCalls, (Strings{"window shown", "bar waiting", "percent ", "window shown",
                                      "bar 50", "percent 50 %"}));
}

TEST_F(ProgressTest, NothingHappensWithoutTheSettingOrInSpoolerModeOrAfterTheEnd) {
    CurrentSettings.ProgrBar = 0;
    ProgressBegin(2);
    ProgressNextFile("a.txt");
    ProgressPercent(0.5);
    ProgressWaiting();
    ProgressEnd();
    CurrentSettings.ProgrBar = 1;
    SpoolerMode = true;
    ProgressBegin(1);
    ProgressPercent(0.5);
    SpoolerMode = false;
    EXPECT_TRUE(RecordedCalls.empty()) << RecordedCalls.front();

    ProgressBegin(1);
    ProgressEnd();
    ResetDoubles();
    ProgressNextFile("late.txt");
    ProgressPercent(1.0);
    ProgressEnd();
    EXPECT_TRUE(RecordedCalls.empty());
}

} // namespace
