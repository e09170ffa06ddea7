// The text, PostScript, n-up and conversion settings dialogs. One procedure
// serves all four: it fills the dialog, keeps its enabling rules applied and
// hands OK to the dialog's Store rule (format_dialogs.cpp), which leaves the
// dialog open when a field is refused.
#include "../common/help_topic.h"
#include "format_dialogs.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "general_dialog.h"
#include "printer_prefs_dialog.h"
#include "text_font_list.h"
#include "../common/dialog_owner.h"
#include "../common/program_instance_win32.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/text_utils.h"
#include "../resources/resource.h"

namespace {

struct FormatDialog {
    int resource;
    int helpTopic;
    ConversionKind kind; // the conversion dialog's kind in view
    // The printer chosen in the general dialog, whose capabilities the
    // printer preferences offer; empty for the default printer.
    char printer[kSettingTextSize];
};

UINT_PTR CALLBACK BrowseHook(HWND child, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == CDN_INITDONE)
        CenterWindow(GetParent(child));
    return 0;
}

// The system's Open dialog for the path in edit `control`; the chosen path
// replaces the edit's text.
void Browse(HWND dialog, int control, int filterId) {
    char filter[kMessageSize + 1];
    CopyText(filter, sizeof filter - 1, LoadText(filterId));
    size_t length = std::strlen(filter);
    // The list's last character separates its entries; the list ends with
    // two NULs.
    filter[length + 1] = '\0';
    if (length > 0)
        SplitAtSeparator(filter, filter[length - 1]);
    char path[kPathSize] = "";
    GetDlgItemTextA(dialog, control, path, sizeof path);
    OPENFILENAMEA open = {};
    open.lStructSize = sizeof open;
    open.hwndOwner = dialog;
    open.lpstrFilter = filter;
    open.lpstrFile = path;
    open.nMaxFile = sizeof path;
    // Relative names elsewhere keep resolving where they did.
    open.Flags =
        OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    open.lpfnHook = BrowseHook;
    if (GetOpenFileNameA(&open))
        SetDlgItemTextA(dialog, control, path);
}

