// Installing the program from the directory it runs from, and removing the
// installation again (see setup.h). Both follow the records in the settings
// file's "Install" section and the system's uninstall list.
//
// Paths and names are UTF-8 here, as everywhere in the program: the dialogs'
// fields and the registry are read and written through the wide calls, and
// the records of the settings file, which keeps the ANSI code page, are
// converted as they are read and written.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "setup.h"
#include "service_setup.h"

#include "associations.h"
#include "install_record.h"
#include "program_group.h"
#include "removal_batch.h"
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

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Ravlen";
const char kVersionText[] = "2.1.5";
// The items the installer puts into the program group, for its removal.
const int kGroupItems[] = {kTextWindowTitle, kTextHelpTitle, kTextUninstallTitle, 0};

struct InstallState {
    char directory[kPathSize]; // ends with "\" once the dialog has been confirmed
    char group[kPathSize];
    bool makeGroup;
    bool makeDesktopLink;
    char extensions[kPathSize]; // NUL-terminated texts ending with an empty one
    char source[kPathSize];
    bool failedAttempt;
    // The installation the settings file records, as it was read.
    bool installed;
    char recordedDirectory[kPathSize];
    char recordedGroup[kPathSize];
    bool filesRecorded; // false for an installation made before the list was kept
    FileNames recordedFiles;
    // This attempt's files: those it copied, or found in place when it runs
    // from the install directory itself.
    bool sameDirectory;
    FileNames installedFiles;
};

bool ReadProgramFilesDir(char* out, size_t size) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    WCHAR directory[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH * sizeof(WCHAR);
    bool ok = RegQueryValueExW(key, L"ProgramFilesDir", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(directory), &length) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok && NameFromWide(directory, out, size) && AppendText(out, size, "\\Ravlen");
}

// A record of the "Install" section, in the settings file's ANSI code page,
// as the program's UTF-8.
void ReadInstallRecord(const char* key, const char* defaultValue, char* out, size_t size) {
    char ansi[kPathSize];
    ReadProfileValue("Install", key, defaultValue, ansi, sizeof ansi, SettingsFileName);
    if (!Utf8FromAnsi(ansi, out, size))
        CopyText(out, size, defaultValue);
}

// True when the settings file records an installation.
bool ReadInstallInfo(InstallState* state) {
    ReadInstallRecord("Directory", "", state->directory, sizeof state->directory);
    bool installed = state->directory[0] != '\0';
    size_t length = std::strlen(state->directory);
    if (installed && state->directory[length - 1] != '\\')
        AppendText(state->directory, sizeof state->directory, "\\");
    if (!installed &&
        !(ShellHasFolders() && ReadProgramFilesDir(state->directory, sizeof state->directory)))
        CopyText(state->directory, sizeof state->directory, "C:\\RAVLEN");
    ReadInstallRecord("Group", "", state->group, sizeof state->group);
    if (!state->group[0])
        CopyText(state->group, sizeof state->group, LoadText(kTextWindowClassName));
    // "?" cannot be part of a file name: it tells a missing list from an
    // empty one.
    char files[kPathSize * 2];
    ReadInstallRecord("Files", "?", files, sizeof files);
    state->installed = installed;
    state->filesRecorded = std::strcmp(files, "?") != 0;
    state->recordedFiles = state->filesRecorded ? SplitFileNames(files) : FileNames();
    CopyText(state->recordedDirectory, sizeof state->recordedDirectory,
             installed ? state->directory : "");
    CopyText(state->recordedGroup, sizeof state->recordedGroup, installed ? state->group : "");
    return installed;
}

const char* ShortPathOf(const char* path) {
    static char shortPath[kPathSize];
    WCHAR wide[MAX_PATH];
    DWORD length = GetShortPathNameW(WideName(path).c_str(), wide, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !NameFromWide(wide, shortPath, sizeof shortPath))
        CopyText(shortPath, sizeof shortPath, path);
    return shortPath;
}

