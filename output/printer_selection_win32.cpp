// The current printer, held as the print dialog's own record so that the
// dialog opens on it and keeps the user's choices for the next batch.
#include "printer_selection.h"

#include "copy_choice.h"
#include "device_preferences_win32.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <winspool.h>

#include <cstring>
#include <string>

#include "../common/dialog_owner.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/text_utils.h"
#include "../common/wide_names_win32.h"
#include "../settings/settings.h"

namespace {

PRINTDLGA selection; // device settings and device names of the current printer
bool copyControlsLocked;
bool dialogFileIsPostScript;
// The set's printer preferences are still to be written into the device
// settings: they are, when the settings are first used, so that what the
// printer lacks is reported as it prints and not as the set is loaded.
bool preferencesPending;

enum { kDriverOffset = 8, kDeviceOffset = 17, kDevNamesExtra = 19 };

// A DEVNAMES record for `device` on the spooler's own driver, laid out as
// the print dialog builds it.
HGLOBAL BuildDeviceNames(const char* device) {
    size_t length = std::strlen(device);
    if (length > 0xFFFF - kDevNamesExtra)
        return nullptr;
    HGLOBAL handle = GlobalAlloc(GHND, length + kDevNamesExtra);
    char* record = handle ? static_cast<char*>(GlobalLock(handle)) : nullptr;
    if (!record) {
        if (handle)
            GlobalFree(handle);
        return nullptr;
    }
    DEVNAMES* names = reinterpret_cast<DEVNAMES*>(record);
    names->wDriverOffset = kDriverOffset;
    names->wDeviceOffset = kDeviceOffset;
    names->wOutputOffset = static_cast<WORD>(kDeviceOffset + length + 1);
    names->wDefault = 0;
    std::memcpy(record + kDriverOffset, "winspool", 9);
    std::memcpy(record + kDeviceOffset, device, length + 1);
    GlobalUnlock(handle);
    return handle;
}

// The driver's device settings for an open printer; none when it cannot
// give them.
HGLOBAL ReadDeviceSettings(HANDLE printer, char* name) {
    LONG size = DocumentPropertiesA(nullptr, printer, name, nullptr, nullptr, 0);
    if (size <= 0)
        return nullptr;
    HGLOBAL handle = GlobalAlloc(GHND, static_cast<SIZE_T>(size));
    DEVMODEA* mode = handle ? static_cast<DEVMODEA*>(GlobalLock(handle)) : nullptr;
    bool filled =
        mode && DocumentPropertiesA(nullptr, printer, name, mode, nullptr, DM_OUT_BUFFER) >= 0;
    if (mode)
        GlobalUnlock(handle);
    if (!filled && handle) {
        GlobalFree(handle);
        return nullptr;
    }
    return handle;
}

bool SelectDefaultPrinter() {
    PRINTDLGA query = {};
    query.lStructSize = sizeof query;
    query.Flags = PD_RETURNDEFAULT;
    if (PrintDlgA(&query)) {
        selection.hDevMode = query.hDevMode;
        selection.hDevNames = query.hDevNames;
    }
    // Without any printer there is nothing to select, which is no failure
    // of the settings set that asked for the default one.
    return true;
}

// The preferences of the settings in force, written into the current
// device settings.
void ApplyPreferences() {
    preferencesPending = false;
    char device[kSettingTextSize];
    GetPrinterName(device, sizeof device);
    DEVMODEA* mode =
        selection.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(selection.hDevMode)) : nullptr;
    if (!mode)
        return;
    if (device[0])
        ApplySetPreferences(mode, device);
    GlobalUnlock(selection.hDevMode);
}

// The copies and collation the user ended the dialog with, from wherever
// the dialog put them for this driver.
CopiesReport ChosenCopies() {
    CopiesReport report = {
        selection.nCopies, (selection.Flags & PD_COLLATE) != 0, false, 0, false, false};
    DEVMODEA* mode =
        selection.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(selection.hDevMode)) : nullptr;
    if (!mode)
        return report;
    report.deviceHasCopies = (mode->dmFields & DM_COPIES) != 0;
    report.deviceCopies = mode->dmCopies;
    report.deviceHasCollate = (mode->dmFields & DM_COLLATE) != 0;
    report.deviceCollate = mode->dmCollate == DMCOLLATE_TRUE;
    GlobalUnlock(selection.hDevMode);
    return report;
}

