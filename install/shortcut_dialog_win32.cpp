// The Create Shortcut dialog and the launcher writer (see shortcut_dialog.h).
// The dialog's fields are read and set through the wide calls, in the
// program's UTF-8; the set's name and the storage directory come from the
// settings file in its ANSI code page and are converted on the way.
#include <windows.h>

#include <cerrno>
#include <cstring>

#include "../common/help_topic.h"
#include "shortcut_dialog.h"

#include "launcher_image.h"
#include "shell_links.h"
#include "../common/dialog_owner.h"
#include "../common/program_instance_win32.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/wide_names_win32.h"
#include "../resources/resource.h"
#include "../settings/profile.h"
#include "../settings/settings.h"

namespace {

struct ShortcutRequest {
    const char* setName;
};

void FillDialog(HWND dialog, const ShortcutRequest* request) {
    char text[kPathSize];
    char stored[kPathSize];
    ReadProfileValue("General", "ShortcutDir", "", stored, sizeof stored, SettingsFileName);
    if (!stored[0] || !Utf8FromAnsi(stored, text, sizeof text)) {
        CopyText(text, sizeof text, ProgramPathComponents("drive,dir"));
        AppendText(text, sizeof text, "shortcuts");
    }
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_DIRECTORY, EM_LIMITTEXT, kPathChars, 0);
    SetFieldName(GetDlgItem(dialog, IDC_SHORTCUT_DIRECTORY), text);
    FormatText(text, sizeof text, "%s - %s", LoadText(kTextWindowTitle),
               Utf8OfAnsi(request->setName).c_str());
    SendDlgItemMessageA(dialog, IDC_SHORTCUT_NAME, EM_LIMITTEXT, kSettingTextSize - 1, 0);
    SetFieldName(GetDlgItem(dialog, IDC_SHORTCUT_NAME), text);
    CheckRadioButton(dialog, IDC_SHORTCUT_DESKTOP, IDC_SHORTCUT_SENDTO, IDC_SHORTCUT_DESKTOP);
}

bool RefuseName(HWND dialog, int textId, const char* argument) {
    ShowMessage(textId, argument, 0, kMessageError);
    HWND name = GetDlgItem(dialog, IDC_SHORTCUT_NAME);
    SetFocus(name);
    SendMessageA(name, EM_SETSEL, 0, -1);
    return false;
}

// Steps of OK; each failure is reported where it happens and the dialog
// stays open for correction.
bool MakeShortcut(HWND dialog, const ShortcutRequest* request) {
    char name[kPathSize];
    char directory[kPathSize];
    // Too long for the program's buffers in UTF-8: refused, not cut.
    if (!WindowNameOf(GetDlgItem(dialog, IDC_SHORTCUT_NAME), name, sizeof name) ||
        !WindowNameOf(GetDlgItem(dialog, IDC_SHORTCUT_DIRECTORY), directory, sizeof directory)) {
        ShowMessage(kTextShortcutFilesFailed, "", ENAMETOOLONG, kMessageError);
        return false;
    }
    if (!name[0])
        return RefuseName(dialog, kTextShortcutNeedsName, "");
    if (!HasShortcutNameCharsOnly(name))
        return RefuseName(dialog, kTextShortcutNameChars, "");
    if (IsDeviceName(name))
        return RefuseName(dialog, kTextShortcutNameIsDevice, name);
    if (!CreateDirectoryPath(directory))
        return false;

    char launcher[kPathSize];
    char program[kPathSize];
    char command[kCommandAreaChars + 1];
    size_t length = std::strlen(directory);
    const char* separator = length > 0 && directory[length - 1] == '\\' ? "" : "\\";
    if (!FormatText(launcher, sizeof launcher, "%s%s%s.exe", directory, separator, name) ||
        !CopyText(program, sizeof program, ProgramPathComponents("")) ||
        !BuildLauncherCommand(program, SettingsFileName, Utf8OfAnsi(request->setName).c_str(),
                              command, sizeof command) ||
        !WriteLauncher(launcher, command)) {
        ShowMessage(kTextShortcutFilesFailed, launcher, 0, kMessageError);
        return false;
    }
    bool sendTo = IsDlgButtonChecked(dialog, IDC_SHORTCUT_SENDTO) == BST_CHECKED;
    if (!CreateShellLink(name, sendTo ? "SendTo" : "Desktop", launcher, nullptr, program, 0)) {
        ShowMessage(kTextShortcutFailed, name, 0, kMessageError);
        return false;
    }
    // The settings file keeps the ANSI code page: a directory it cannot hold
    // is kept by its short name.
    char stored[kPathSize];
    AnsiPathOf(directory, stored, sizeof stored);
    WriteProfileValue("General", "ShortcutDir", stored, SettingsFileName);
    return true;
}

INT_PTR CALLBACK ShortcutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* request = reinterpret_cast<ShortcutRequest*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        FillDialog(dialog, reinterpret_cast<ShortcutRequest*>(lParam));
        SetFocus(GetDlgItem(dialog, IDC_SHORTCUT_NAME));
        SendDlgItemMessageA(dialog, IDC_SHORTCUT_NAME, EM_SETSEL, 0, -1);
        return FALSE; // the focus is set
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            if (MakeShortcut(dialog, request))
                EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        case IDC_SHORTCUT_HELP:
            ShowHelpTopic(dialog, kHelpShortcut);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

bool ShowShortcutDialog(WindowRef owner, const char* setName) {
    ShortcutRequest request = {setName};
    return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SHORTCUT),
                           static_cast<HWND>(owner), ShortcutProc,
                           reinterpret_cast<LPARAM>(&request)) == 1;
}

bool WriteLauncher(const char* path, const char* command) {
    HRSRC found = FindResourceA(ProgramInstance, MAKEINTRESOURCEA(IDR_LAUNCHER_IMAGE),
                                MAKEINTRESOURCEA(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(ProgramInstance, found) : nullptr;
    const void* image = loaded ? LockResource(loaded) : nullptr;
    return image && WriteLauncherImage(path, static_cast<const unsigned char*>(image),
                                       SizeofResource(ProgramInstance, found), command);
}
