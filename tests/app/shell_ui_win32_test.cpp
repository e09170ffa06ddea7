// The busy state as the Windows side of the shell shows it in the tray, with
// the tray icon recorded rather than shown.
#include "app/progress_dialog_win32.h"
#include "app/shell_ui.h"
#include "app/window_parts_win32.h"
#include "output/printer_selection.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <vector>

HINSTANCE ProgramInstance;
static bool trayShown;
static std::vector<int> trayIcons; // the icon of each change, in order

void SetTrayIcon(TrayAction action, int iconId, const char*) {
    if (action == kTrayModify)
        trayIcons.push_back(iconId);
}
bool TrayIconShown() {
    return trayShown;
}
bool ProgressDialogMessage(MSG*) {
    return false;
}
bool SelectPrinterByName(const char*) {
    return true;
}

// A batch ends, idle, under its last file's set, which may have the icon off
// while the user's set shows it: the icon follows the state whenever it is
// shown, whatever the set in force says. Busy again while busy (the next
// file of a spooler scan) changes nothing.
TEST(BusyStateInTheTray, FollowsTheBatchWheneverTheIconIsShown) {
    for (int sysTray : {1, 0}) {
        for (bool shown : {true, false}) {
            CurrentSettings.SysTray = sysTray;
            trayShown = shown;
            trayIcons.clear();
            SetBusy(true);
            SetBusy(true);
            SetBusy(false);
            std::vector<int> expected;
            if (shown)
                expected = {IDI_BUSY, IDI_RAVLEN};
            EXPECT_EQ(expected, trayIcons) << "SysTray " << sysTray << ", shown " << shown;
        }
    }
}