// The name of the running program's file.
const char* ProgramFileName() {
    return FileNameOf(ProgramPathComponents(""));
}

void WriteRegistryText(HKEY key, const wchar_t* name, const char* value) {
    std::wstring wide = WideName(value);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(WCHAR)));
}

// A program path as the head of a command line: the short form has no
// blanks, but where the system has no short form the path is quoted.
const char* CommandPathOf(const char* path) {
    static char command[kPathSize + 2];
    const char* shortPath = ShortPathOf(path);
    FormatText(command, sizeof command, std::strchr(shortPath, ' ') ? "\"%s\"" : "%s", shortPath);
    return command;
}

void WriteInstallInfo(const InstallState* state) {
    // The settings file keeps the ANSI code page: a directory it cannot hold
    // is recorded by its short name.
    char directory[kPathSize];
    AnsiPathOf(state->directory, directory, sizeof directory);
    WriteProfileValue("Install", "Directory", directory, SettingsFileName);
    WriteProfileValue("Install", "Group", AnsiTextOf(state->group).c_str(), SettingsFileName);
    std::string files = JoinFileNames(state->installedFiles);
    WriteProfileValue("Install", "Files", AnsiTextOf(files.c_str()).c_str(), SettingsFileName);
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    char program[kPathSize];
    char command[kPathSize];
    FormatText(program, sizeof program, "%s%s", state->directory, ProgramFileName());
    FormatText(command, sizeof command, "%s /uninstall", CommandPathOf(program));
    WriteRegistryText(key, L"DisplayName", LoadText(kTextProductName));
    WriteRegistryText(key, L"UninstallString", command);
    RegCloseKey(key);
}