UINT_PTR CALLBACK PrintDialogHook(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) {
        CenterWindow(dialog);
        if (copyControlsLocked) {
            EnableWindow(GetDlgItem(dialog, chx2), FALSE); // Collate
            EnableWindow(GetDlgItem(dialog, edt3), FALSE); // Number of copies
        }
        return TRUE;
    }
    // The driver's properties would not reach a PostScript file sent raw,
    // unless the driver's own header goes with it.
    if (message == WM_COMMAND && LOWORD(wParam) == psh2 && dialogFileIsPostScript &&
        !CurrentSettings.DrvHead) {
        ShowMessage(kTextDriverPropertiesOnly, "", 0, kMessageError);
        return TRUE;
    }
    return FALSE;
}

UINT_PTR CALLBACK SaveDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        CenterWindow(dialog);
    } else if (message == WM_NOTIFY &&
               reinterpret_cast<const NMHDR*>(lParam)->code == CDN_INITDONE) {
        // The explorer-style dialog is the hook dialog's parent.
        CenterWindow(GetParent(dialog));
    }
    return 0;
}

} // namespace

bool InitPrinterSelection() {
    std::memset(&selection, 0, sizeof selection);
    selection.lStructSize = sizeof selection;
    return true;
}

void FreePrinterSelection() {
    if (selection.hDevMode)
        GlobalFree(selection.hDevMode);
    if (selection.hDevNames)
        GlobalFree(selection.hDevNames);
    selection.hDevMode = nullptr;
    selection.hDevNames = nullptr;
}

bool SelectPrinterByName(const char* name) {
    // The set that asks has its preferences, whichever printer it ends with:
    // one that cannot be selected leaves the previous one current.
    preferencesPending = true;
    if (!name || !*name) {
        FreePrinterSelection();
        return SelectDefaultPrinter();
    }
    char printerName[kSettingTextSize];
    if (!CopyText(printerName, sizeof printerName, name))
        return false;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(printerName, &printer, nullptr))
        return false;
    FreePrinterSelection();
    HGLOBAL mode = ReadDeviceSettings(printer, printerName);
    HGLOBAL names = mode ? BuildDeviceNames(printerName) : nullptr;
    ClosePrinter(printer);
    if (!names) {
        if (mode)
            GlobalFree(mode);
        return false;
    }
    selection.hDevMode = mode;
    selection.hDevNames = names;
    return true;
}

bool ShowPrinterDialog(WindowRef owner, FileAnalysis* analysis, PrinterChoices* chosen) {
    selection.hwndOwner = static_cast<HWND>(owner);
    // Without PD_USEDEVMODECOPIESANDCOLLATE: with it a driver that makes
    // copies but cannot collate would never report collation, and every job
    // of several copies would be refused below.
    selection.Flags = PD_ENABLEPRINTHOOK | PD_COLLATE | PD_NOSELECTION;
    selection.lpfnPrintHook = PrintDialogHook;
    if (analysis && analysis->pageCount > 0 && CurrentSettings.UseRange) {
        WORD last = static_cast<WORD>(analysis->pageCount > 0xFFFF ? 0xFFFF : analysis->pageCount);
        selection.nFromPage = 1;
        selection.nToPage = last;
        selection.nMinPage = 1;
        selection.nMaxPage = last;
        selection.Flags |= PD_PAGENUMS;
    } else {
        selection.Flags |= PD_NOPAGENUMS;
    }
    dialogFileIsPostScript = analysis && IsPostScript(analysis->kind);
    // The dialog opens with the set's preferences; what the user changes
    // in it holds until the next set is selected.
    ApplyPreferences();
    if (!PrintDlgA(&selection))
        return false;
    if (CopiesUncollated(ChosenCopies())) {
        ShowMessage(kTextCollateRequired, "", 0, kMessageError);
        return false;
    }
    GetPrinterChoices(chosen);
    chosen->pageRangeChosen = (selection.Flags & PD_PAGENUMS) != 0;
    return true;
}

