// The controls of the settings dialogs on Windows.
#include "dialog_fields.h"

#include <windows.h>

#include <cstring>

namespace {

HWND Control(WindowRef dialog, int control) {
    return GetDlgItem(static_cast<HWND>(dialog), control);
}

// A drop-down list has no text of its own to set: it shows an entry.
bool IsDropDownList(HWND window) {
    char name[16];
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, "ComboBox") == 0 &&
           (GetWindowLongPtrA(window, GWL_STYLE) & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST;
}

} // namespace

void GetFieldText(WindowRef dialog, int control, char* buffer, size_t size) {
    if (size == 0)
        return;
    buffer[0] = '\0';
    int room = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    GetDlgItemTextA(static_cast<HWND>(dialog), control, buffer, room);
    buffer[size - 1] = '\0';
}

void SetFieldText(WindowRef dialog, int control, const char* text) {
    HWND window = Control(dialog, control);
    if (!window)
        return;
    if (!IsDropDownList(window)) {
        SetWindowTextA(window, text);
        return;
    }
    LRESULT index = SendMessageA(window, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(text));
    SendMessageA(window, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

void AddFieldEntry(WindowRef dialog, int control, const char* text) {
    SendDlgItemMessageA(static_cast<HWND>(dialog), control, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(text));
}

bool GetFieldCheck(WindowRef dialog, int control) {
    return IsDlgButtonChecked(static_cast<HWND>(dialog), control) == BST_CHECKED;
}

void SetFieldCheck(WindowRef dialog, int control, bool on) {
    CheckDlgButton(static_cast<HWND>(dialog), control, on ? BST_CHECKED : BST_UNCHECKED);
}

void EnableField(WindowRef dialog, int control, bool on) {
    HWND window = Control(dialog, control);
    if (window)
        EnableWindow(window, on ? TRUE : FALSE);
}

void SelectFieldText(WindowRef dialog, int control) {
    HWND window = Control(dialog, control);
    if (!window)
        return;
    // WM_NEXTDLGCTL moves the focus the way the dialog manager does, so the
    // default button follows; an edit then selects its text itself, and the
    // explicit selection covers a field reached while it had the focus.
    SendMessageA(static_cast<HWND>(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(window), TRUE);
    SendMessageA(window, EM_SETSEL, 0, -1);
}
