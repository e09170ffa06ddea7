// ravlensvc.exe: registers with the service manager at once and runs the
// spooler's scans as a service, with no window. The service manager calls
// the control handler on the thread that started the dispatcher; the engine
// runs on the service's own thread, alone, and takes the handler's requests
// from the flags below when it looks (service_host.h).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "service_host.h"
#include "service_run.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/program_instance_win32.h"
#include "../common/wide_names_win32.h"
#include "../install/service_manager.h"
#include "../jobs/arguments.h"

HINSTANCE ProgramInstance;

// The MinGW runtime would expand wildcards in the arguments; the stored
// command line has none to expand.
int _CRT_glob = 0;

namespace {

// What the service announces it needs at most to start and to stop: a stop
// reaches the file in hand at the next turn of the message pump, which
// printing takes every 100 ms or so.
const DWORD kStartWaitHintMs = 30000;
const DWORD kStopWaitHintMs = 30000;

SERVICE_STATUS_HANDLE statusHandle = nullptr;
CRITICAL_SECTION statusLock;
SERVICE_STATUS status;
// Set by the handler, read by the engine.
volatile LONG stopAsked = 0;
volatile LONG pauseAsked = 0;
HANDLE requestArrived = nullptr; // auto-reset: one wake per request

// A stop once announced is not taken back by a later report of the engine.
void Report(DWORD state, DWORD waitHint, int exitCode) {
    EnterCriticalSection(&statusLock);
    bool stopping = status.dwCurrentState == SERVICE_STOP_PENDING;
    if (!stopping || state == SERVICE_STOPPED) {
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = state;
        status.dwControlsAccepted =
            state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING ||
                    state == SERVICE_STOPPED
                ? 0
                : SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_PAUSE_CONTINUE;
        status.dwWin32ExitCode = exitCode ? ERROR_SERVICE_SPECIFIC_ERROR : NO_ERROR;
        status.dwServiceSpecificExitCode = static_cast<DWORD>(exitCode);
        status.dwWaitHint = waitHint;
        status.dwCheckPoint = waitHint ? status.dwCheckPoint + 1 : 0;
        if (statusHandle)
            SetServiceStatus(statusHandle, &status);
    }
    LeaveCriticalSection(&statusLock);
}

DWORD WINAPI ControlHandler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        InterlockedExchange(&stopAsked, 1);
        Report(SERVICE_STOP_PENDING, kStopWaitHintMs, 0);
        SetEvent(requestArrived);
        return NO_ERROR;
    case SERVICE_CONTROL_PAUSE:
    case SERVICE_CONTROL_CONTINUE: {
        bool pause = control == SERVICE_CONTROL_PAUSE;
        InterlockedExchange(&pauseAsked, pause ? 1 : 0);
        Report(pause ? SERVICE_PAUSE_PENDING : SERVICE_CONTINUE_PENDING, kStopWaitHintMs, 0);
        SetEvent(requestArrived);
        return NO_ERROR;
    }
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

// The stored qualifiers, as the program's own splitting reads its command
// line, without the program's name.
std::vector<std::string> StoredArguments() {
    const WCHAR* wide = GetCommandLineW();
    std::string whole = wide ? NameFromWide(wide) : std::string();
    std::vector<Argument> split = SplitProgramCommandLine(GetCommandLineA(), whole.c_str());
    std::vector<std::string> arguments;
    for (size_t i = 1; i < split.size(); ++i)
        arguments.push_back(split[i].text);
    return arguments;
}

void WINAPI ServiceMain(DWORD count, LPWSTR* names) {
    std::string name = count > 0 && names[0] ? NameFromWide(names[0]) : std::string();
    statusHandle =
        RegisterServiceCtrlHandlerExW(names && names[0] ? names[0] : L"", ControlHandler, nullptr);
    if (!statusHandle)
        return;
    Report(SERVICE_START_PENDING, kStartWaitHintMs, 0);
    // The printer dialogs' code, never shown here, and some drivers want COM.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::string program = ProgramPathComponents("drive,dir,name,ext");
    int exitCode = BeginServiceRun(name, StoredArguments(), program);
    if (exitCode == 0)
        RunServiceScans();
    EndServiceRun();
    CoUninitialize();
    Report(SERVICE_STOPPED, 0, exitCode);
}

} // namespace

HostRequests ReadHostRequests() {
    // The thread's own messages (a driver's, COM's) are served meanwhile.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    HostRequests asked;
    asked.stop = InterlockedCompareExchange(&stopAsked, 0, 0) != 0;
    asked.pause = InterlockedCompareExchange(&pauseAsked, 0, 0) != 0;
    return asked;
}

void WaitForHostRequest(long long ms) {
    DWORD wait = ms < 0 ? INFINITE : ms > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<DWORD>(ms);
    MsgWaitForMultipleObjects(1, &requestArrived, FALSE, wait, QS_ALLINPUT);
}

void ReportServiceState(int state, int exitCode) {
    Report(static_cast<DWORD>(state), 0, exitCode);
}

bool CommonDataDirectory(std::string* directory) {
    WCHAR path[MAX_PATH];
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path)))
        return false;
    *directory = NameFromWide(path);
    return !directory->empty();
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ProgramInstance = instance;
    InitializeCriticalSection(&statusLock);
    requestArrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    SERVICE_TABLE_ENTRYW table[] = {{const_cast<LPWSTR>(L""), ServiceMain}, {nullptr, nullptr}};
    // Started by hand, not by the service manager: said in the event log,
    // since no one may be there to read a box.
    if (!StartServiceCtrlDispatcherW(table)) {
        ShowMessage(kTextServiceNotAService, ProgramPathComponents("drive,dir,name,ext"), 0,
                    kMessageError);
        return 1;
    }
    return 0;
}
