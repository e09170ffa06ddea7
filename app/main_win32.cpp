// The program's entry: start-up, the command line, the message loop and the
// orderly end.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <string>
#include <vector>

#include "main_window.h"
#include "shell_state.h"
#include "shell_ui.h"
#include "startup.h"
#include "window_rules.h"
#include "../common/program_instance_win32.h"
#include "../jobs/arguments.h"
#include "../jobs/spooler.h"
#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/wide_names_win32.h"
#include "../output/printer_selection.h"
#include "../output/transfer_buffer.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../textfmt/definitions.h"

// The MinGW runtime would expand wildcards in the arguments itself, by rules
// of its own; the program expands them (ExpandArguments) the same way on
// every build.
int _CRT_glob = 0;

namespace {

// Asks whether the platform is at least what the version check wants,
// rather than reading the version numbers, which recent systems report only
// to programs that declare themselves compatible.
bool RunningOnSupportedWindows() {
    OSVERSIONINFOEXA wanted = {};
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwPlatformId = VER_PLATFORM_WIN32_NT;
    bool ntFamily = VerifyVersionInfoA(&wanted, VER_PLATFORMID,
                                       VerSetConditionMask(0, VER_PLATFORMID, VER_EQUAL)) != 0;
    wanted.dwMajorVersion = 4;
    bool fromVersion4 =
        VerifyVersionInfoA(&wanted, VER_MAJORVERSION,
                           VerSetConditionMask(0, VER_MAJORVERSION, VER_GREATER_EQUAL)) != 0;
    return WindowsVersionSupported(ntFamily, fromVersion4 ? 4 : 3);
}

void SetHelpFilePath() {
    CopyText(HelpFilePath, sizeof HelpFilePath, ProgramPathComponents("drive,dir"));
    AppendText(HelpFilePath, sizeof HelpFilePath, "ravlen.hlp");
}

// The command line as the system keeps it, in UTF-8: the ANSI one has lost
// the letters its code page lacks. Empty where the system has none.
std::string WholeCommandLine() {
    const WCHAR* wide = GetCommandLineW();
    return wide ? NameFromWide(wide) : std::string();
}

// The arguments as the runtime would give them, without the program's name.
// The ANSI line, where there is no other, is brought to UTF-8 like any text
// of that code page.
std::vector<std::string> ProgramArguments() {
    std::vector<Argument> split =
        SplitProgramCommandLine(Utf8OfAnsi(GetCommandLineA()).c_str(), WholeCommandLine().c_str());
    if (!split.empty())
        split.erase(split.begin());
    return ExpandArguments(split);
}

void ReleasePrinting() {
    FreePrinterSelection();
    FreeTransferBuffer();
}

// Spooler mode runs unattended whatever set is loaded: no printer dialog and
// no progress window (the spooler's batches say so themselves). Only the
// record in memory changes, never the file.
void ShowSpoolerWindow() {
    CurrentSettings.ShowPrintDlg = 0;
    CurrentSettings.ProgrBar = 0;
    ShowSpoolerPattern(SpoolerPattern);
    SetSpoolerTimer(true);
    UpdateTitle(false);
    SetWindowType(kWindowNormal, SW_SHOWMINIMIZED);
}

void ShowMainWindow(const CommandLine& line, int showCommand) {
    UpdateTitle(false);
    if (line.quitAfterCommandLine)
        SetWindowType(kWindowNormal, SW_HIDE);
    else if (!RestorePlacement())
        SetWindowType(kWindowNormal, showCommand);
}

void RunMessageLoop(HACCEL accelerators) {
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        HWND main = static_cast<HWND>(MainWindow);
        if (accelerators && TranslateAcceleratorA(main, accelerators, &message))
            continue;
        if (IsDialogMessageA(main, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The windows in their idle state, and the popup menu.
bool OpenWindows() {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    if (!CreateMainWindows())
        return false;
    SetBusy(false);
    if (LoadPopupMenu())
        BuildSettingsMenu();
    return true;
}

void CloseDown() {
    if (!SpoolerMode)
        SavePlacement();
    RemoveTrayIcon();
    ReleasePrinting();
    FreeDefinitions();
    DestroyMainWindows();
}

// Start-up, the command line, the windows, the message loop and the end.
int RunProgram(int showCommand) {
    if (!RunningOnSupportedWindows()) {
        ShowMessage(kTextWrongWindows32, "", 0, kMessageError);
        return 1;
    }
    SetHelpFilePath();
    if (!InitPrinterSelection() || !AllocateTransferBuffer())
        return 1;
    SelectSettingsFile(nullptr);
    SetDefinitionsPath(nullptr);

    CommandLine line;
    int exitCode = 0;
    if (StartFromCommandLine(ProgramArguments(), &line, &exitCode) == kStartEnd) {
        ReleasePrinting();
        return exitCode;
    }
    if (SpoolerMode && !CurrentSettings.EnableSpooler) {
        ShowMessage(kTextSpoolerNotEnabled, "", 0, kMessageError);
        ReleasePrinting();
        return 1;
    }
    if (!OpenWindows()) {
        CloseDown();
        return 1;
    }
    HACCEL accelerators = LoadAcceleratorsA(ProgramInstance, MAKEINTRESOURCEA(IDR_ACCELERATORS));

    bool enterLoop = true;
    if (SpoolerMode) {
        ShowSpoolerWindow();
    } else {
        ShowMainWindow(line, showCommand);
        enterLoop = PrintCommandLineFiles(line) == kEnterMessageLoop;
    }
    if (enterLoop)
        RunMessageLoop(accelerators);
    CloseDown();
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    ProgramInstance = instance;
    // The common dialogs, the shell links of the installer and the printer
    // dialogs want COM on this thread.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exitCode = RunProgram(showCommand);
    CoUninitialize();
    return exitCode;
}