void RemoveInstallInfo() {
    WriteProfileValue("Install", "Directory", nullptr, SettingsFileName);
    WriteProfileValue("Install", "Group", nullptr, SettingsFileName);
    WriteProfileValue("Install", "Files", nullptr, SettingsFileName);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

// One row of the files the installer copies.
struct InstallRow {
    const char* file;
    bool alwaysCopy;
    bool optional; // a missing source is skipped with a warning
    int itemName;  // text id of the group item, 0 for none
    const char* arguments;
    int iconNumber;
    bool desktopLink;
};

// Copies one file and makes its group item and desktop link. A missing
// optional file is reported and passed over; any other failed copy stops the
// installation. A file in place afterwards is the installation's.
bool InstallFile(InstallState* state, const InstallRow* row) {
    char from[kPathSize];
    char to[kPathSize];
    if (!FormatText(from, sizeof from, "%s%s", state->source, row->file) ||
        !FormatText(to, sizeof to, "%s%s", state->directory, row->file)) {
        ShowMessage(kTextInstallFileFailed, row->file, ENAMETOOLONG, kMessageError);
        return false;
    }
    // The install directory may be the source itself, spelt some other way.
    bool copy = !state->sameDirectory && (row->alwaysCopy || !FileExists(to));
    if (copy && row->optional && !FileExists(from)) {
        ShowMessage(kTextInstallFileFailed, row->file, ENOENT, kMessageWarning);
        return true;
    }
    // A read-only file is one the user protected; the copy must not replace
    // it even where the system would let it (an administrator, or Wine).
    DWORD attributes = copy ? GetFileAttributesW(WideName(to).c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ShowMessage(kTextInstallFileFailed, row->file, EACCES, kMessageError);
        return false;
    }
    if (copy && !CopyFileReplacing(from, to)) {
        ShowMessage(kTextInstallFileFailed, row->file, errno, kMessageError);
        return false;
    }
    if (copy || (state->sameDirectory && FileExists(to)))
        AddFileName(&state->installedFiles, row->file);
    char target[kPathSize];
    CopyText(target, sizeof target, ShortPathOf(to));
    if (state->makeGroup && row->itemName) {
        char itemName[kSettingTextSize];
        CopyText(itemName, sizeof itemName, LoadText(row->itemName));
        AddProgramItem(state->group, target, row->arguments, itemName,
                       row->iconNumber ? target : "", row->iconNumber);
    }
    if (row->desktopLink && state->makeDesktopLink)
        CreateShellLink(LoadText(kTextWindowTitle), "Desktop", to, nullptr, to, 0);
    return true;
}

// The help beside the program: the classic help file, or the HTML help.
const char* HelpFileName(const InstallState* state) {
    char path[kPathSize];
    FormatText(path, sizeof path, "%sravlen.hlp", state->source);
    return FileExists(path) ? "ravlen.hlp" : "ravlen.html";
}

bool InstallFiles(InstallState* state) {
    char program[kPathSize];
    CopyText(program, sizeof program, ProgramFileName());
    const InstallRow rows[] = {
        {program, true, false, kTextWindowTitle, nullptr, 0, true},
        {HelpFileName(state), true, true, kTextHelpTitle, nullptr, 0, false},
        {program, false, false, kTextUninstallTitle, "/uninstall", 3, false},
        {"ravlenc.exe", true, true, 0, nullptr, 0, false},
        {"readme.txt", true, true, 0, nullptr, 0, false},
        {"pp.txt", true, true, 0, nullptr, 0, false},
        // The service program, which "/service install" registers from here.
        {"ravlensvc.exe", true, true, 0, nullptr, 0, false},
    };
    for (const InstallRow& row : rows) {
        if (!InstallFile(state, &row))
            return false;
    }
    return true;
}

// The open command and icon of the associations, from the installed program.
void RegisterAssociations(const InstallState* state) {
    char program[kPathSize];
    char command[kPathSize];
    char icon[kPathSize];
    FormatText(program, sizeof program, "%s%s", state->directory, ProgramFileName());
    FormatText(icon, sizeof icon, "%s,4", ShortPathOf(program));
    FormatText(command, sizeof command, "%s \"%%1\"", CommandPathOf(program));
    RegisterFileTypes(state->extensions, command, icon);
}

bool RunInstallation(InstallState* state) {
    if (!CreateDirectoryPath(state->directory))
        return false;
    state->sameDirectory = IsSameDirectory(state->source, state->directory);
    state->installedFiles.clear();
    // A failed attempt removes the links it made; those that were there
    // before it belong to a working installation and stay.
    bool recordedGroup = state->installed && CompareNoCase(state->recordedGroup, state->group) == 0;
    GroupBefore groupBefore = NoteProgramGroup(state->group, kGroupItems, recordedGroup);
    bool desktopLinkBefore = ShellLinkExists(LoadText(kTextWindowTitle), "Desktop");
    if (state->makeGroup)
        CreateProgramGroup(state->group);
    if (!InstallFiles(state)) {
        // The copied files stay and are replaced by the next attempt.
        if (state->makeGroup)
            UndoProgramGroup(state->group, kGroupItems, groupBefore);
        if (state->makeDesktopLink && !desktopLinkBefore)
            DeleteShellLink(LoadText(kTextWindowTitle), "Desktop");
        return false;
    }
    // Files that an earlier installation into this directory recorded are
    // still the installation's.
    if (state->installed && state->filesRecorded &&
        IsSameDirectory(state->recordedDirectory, state->directory)) {
        for (const std::string& name : state->recordedFiles)
            AddFileName(&state->installedFiles, name.c_str());
    }
    WriteInstallInfo(state);
    if (state->extensions[0])
        RegisterAssociations(state);
    return true;
}

// --- The Install dialog -----------------------------------------------------

void FillInstallDialog(HWND dialog, const InstallState* state) {
    char text[kMessageSize];
    char format[kMessageSize];
    GetDlgItemTextA(dialog, IDC_INSTALL_VERSION, format, sizeof format);
    FormatText(text, sizeof text, format, kVersionText);
    SetDlgItemTextA(dialog, IDC_INSTALL_VERSION, text);
    CheckDlgButton(dialog, IDC_INSTALL_GROUP, BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_INSTALL_GROUP_NAME, EM_LIMITTEXT, kSettingTextSize - 1, 0);
    SetFieldName(GetDlgItem(dialog, IDC_INSTALL_GROUP_NAME), state->group);
    bool folders = ShellHasFolders();
    CheckDlgButton(dialog, IDC_INSTALL_DESKTOP, folders ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_INSTALL_DESKTOP), folders);

    char extensions[kLoadTextSize];
    CopyText(extensions, sizeof extensions, LoadText(kTextPrinterReadyExtensions));
    HWND list = GetDlgItem(dialog, IDC_INSTALL_TYPES);
    for (char* p = extensions; *p;) {
        char* bar = std::strchr(p, '|');
        if (bar)
            *bar = '\0';
        LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(p));
        if (std::strcmp(p, ".prn") == 0)
            SendMessageA(list, LB_SETSEL, TRUE, index);
        if (!bar)
            break;
        p = bar + 1;
    }

    char directory[kPathSize];
    CopyText(directory, sizeof directory, state->directory);
    size_t length = std::strlen(directory);
    if (length > 1 && directory[length - 1] == '\\' && directory[length - 2] != ':')
        directory[length - 1] = '\0';
    SendDlgItemMessageA(dialog, IDC_INSTALL_DIRECTORY, EM_LIMITTEXT, kPathChars - 1, 0);
    SetFieldName(GetDlgItem(dialog, IDC_INSTALL_DIRECTORY), directory);
}

