// The popup menu of the program's windows, opened with the right mouse
// button on a window or on the tray icon.
#include "../jobs/job_runner.h"
#include "main_window.h"
#include "window_parts_win32.h"
#include "window_rules.h"

#include <cstring>

#include "../common/program_instance_win32.h"
#include "../common/bounded_text.h"
#include "../resources/resource.h"
#include "../settings/settings.h"

namespace {

// Positions of the items the code reaches by place.
enum {
    kSettingsSubmenu = 5,
    kWindowTypeSubmenu = 6,
    kFixedSettingsItems = 2, // the separator and "Change..."
    kSetNamesSize = 1024
};

HMENU menuResource; // the loaded resource; owns the popup
HMENU popupMenu;    // its single level, shown as a popup
char setNames[kSetNamesSize];

bool ClipboardHasText() {
    return IsClipboardFormatAvailable(CF_TEXT) != 0;
}

// Greys every item of the menu's top level, or enables them all.
void EnableTopLevel(bool on) {
    int count = GetMenuItemCount(popupMenu);
    for (int i = 0; i < count; ++i)
        EnableMenuItem(popupMenu, static_cast<UINT>(i),
                       MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void EnableCommand(int id, bool on) {
    EnableMenuItem(popupMenu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
}

} // namespace

bool LoadPopupMenu() {
    menuResource = LoadMenuA(ProgramInstance, MAKEINTRESOURCEA(IDR_POPUP_MENU));
    popupMenu = menuResource ? GetSubMenu(menuResource, 0) : nullptr;
    return popupMenu != nullptr;
}

void DestroyPopupMenu() {
    if (menuResource)
        DestroyMenu(menuResource);
    menuResource = popupMenu = nullptr;
}

void BuildSettingsMenu() {
    HMENU settings = popupMenu ? GetSubMenu(popupMenu, kSettingsSubmenu) : nullptr;
    if (!settings)
        return;
    while (GetMenuItemCount(settings) > kFixedSettingsItems)
        DeleteMenu(settings, 0, MF_BYPOSITION);
    ListSettingsSets(setNames, sizeof setNames);
    int k = 0;
    for (const char* name = setNames; *name; name += std::strlen(name) + 1, ++k) {
        char text[kMessageSize];
        MenuItemText(name, text, sizeof text);
        UINT flags = MF_BYPOSITION | MF_STRING;
        if (SameSetName(name, CurrentSetName))
            flags |= MF_CHECKED;
        InsertMenuA(settings, static_cast<UINT>(k), flags,
                    static_cast<UINT_PTR>(IDC_SETTINGS_SET_FIRST + k), text);
    }
}

bool SelectListedSettingsSet(int k) {
    const char* name = NthListedName(setNames, k);
    if (!name)
        return false;
    LoadSettingsSet(name);
    UpdateTitle();
    BuildSettingsMenu();
    return true;
}

void CheckWindowTypeItem(int type) {
    HMENU types = popupMenu ? GetSubMenu(popupMenu, kWindowTypeSubmenu) : nullptr;
    if (!types)
        return;
    for (int id = kWindowNormal; id <= kWindowFixedMinimal; ++id)
        CheckMenuItem(types, static_cast<UINT>(id),
                      MF_BYCOMMAND | (id == type ? MF_CHECKED : MF_UNCHECKED));
}

void ShowPopupMenu(WindowRef window) {
    HWND owner = AsWindow(window);
    if (!popupMenu || !owner)
        return;
    bool busy = IsBusy() || BatchRunning();
    CheckMenuItem(popupMenu, IDC_ALWAYS_ON_TOP,
                  MF_BYCOMMAND | (IsTopmost(owner) ? MF_CHECKED : MF_UNCHECKED));
    EnableTopLevel(!busy && !SpoolerMode);
    EnableCommand(IDC_STOP, busy);
    EnableCommand(IDC_EXIT, !busy);
    EnableCommand(IDC_PRINT_CLIPBOARD, !busy && !SpoolerMode && ClipboardHasText());
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(popupMenu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
}
