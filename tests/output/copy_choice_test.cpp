// Copies and collation as the printer dialog reports them, for drivers that
// make copies and collate, that only make copies, and that do neither.
#include "output/copy_choice.h"

#include <gtest/gtest.h>

namespace {

TEST(CopyChoice, DriverThatCollatesReportsInTheDeviceSettings) {
    // The dialog leaves the copies and collation to the driver.
    CopiesReport collated = {1, false, true, 3, true, true};
    EXPECT_EQ(3, ChosenCopyCount(collated));
    EXPECT_FALSE(CopiesUncollated(collated));
    CopiesReport uncollated = {1, false, true, 3, true, false};
    EXPECT_TRUE(CopiesUncollated(uncollated));
}

TEST(CopyChoice, DriverThatCannotCollateLeavesItToTheDialogRecord) {
    // The driver makes the copies, the dialog's flag says collate: no refusal.
    CopiesReport copiesOnly = {1, true, true, 2, false, false};
    EXPECT_EQ(2, ChosenCopyCount(copiesOnly));
    EXPECT_FALSE(CopiesUncollated(copiesOnly));
    // The program makes the copies.
    CopiesReport program = {4, true, true, 1, false, false};
    EXPECT_EQ(4, ChosenCopyCount(program));
    EXPECT_FALSE(CopiesUncollated(program));
    program.dialogCollate = false;
    EXPECT_TRUE(CopiesUncollated(program));
}

// The printer dialog refuses, with message 104, every choice of more than
// one copy that neither report says is collated, wherever the count is
// reported: two copies as much as three.
TEST(CopyChoice, EverySeveralUncollatedCopiesAreRefusedWhereverTheyAreReported) {
    struct Case {
        const char* where;
        CopiesReport report;
    };
    for (int copies = 1; copies <= 3; ++copies) {
        for (bool collated : {false, true}) {
            const Case kCases[] = {
                {"dialog record", {copies, collated, false, 0, false, false}},
                {"device settings", {1, false, true, copies, true, collated}},
                {"device copies, dialog collation", {1, collated, true, copies, false, false}},
            };
            for (const Case& c : kCases) {
                EXPECT_EQ(copies, ChosenCopyCount(c.report)) << c.where;
                EXPECT_EQ(copies > 1 && !collated, CopiesUncollated(c.report))
                    << copies << " copies, collated " << collated << ", " << c.where;
            }
        }
    }
}

TEST(CopyChoice, OneCopyNeedsNoCollation) {
    EXPECT_FALSE(CopiesUncollated({1, false, true, 1, true, false}));
    EXPECT_FALSE(CopiesUncollated({0, false, false, 0, false, false}));
    EXPECT_EQ(1, ChosenCopyCount({0, false, true, -2, false, false}));
    // A count the device settings do not claim is not taken.
    EXPECT_EQ(1, ChosenCopyCount({1, false, false, 9, false, false}));
}

} // namespace