void SetDeviceCopies(int copies) {
    // dmCopies is a 16-bit count; a count outside it would wrap into a
    // different, possibly negative, number of copies.
    if (copies < 1)
        copies = 1;
    if (copies > 0x7FFF)
        copies = 0x7FFF;
    DEVMODEA* mode =
        selection.hDevMode ? static_cast<DEVMODEA*>(GlobalLock(selection.hDevMode)) : nullptr;
    if (!mode)
        return;
    mode->dmCopies = static_cast<short>(copies);
    mode->dmFields |= DM_COPIES;
    GlobalUnlock(selection.hDevMode);
}

void LockCopyControls() {
    copyControlsLocked = true;
}

void GetPrinterName(char* buffer, size_t size) {
    if (size > 0)
        buffer[0] = '\0';
    const char* record =
        selection.hDevNames ? static_cast<const char*>(GlobalLock(selection.hDevNames)) : nullptr;
    if (!record)
        return;
    const DEVNAMES* names = reinterpret_cast<const DEVNAMES*>(record);
    CopyText(buffer, size, record + names->wDeviceOffset);
    GlobalUnlock(selection.hDevNames);
}

void GetPrinterChoices(PrinterChoices* choices) {
    choices->dialogCopies = selection.nCopies < 1 ? 1 : selection.nCopies;
    choices->deviceCopies = 0;
    choices->printToFile = (selection.Flags & PD_PRINTTOFILE) != 0;
    choices->fromPage = selection.nFromPage;
    choices->toPage = selection.nToPage;
    choices->maxPage = selection.nMaxPage;
    choices->pageRangeChosen = false;
    const DEVMODEA* mode =
        selection.hDevMode ? static_cast<const DEVMODEA*>(GlobalLock(selection.hDevMode)) : nullptr;
    if (!mode)
        return;
    choices->deviceCopies = mode->dmCopies;
    GlobalUnlock(selection.hDevMode);
}

DeviceContext CreatePrinterDC(bool applyOrientation) {
    if (!selection.hDevMode || !selection.hDevNames)
        return nullptr;
    if (preferencesPending)
        ApplyPreferences();
    DEVMODEA* mode = static_cast<DEVMODEA*>(GlobalLock(selection.hDevMode));
    const char* names = static_cast<const char*>(GlobalLock(selection.hDevNames));
    HDC dc = nullptr;
    if (mode && names) {
        if (applyOrientation) {
            mode->dmOrientation = static_cast<short>(CurrentSettings.Landscape ? DMORIENT_LANDSCAPE
                                                                               : DMORIENT_PORTRAIT);
            mode->dmFields |= DM_ORIENTATION;
        }
        const DEVNAMES* record = reinterpret_cast<const DEVNAMES*>(names);
        dc = CreateDCA(names + record->wDriverOffset, names + record->wDeviceOffset, nullptr, mode);
    }
    if (mode)
        GlobalUnlock(selection.hDevMode);
    if (names)
        GlobalUnlock(selection.hDevNames);
    return dc;
}

bool IsPostScriptPrinter() {
    HDC dc = static_cast<HDC>(CreatePrinterDC(false));
    // A printer that cannot be asked gets the benefit of the doubt: no
    // question about a non-PostScript printer.
    if (!dc)
        return true;
    int escape = POSTSCRIPT_PASSTHROUGH;
    bool postScript =
        Escape(dc, QUERYESCSUPPORT, sizeof escape, reinterpret_cast<LPCSTR>(&escape), nullptr) > 0;
    DeleteDC(dc);
    return postScript;
}

bool AskOutputFileName(char* buffer, size_t size) {
    char filter[kMessageSize];
    CopyText(filter, sizeof filter, LoadText(kTextPrinterFilesFilter));
    size_t length = std::strlen(filter);
    // The list's last character separates its entries.
    if (length > 0)
        SplitAtSeparator(filter, filter[length - 1]);
    // The wide call: the chosen name is UTF-8 like every name of the
    // program, and may hold letters of any script.
    std::wstring wideFilter = WideNameList(filter);
    WCHAR file[MAX_PATH] = L"*.prn";
    OPENFILENAMEW dialog;
    std::memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(VisibleWindow());
    dialog.lpstrFilter = wideFilter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    // Relative names elsewhere keep resolving where they did.
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_ENABLEHOOK | OFN_EXPLORER | OFN_NOCHANGEDIR;
    dialog.lpfnHook = SaveDialogHook;
    return GetSaveFileNameW(&dialog) != 0 && NameFromWide(file, buffer, size);
}
