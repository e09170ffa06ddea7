// The general settings dialog "Ravlen Settings". Its rules are in
// general_dialog.cpp; this procedure fills the two lists and passes on the
// commands.
#include "../common/help_topic.h"
#include "settings_dialog.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "format_dialogs.h"
#include "general_dialog.h"
#include "shortcut_request.h"
#include "../common/dialog_owner.h"
#include "../common/program_instance_win32.h"
#include "../common/bounded_text.h"
#include "../resources/resource.h"

namespace {

enum { kDevicesSize = 1024 };

// The current set's name when the dialog opened, for Cancel. A name given
// with /n: may be longer than one typed here.
char startName[sizeof CurrentSetName];

LRESULT SendTo(HWND dialog, int control, UINT message, WPARAM wParam, const char* text) {
    return SendDlgItemMessageA(dialog, control, message, wParam, reinterpret_cast<LPARAM>(text));
}

void FillPrinterList(HWND dialog) {
    SendTo(dialog, IDC_PRINTER_LIST, CB_ADDSTRING, 0, UseDefaultText);
    // The installed printers are the key names of the system's "devices"
    // section, NUL-separated and ending with an empty name.
    char devices[kDevicesSize] = "";
    GetProfileStringA("devices", nullptr, "", devices, sizeof devices);
    devices[sizeof devices - 2] = devices[sizeof devices - 1] = '\0';
    for (const char* name = devices; *name; name += std::strlen(name) + 1)
        SendTo(dialog, IDC_PRINTER_LIST, CB_ADDSTRING, 0, name);
}

void SelectCurrentSet(HWND dialog) {
    LRESULT index =
        SendTo(dialog, IDC_SET_NAME, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), CurrentSetName);
    if (index != CB_ERR)
        SendTo(dialog, IDC_SET_NAME, CB_SETCURSEL, static_cast<WPARAM>(index), nullptr);
    else
        SetDlgItemTextA(dialog, IDC_SET_NAME, CurrentSetName);
}

void FillSetList(HWND dialog) {
    SendTo(dialog, IDC_SET_NAME, CB_LIMITTEXT, kSetNameChars, nullptr);
    for (const std::string& name : SettingsSetEntries())
        SendTo(dialog, IDC_SET_NAME, CB_ADDSTRING, 0, name.c_str());
    SelectCurrentSet(dialog);
}

// Launcher shortcuts, the progress bar and the taskbar icon need the shell
// of Windows 4.0.
void DisableWithoutNewShell(HWND dialog) {
    if (LOBYTE(LOWORD(GetVersion())) >= 4)
        return;
    for (int id : {IDC_SHORTCUT, IDC_SHOW_PROGRESS, IDC_SYS_TRAY})
        EnableWindow(GetDlgItem(dialog, id), FALSE);
}

// Read whole, so that a name too long for a set (a listed one chosen, not
// typed) is refused rather than taken cut, as the name of some other set.
void ReadSetName(HWND dialog, char* name, size_t size) {
    GetDlgItemTextA(dialog, IDC_SET_NAME, name, static_cast<int>(size));
}

// The entry just chosen: at the selection change the combo box's edit does
// not show it yet.
void OnSetChosen(HWND dialog) {
    LRESULT index = SendTo(dialog, IDC_SET_NAME, CB_GETCURSEL, 0, nullptr);
    LRESULT length =
        SendTo(dialog, IDC_SET_NAME, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), nullptr);
    if (index == CB_ERR || length < 0 || length >= static_cast<LRESULT>(sizeof CurrentSetName))
        return;
    char name[sizeof CurrentSetName];
    SendDlgItemMessageA(dialog, IDC_SET_NAME, CB_GETLBTEXT, static_cast<WPARAM>(index),
                        reinterpret_cast<LPARAM>(name));
    PreviewSettingsSet(dialog, name);
}

void Commit(HWND dialog, bool save) {
    char name[sizeof CurrentSetName];
    ReadSetName(dialog, name, sizeof name);
    if (CommitSettingsDialog(dialog, name, save))
        EndDialog(dialog, 1);
    else
        SelectCurrentSet(dialog);
}

void Delete(HWND dialog) {
    char name[sizeof CurrentSetName];
    ReadSetName(dialog, name, sizeof name);
    if (DeleteSettingsCommand(dialog, name, startName, sizeof startName)) {
        LRESULT index =
            SendTo(dialog, IDC_SET_NAME, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), name);
        if (index != CB_ERR)
            SendTo(dialog, IDC_SET_NAME, CB_DELETESTRING, static_cast<WPARAM>(index), nullptr);
        SelectCurrentSet(dialog);
    }
    SetFocus(GetDlgItem(dialog, IDC_SET_NAME));
}

void Shortcut(HWND dialog) {
    char name[sizeof CurrentSetName];
    ReadSetName(dialog, name, sizeof name);
    // The set that the shortcut names must exist in the file, so the name
    // must be one that a set can have before the shortcut is made.
    if (!AcceptSetName(name)) {
        SelectCurrentSet(dialog);
        return;
    }
    if (ShowShortcutDialog(dialog, name))
        Commit(dialog, true);
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_SET_NAME:
        if (code == CBN_SELCHANGE)
            OnSetChosen(dialog);
        break;
    case IDC_SAVE:
    case IDC_APPLY:
        Commit(dialog, id == IDC_SAVE);
        break;
    case IDC_DELETE:
        Delete(dialog);
        break;
    case IDC_SHORTCUT:
        Shortcut(dialog);
        break;
    case IDCANCEL:
        CancelSettingsDialog(startName);
        EndDialog(dialog, 0);
        break;
    case IDC_HELP_BUTTON:
        ShowHelpTopic(dialog, kHelpSettings);
        break;
    case IDC_TEXT_BUTTON:
    case IDC_PS_BUTTON:
    case IDC_NUP_BUTTON:
    case IDC_CONV_BUTTON:
    case IDC_PREFS_BUTTON:
        ShowFormatDialog(dialog, id);
        break;
    }
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterWindow(dialog);
        BeginSettingsDialog(startName, sizeof startName);
        DisableWithoutNewShell(dialog);
        FillPrinterList(dialog);
        FillSetList(dialog);
        SendTo(dialog, IDC_FILE_TYPES, EM_LIMITTEXT, kSettingTextSize - 1, nullptr);
        FillGeneralDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool ShowSettingsDialog(WindowRef owner) {
    return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SETTINGS),
                           static_cast<HWND>(owner), SettingsProc, 0) == 1;
}