void CollectExtensions(HWND dialog, InstallState* state) {
    HWND list = GetDlgItem(dialog, IDC_INSTALL_TYPES);
    LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    size_t used = 0;
    for (LRESULT i = 0; i < count; ++i) {
        char entry[kSettingTextSize];
        LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (SendMessageA(list, LB_GETSEL, i, 0) <= 0 || length <= 0 ||
            static_cast<size_t>(length) >= sizeof entry ||
            used + static_cast<size_t>(length) + 2 > sizeof state->extensions)
            continue;
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        std::memcpy(state->extensions + used, entry, static_cast<size_t>(length) + 1);
        used += static_cast<size_t>(length) + 1;
    }
    state->extensions[used] = '\0';
}

bool ReadInstallDialog(HWND dialog, InstallState* state) {
    state->makeGroup = IsDlgButtonChecked(dialog, IDC_INSTALL_GROUP) == BST_CHECKED;
    state->makeDesktopLink = IsDlgButtonChecked(dialog, IDC_INSTALL_DESKTOP) == BST_CHECKED;
    CollectExtensions(dialog, state);
    // A text too long for the program's buffers in UTF-8 is refused, not cut.
    bool whole =
        WindowNameOf(GetDlgItem(dialog, IDC_INSTALL_GROUP_NAME), state->group,
                     sizeof state->group) &&
        WindowNameOf(GetDlgItem(dialog, IDC_INSTALL_DIRECTORY), state->directory, kPathChars);
    if (!whole || !IsFullDirectoryPath(state->directory)) {
        ShowMessage(kTextInstallDirectoryNotFull, state->directory, 0, kMessageError);
        SetFocus(GetDlgItem(dialog, IDC_INSTALL_DIRECTORY));
        return false;
    }
    size_t length = std::strlen(state->directory);
    if (length == 0 || state->directory[length - 1] != '\\')
        AppendText(state->directory, sizeof state->directory, "\\");
    CopyText(state->source, sizeof state->source, ProgramPathComponents("drive,dir"));
    // The group is recorded even when none is made, and the uninstaller
    // removes a group by that name: it must be a name the shell can hold.
    if (!IsValidGroupName(state->group)) {
        ShowMessage(kTextGroupNameInvalid, state->group, 0, kMessageError);
        SetFocus(GetDlgItem(dialog, IDC_INSTALL_GROUP_NAME));
        return false;
    }
    return true;
}

// The installer's and the uninstaller's dialogs share one procedure: each
// opens centred and filled, OK does its dialog's step and ends it with what
// the step gives (or keeps it open), Cancel ends it with 2.
enum SetupDialogKind { kInstallDialog, kUninstallDialog };

