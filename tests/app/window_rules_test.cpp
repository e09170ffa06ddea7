#include "app/window_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The NUL-separated entries of a built filter list, up to its empty entry.
std::vector<std::string> Entries(const char* list) {
    std::vector<std::string> entries;
    for (const char* p = list; *p; p += std::strlen(p) + 1)
        entries.push_back(p);
    return entries;
}

TEST(WindowPlacement, CentresHorizontallyAndAQuarterDown) {
    ScreenPoint p = CenteredPosition(1024, 768, 400, 200);
    EXPECT_EQ(312, p.x);
    EXPECT_EQ(142, p.y);
    // Remainders are dropped.
    p = CenteredPosition(1025, 771, 400, 200);
    EXPECT_EQ(312, p.x);
    EXPECT_EQ(142, p.y);
}

TEST(WindowPlacement, WindowLargerThanScreenKeepsItsCaptionOnScreen) {
    ScreenPoint p = CenteredPosition(640, 480, 700, 600);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
}

TEST(WindowPlacement, MiniWindowSitsInTheTopRightCorner) {
    ScreenPoint p = TopRightPosition(1024, 80);
    EXPECT_EQ(944, p.x);
    EXPECT_EQ(0, p.y);
}

TEST(WindowTitle, NamesSpoolerModeAndTheSettingsSet) {
    char title[256];
    EXPECT_TRUE(BuildWindowTitle(title, sizeof title, "Ravlen", nullptr, nullptr));
    EXPECT_STREQ("Ravlen", title);
    BuildWindowTitle(title, sizeof title, "Ravlen", nullptr, "Draft");
    EXPECT_STREQ("Ravlen - Draft", title);
    BuildWindowTitle(title, sizeof title, "Ravlen", "Spooler", nullptr);
    EXPECT_STREQ("Ravlen Spooler", title);
    BuildWindowTitle(title, sizeof title, "Ravlen", "Spooler", "Default settings");
    EXPECT_STREQ("Ravlen Spooler - Default settings", title);
}

TEST(WindowTitle, LongSetNameIsCutToTheBuffer) {
    char title[16];
    EXPECT_FALSE(BuildWindowTitle(title, sizeof title, "Ravlen", "Spooler", "A long set name"));
    EXPECT_STREQ("Ravlen Spooler ", title);
}

TEST(OpenFilter, EntriesAreSeparatedAndTrimmed) {
    char filter[256];
    ASSERT_TRUE(BuildOpenFilter("PostScript Files (*.ps) | *.ps|All files (*.*) | *.*|", filter,
                                sizeof filter));
    std::vector<std::string> expected = {"PostScript Files (*.ps)", "*.ps", "All files (*.*)",
                                         "*.*"};
    EXPECT_EQ(expected, Entries(filter));
}

TEST(OpenFilter, ListEndsWithAnEmptyEntryEvenWithoutAClosingBar) {
    char filter[32];
    std::memset(filter, 'x', sizeof filter);
    ASSERT_TRUE(BuildOpenFilter("Text | *.txt", filter, sizeof filter));
    EXPECT_EQ(0, std::memcmp("Text\0*.txt\0\0", filter, 12));
    ASSERT_TRUE(BuildOpenFilter("", filter, sizeof filter));
    EXPECT_EQ(0, std::memcmp("\0\0", filter, 2));
}

TEST(OpenFilter, ListThatDoesNotFitIsRefusedAndLeftEmpty) {
    // "a|b|" needs "a\0b\0\0": five bytes.
    char filter[8];
    EXPECT_TRUE(BuildOpenFilter("a|b|", filter, 5));
    std::memset(filter, 'x', sizeof filter);
    EXPECT_FALSE(BuildOpenFilter("a|b|", filter, 4));
    EXPECT_EQ(0, std::memcmp("\0\0", filter, 2));
    EXPECT_EQ('x', filter[4]); // nothing written past the size given
}

TEST(OpenFilter, FirstUseOffersAllFilesWhenTextIsFormatted) {
    EXPECT_EQ(4, InitialFilterIndex(1));
    EXPECT_EQ(1, InitialFilterIndex(0));
    EXPECT_EQ(1, InitialFilterIndex(2));
}

TEST(WindowsVersion, OnlyOlderNonNtSystemsAreRefused) {
    EXPECT_TRUE(WindowsVersionSupported(true, 3));
    EXPECT_TRUE(WindowsVersionSupported(true, 10));
    EXPECT_TRUE(WindowsVersionSupported(false, 4));
    EXPECT_FALSE(WindowsVersionSupported(false, 3));
}

} // namespace

namespace {

TEST(SavedPlacement, PositionIsClampedOntoTheScreen) {
    // A Minimal window saved far off to the right and above the screen.
    ScreenPoint p = ClampedPosition(5000, -20, 80, 60, 1024, 768);
    EXPECT_EQ(944, p.x);
    EXPECT_EQ(0, p.y);
    p = ClampedPosition(100, 200, 400, 300, 1024, 768);
    EXPECT_EQ(100, p.x);
    EXPECT_EQ(200, p.y);
    p = ClampedPosition(-50, 900, 400, 300, 1024, 768);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(468, p.y);
    // Larger than the screen: the caption stays reachable.
    p = ClampedPosition(300, 300, 1200, 900, 1024, 768);
    EXPECT_EQ(0, p.x);
    EXPECT_EQ(0, p.y);
}

TEST(SettingsMenu, NamesAreFoundByTheirPlaceInTheList) {
    const char list[] = "Default settings\0Draft\0Slides\0";
    EXPECT_STREQ("Default settings", NthListedName(list, 0));
    EXPECT_STREQ("Slides", NthListedName(list, 2));
    EXPECT_EQ(nullptr, NthListedName(list, 3));
    EXPECT_EQ(nullptr, NthListedName(list, -1));
    EXPECT_EQ(nullptr, NthListedName("", 0));
}

TEST(SettingsMenu, AmpersandsInNamesAreShownAsWritten) {
    char text[16];
    EXPECT_TRUE(MenuItemText("Draft", text, sizeof text));
    EXPECT_STREQ("Draft", text);
    EXPECT_TRUE(MenuItemText("Text & PS", text, sizeof text));
    EXPECT_STREQ("Text && PS", text);
    // Cut before a doubled "&" would be split.
    EXPECT_FALSE(MenuItemText("abc&d", text, 5));
    EXPECT_STREQ("abc", text);
}

} // namespace