void FillConversionKinds(HWND dialog) {
    char kinds[kMessageSize];
    CopyText(kinds, sizeof kinds, LoadText(kTextConversionKinds));
    for (char *name = kinds, *bar; *name && (bar = std::strchr(name, '|')); name = bar + 1) {
        *bar = '\0';
        SendDlgItemMessageA(dialog, IDC_CONV_KIND, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    SendDlgItemMessageA(dialog, IDC_CONV_KIND, CB_SETCURSEL, 0, 0);
}

void Fill(HWND dialog, FormatDialog* state) {
    switch (state->resource) {
    case IDD_TEXT_SETTINGS:
        FillFontList(GetDlgItem(dialog, IDC_FONT));
        FillTextDialog(dialog, WorkingSettings);
        break;
    case IDD_PS_SETTINGS:
        SendDlgItemMessageA(dialog, IDC_PROLOG, EM_LIMITTEXT, kPathChars, 0);
        FillPostScriptDialog(dialog, WorkingSettings);
        break;
    case IDD_NUP_SETTINGS:
        FillNupDialog(dialog, WorkingSettings);
        break;
    case IDD_CONV_SETTINGS:
        FillConversionKinds(dialog);
        FillConversionDialog(dialog, WorkingSettings, state->kind);
        break;
    case IDD_PRINTER_PREFS: {
        SendDlgItemMessageA(dialog, IDC_PAPER_SOURCE, CB_LIMITTEXT, kPaperSourceChars, 0);
        SendDlgItemMessageA(dialog, IDC_PAPER_SIZE, CB_LIMITTEXT, kPaperSizeChars, 0);
        // Without a printer to ask, the lists offer only what the set holds.
        PrinterCapabilities printer;
        if (!ReadPrinterCapabilities(state->printer, &printer))
            CopyText(printer.printer, sizeof printer.printer, state->printer);
        FillPrinterPrefsDialog(dialog, WorkingSettings, printer);
        break;
    }
    }
}

bool Store(HWND dialog, FormatDialog* state) {
    switch (state->resource) {
    case IDD_TEXT_SETTINGS:
        return StoreTextDialog(dialog, &WorkingSettings);
    case IDD_PS_SETTINGS:
        return StorePostScriptDialog(dialog, &WorkingSettings);
    case IDD_NUP_SETTINGS:
        return StoreNupDialog(dialog, &WorkingSettings);
    case IDD_CONV_SETTINGS:
        return StoreConversionDialog(dialog, &WorkingSettings, state->kind);
    case IDD_PRINTER_PREFS:
        return StorePrinterPrefsDialog(dialog, &WorkingSettings);
    }
    return true;
}

// Edits made to the kind shown before are dropped.
void ShowChosenKind(HWND dialog, FormatDialog* state) {
    LRESULT index = SendDlgItemMessageA(dialog, IDC_CONV_KIND, CB_GETCURSEL, 0, 0);
    if (index < 0 || index >= kConversionKinds)
        return;
    state->kind = static_cast<ConversionKind>(index);
    FillConversionDialog(dialog, WorkingSettings, state->kind);
}

void OnCommand(HWND dialog, FormatDialog* state, int id, int code) {
    switch (id) {
    case IDOK:
        if (Store(dialog, state))
            EndDialog(dialog, 1);
        return;
    case IDCANCEL:
        EndDialog(dialog, 0);
        return;
    case IDC_HELP_BUTTON:
        ShowHelpTopic(dialog, state->helpTopic);
        return;
    case IDC_PROLOG_BROWSE:
        Browse(dialog, IDC_PROLOG, kTextPostScriptFilter);
        return;
    case IDC_CONV_BROWSE:
        Browse(dialog, IDC_CONV_PROGRAM, kTextExecutableFilter);
        return;
    case IDC_CONV_KIND:
        if (code == CBN_SELCHANGE)
            ShowChosenKind(dialog, state);
        return;
    }
    if (state->resource == IDD_TEXT_SETTINGS)
        UpdateTextDialogEnabling(dialog);
    else if (id == IDC_DRAW_FRAME)
        UpdateNupDialogEnabling(dialog);
    else if (id == IDC_CONV_ENABLE)
        UpdateConversionDialogEnabling(dialog);
}

INT_PTR CALLBACK FormatProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        Fill(dialog, reinterpret_cast<FormatDialog*>(lParam));
        return TRUE;
    }
    auto* state = reinterpret_cast<FormatDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && state) {
        OnCommand(dialog, state, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool ShowFormatDialog(WindowRef owner, int button) {
    FormatDialog state = {IDD_TEXT_SETTINGS, 4, kConvTxt, ""};
    if (button == IDC_PS_BUTTON)
        state = {IDD_PS_SETTINGS, 5, kConvTxt, ""};
    else if (button == IDC_NUP_BUTTON)
        state = {IDD_NUP_SETTINGS, 7, kConvTxt, ""};
    else if (button == IDC_CONV_BUTTON)
        state = {IDD_CONV_SETTINGS, 8, kConvTxt, ""};
    else if (button == IDC_PREFS_BUTTON)
        state = {IDD_PRINTER_PREFS, kHelpPrinterPreferences, kConvTxt, ""};
    if (button == IDC_PREFS_BUTTON) {
        GetDlgItemTextA(static_cast<HWND>(owner), IDC_PRINTER_LIST, state.printer,
                        sizeof state.printer);
        // The first entry stands for the system's default printer.
        if (std::strstr(state.printer, UseDefaultText))
            state.printer[0] = '\0';
    }
    return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(state.resource),
                           static_cast<HWND>(owner), FormatProc,
                           reinterpret_cast<LPARAM>(&state)) == 1;
}