struct SetupDialog {
    SetupDialogKind kind;
    InstallState* state;
};

void FillSetupDialog(HWND dialog, const SetupDialog& setup) {
    CenterWindow(dialog);
    if (setup.kind == kInstallDialog)
        FillInstallDialog(dialog, setup.state);
    else
        CheckDlgButton(dialog, IDC_UNINSTALL_SETTINGS, BST_CHECKED);
}

// What OK ends the dialog with: 1 (the uninstaller: 3 with the settings
// file); 0 keeps it open, after a failed step has said what went wrong, for
// another directory or group.
INT_PTR ConfirmSetupDialog(HWND dialog, const SetupDialog& setup) {
    if (setup.kind == kUninstallDialog)
        return IsDlgButtonChecked(dialog, IDC_UNINSTALL_SETTINGS) == BST_CHECKED ? 3 : 1;
    if (!ReadInstallDialog(dialog, setup.state))
        return 0;
    if (RunInstallation(setup.state))
        return 1;
    setup.state->failedAttempt = true;
    return 0;
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        FillSetupDialog(dialog, *reinterpret_cast<SetupDialog*>(lParam));
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    auto* setup = reinterpret_cast<SetupDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    INT_PTR end = 0;
    if (LOWORD(wParam) == IDOK)
        end = ConfirmSetupDialog(dialog, *setup);
    else if (LOWORD(wParam) == IDCANCEL)
        end = 2;
    else
        return FALSE;
    if (end)
        EndDialog(dialog, end);
    return TRUE;
}

int ShowSetupDialog(int dialogId, SetupDialogKind kind, InstallState* state) {
    SetupDialog setup = {kind, state};
    return static_cast<int>(DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(dialogId), nullptr,
                                            SetupDialogProc, reinterpret_cast<LPARAM>(&setup)));
}

void ShowOutcome(int titleId, int textId, UINT icon) {
    char title[kMessageSize];
    CopyText(title, sizeof title, LoadText(titleId));
    MessageBoxA(nullptr, LoadText(textId), title, MB_OK | icon);
}

// --- The uninstaller --------------------------------------------------------

void DeleteSettingsFile() {
    char path[kPathSize];
    if (std::strpbrk(SettingsFileName, "\\/:")) {
        CopyText(path, sizeof path, SettingsFileName);
    } else {
        char windows[kPathSize];
        if (!WindowsDirectory(windows, sizeof windows) ||
            !FormatText(path, sizeof path, "%s\\%s", windows, SettingsFileName))
            return;
    }
    WriteProfileValue(nullptr, nullptr, nullptr, SettingsFileName);
    RemoveFile(path);
}

// The batch that deletes the running program, an installed file, once this
// process has ended. The paths are written by their long names in the OEM
// code page, in which cmd.exe reads the batch; where that code page lacks
// one of their letters, by their short names, which the file system keeps in
// OEM letters. False, after saying so, when neither can be written: the
// program would stay behind.
bool WriteRemovalBatch(const char* program, char* batch, size_t size) {
    WCHAR wideTemp[MAX_PATH];
    char temp[kPathSize] = "";
    char longProgram[kPathSize];
    DWORD length = GetTempPathW(MAX_PATH, wideTemp);
    bool haveTemp = length > 0 && length < MAX_PATH && NameFromWide(wideTemp, temp, sizeof temp);
    const char* resolved = ResolvePath(program, true);
    CopyText(longProgram, sizeof longProgram, resolved ? resolved : program);
    if (!haveTemp || !FormatText(batch, size, "%s_remrvl.bat", temp)) {
        ShowMessage(kTextTempFileFailed, temp, 0, kMessageError);
        return false;
    }
    std::vector<char> oem(kPathSize * 8);
    if (!RemovalBatchInOem(batch, longProgram, oem.data(), oem.size())) {
        char shortProgram[kPathSize];
        CopyText(shortProgram, sizeof shortProgram, ShortPathOf(program));
        if (!FormatText(batch, size, "%s_remrvl.bat", ShortPathOf(temp)) ||
            !RemovalBatchInOem(batch, shortProgram, oem.data(), oem.size())) {
            ShowOutcome(kTextUninstallingTitle, kTextRemoveFilesFailed, MB_ICONHAND);
            return false;
        }
    }
    FILE* file = OpenStream(batch, "w");
    bool ok = file && std::fputs(oem.data(), file) >= 0;
    if (file && std::fclose(file) != 0)
        ok = false;
    if (!ok)
        ShowMessage(kTextTempFileFailed, batch, errno, kMessageError);
    return ok;
}

