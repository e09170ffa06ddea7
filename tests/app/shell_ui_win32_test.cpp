// The busy state as the Windows side of the shell shows it in the tray, with
// the tray icon recorded rather than shown.
#include "app/progress_dialog_win32.h"
#include "app/shell_ui.h"
#include "app/window_parts_win32.h"
#include "resources/resource.h"
#include "settings/settings.h"

#include <gtest/gtest.h>

#include <vector>

HINSTANCE ProgramInstance;

namespace {

bool trayShown;
std::vector<int> trayIcons; // the icon of each modify, in order

} // namespace

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

namespace {

// A batch ends, idle, under its last file's set, which may have the tray
// icon off while the user's set shows it: the icon follows the state
// whenever it is shown, whatever the set in force says.
TEST(BusyStateInTheTray, FollowsTheBatchWheneverTheIconIsShown) {
    struct Case {
        int sysTray;
        bool shown;
        std::vector<int> icons;
    };
    const Case kCases[] = {{1, true, {IDI_BUSY, IDI_RAVLEN}},
                           {0, true, {IDI_BUSY, IDI_RAVLEN}},
                           {1, false, {}},
                           {0, false, {}}};
    for (const Case& c : kCases) {
        CurrentSettings.SysTray = c.sysTray;
        trayShown = c.shown;
        trayIcons.clear();
        SetBusy(true);
        SetBusy(false);
        EXPECT_EQ(c.icons, trayIcons) << "SysTray " << c.sysTray << ", shown " << c.shown;
    }
    CurrentSettings.SysTray = 0;
}

} // namespace
