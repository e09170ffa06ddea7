// The general settings dialog's rules.
#include "general_dialog.h"

#include "check_fields.h"
#include "dialog_fields.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/messages.h"
#include "../resources/resource.h"

#include <cstring>

Settings WorkingSettings;

namespace {

const CheckField kGeneralChecks[] = {{IDC_ENABLE_SPOOLER, &Settings::EnableSpooler},
                                     {IDC_SHOW_PRINT_DLG, &Settings::ShowPrintDlg},
                                     {IDC_PREFS_DD, &Settings::EnablePrefsDD},
                                     {IDC_QUIT_COMMAND_LINE, &Settings::QuitFromComLine},
                                     {IDC_NAME_IN_HEADER, &Settings::NameInHeader},
                                     {IDC_SHOW_PROGRESS, &Settings::ProgrBar},
                                     {IDC_SAVE_POS, &Settings::SavePos},
                                     {IDC_SYS_TRAY, &Settings::SysTray}};

enum { kSetListSize = 1024 };

void StoreGeneralDialog(WindowRef dialog, Settings* working) {
    StoreChecks(dialog, working, kGeneralChecks);
    char printer[kSettingTextSize];
    GetFieldText(dialog, IDC_PRINTER_LIST, printer, sizeof printer);
    // The first entry stands for the system's default printer.
    if (std::strstr(printer, UseDefaultText))
        printer[0] = '\0';
    CopyText(working->PrinterName, sizeof working->PrinterName, printer);
    GetFieldText(dialog, IDC_FILE_TYPES, working->FileTypes, sizeof working->FileTypes);
}

void ShowDefaultSet(WindowRef dialog) {
    CopyText(CurrentSetName, sizeof CurrentSetName, DefaultSetName);
    TransferSettings(&WorkingSettings, kReadSettings);
    FillGeneralDialog(dialog);
}

} // namespace

void BeginSettingsDialog(char* startName, size_t size) {
    WorkingSettings = CurrentSettings;
    CopyText(startName, size, CurrentSetName);
}

std::vector<std::string> SettingsSetEntries() {
    char names[kSetListSize];
    ListSettingsSets(names, sizeof names);
    std::vector<std::string> entries;
    bool currentListed = false;
    for (const char* name = names; *name; name += std::strlen(name) + 1) {
        entries.push_back(name);
        currentListed = currentListed || CompareNoCase(name, CurrentSetName) == 0;
    }
    if (!currentListed)
        entries.push_back(CurrentSetName);
    return entries;
}

void FillGeneralDialog(WindowRef dialog) {
    FillChecks(dialog, WorkingSettings, kGeneralChecks);
    SetFieldText(dialog, IDC_FILE_TYPES, WorkingSettings.FileTypes);
    const char* printer = WorkingSettings.PrinterName;
    SetFieldText(dialog, IDC_PRINTER_LIST, printer[0] ? printer : UseDefaultText);
}

void PreviewSettingsSet(WindowRef dialog, const char* name) {
    if (SameSetName(name, CurrentSetName))
        return;
    CopyText(CurrentSetName, sizeof CurrentSetName, name);
    TransferSettings(&WorkingSettings, kReadSettings);
    FillGeneralDialog(dialog);
}

bool AcceptSetName(const char* name) {
    if (!name[0]) {
        ShowMessage(kTextSettingsNeedName, "", 0, kMessageError);
        return false;
    }
    // The dialog's fields, like the settings file, keep the ANSI code page;
    // messages are UTF-8.
    if (!StorableSetName(name, kSetNameChars)) {
        ShowMessage(kTextSetNameUnusable, Utf8OfAnsi(name).c_str(), 0, kMessageError);
        return false;
    }
    return true;
}

bool CommitSettingsDialog(WindowRef dialog, const char* name, bool save) {
    if (!AcceptSetName(name))
        return false;
    StoreGeneralDialog(dialog, &WorkingSettings);
    CurrentSettings = WorkingSettings;
    CopyText(CurrentSetName, sizeof CurrentSetName, name);
    if (save)
        TransferSettings(&CurrentSettings, kWriteSettings);
    SelectSettingsPrinter();
    return true;
}

bool DeleteSettingsCommand(WindowRef dialog, const char* name, char* startName, size_t size) {
    if (!AcceptSetName(name))
        return false;
    if (NamesDefaultSet(name)) {
        ShowMessage(kTextDefaultNotDeletable, "", 0, kMessageError);
        return false;
    }
    if (ShowMessage(kTextConfirmDeleteSettings, Utf8OfAnsi(name).c_str(), 0, kMessageQuestion) !=
        kAnswerYes)
        return false;
    DeleteSettingsSet(name);
    if (SameSetName(name, startName))
        CopyText(startName, size, DefaultSetName);
    ShowDefaultSet(dialog);
    return true;
}

void CancelSettingsDialog(const char* startName) {
    CopyText(CurrentSetName, sizeof CurrentSetName, startName);
}