int StartRemovalBatch(const char* batch) {
    char command[kPathSize + 2];
    FormatText(command, sizeof command, "\"%s\"", batch);
    std::wstring wide = WideName(command);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &wide[0], nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process))
        return static_cast<int>(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int RunInstaller() {
    static InstallState state;
    ReadInstallInfo(&state);
    int answer = ShowSetupDialog(IDD_INSTALL, kInstallDialog, &state);
    if (answer == 1) {
        ShowOutcome(kTextInstallingTitle, kTextInstallDone, MB_ICONINFORMATION);
        return 0;
    }
    // Cancelled after a failed attempt: the installation as a whole failed,
    // and the user is told so, not left to guess from the last step's message.
    if (state.failedAttempt)
        ShowOutcome(kTextInstallingTitle, kTextInstallFailed, MB_ICONHAND);
    return 1;
}

int RunUninstaller() {
    static InstallState state;
    if (!ReadInstallInfo(&state)) {
        ShowMessage(kTextNotInstalled, "", 0, kMessageError);
        return 1;
    }
    int answer = ShowSetupDialog(IDD_UNINSTALL, kUninstallDialog, &state);
    if (answer != 1 && answer != 3)
        return 1;
    // A service left behind would start a program that is gone; one that
    // cannot be removed has been reported, and the rest goes all the same.
    RemoveProgramServices();
    RemoveInstallInfo();
    if (answer == 3)
        DeleteSettingsFile();
    DeleteProgramGroup(state.group, kGroupItems);
    if (ShellHasFolders())
        DeleteShellLink(LoadText(kTextWindowTitle), "Desktop");
    RemoveFileTypes();

    char running[kPathSize];
    CopyText(running, sizeof running, ProgramPathComponents(""));
    FileNames files = state.recordedFiles;
    if (!state.filesRecorded) {
        char runningDirectory[kPathSize];
        CopyText(runningDirectory, sizeof runningDirectory, PathComponents(running, "drive,dir"));
        bool runsFromDirectory = IsSameDirectory(runningDirectory, state.directory);
        files = UnrecordedInstallationFiles(runsFromDirectory ? FileNameOf(running) : "");
    }
    // A directory recorded relative names no place for certain: nothing is
    // deleted from it.
    bool runningIsInstalled = false;
    if (!IsFullDirectoryPath(state.directory) ||
        !RemoveInstalledFiles(state.directory, files, running, &runningIsInstalled)) {
        ShowOutcome(kTextUninstallingTitle, kTextRemoveFilesFailed, MB_ICONHAND);
        return 1;
    }
    char batch[kPathSize];
    if (runningIsInstalled) {
        if (!WriteRemovalBatch(running, batch, sizeof batch))
            return 1;
    } else {
        // Started from elsewhere (a copy of the program), the uninstaller has
        // removed the installed program itself; an empty directory goes too.
        char directory[kPathSize];
        CopyText(directory, sizeof directory, state.directory);
        size_t length = std::strlen(directory);
        if (length > 3 && directory[length - 1] == '\\')
            directory[length - 1] = '\0';
        RemoveEmptyDirectory(directory);
    }
    ShowOutcome(kTextUninstallingTitle, kTextUninstallDone, MB_ICONINFORMATION);
    return runningIsInstalled ? StartRemovalBatch(batch) : 0;
}
