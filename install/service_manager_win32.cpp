// The service control manager and the event log's source in the registry,
// through the wide functions: names and paths keep their own characters.
#include "service_manager.h"

#include <windows.h>

#include <vector>

#include "../common/bounded_text.h"
#include "../common/wide_names_win32.h"

namespace {

const wchar_t kEventSourceKey[] =
    L"SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\Ravlen";
// After a crash the service manager starts the service again after a
// minute, each time; a day without one counts the crashes afresh.
const DWORD kRestartDelayMs = 60000;
const DWORD kFailureResetSeconds = 24 * 60 * 60;
// How long a stop may take at most, whatever the service announces.
const DWORD kLongestStopMs = 120000;

// The system's words for an error, without their line end.
std::string SystemText(DWORD error) {
    wchar_t* text = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words;
    if (length > 0 && text)
        words = NameFromWide(text);
    if (text)
        LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' '))
        words.pop_back();
    if (words.empty()) {
        char number[32];
        FormatText(number, sizeof number, "%lu", static_cast<unsigned long>(error));
        words = number;
    }
    return words;
}

ServiceResult Failure(DWORD error, std::string* reason) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
        return kServiceDenied;
    case ERROR_SERVICE_EXISTS:
        return kServiceExists;
    case ERROR_SERVICE_DOES_NOT_EXIST:
        return kServiceMissing;
    default:
        *reason = SystemText(error);
        return kServiceFailed;
    }
}

const wchar_t* AccountName(ServiceAccount account) {
    switch (account) {
    case kAccountNetworkService:
        return L"NT AUTHORITY\\NetworkService";
    case kAccountLocalSystem:
        return nullptr; // the service manager's own, LocalSystem
    case kAccountLocalService:
        break;
    }
    return L"NT AUTHORITY\\LocalService";
}

// Description and restart after a crash.
DWORD Configure(SC_HANDLE service, const ServiceDefinition& definition) {
    std::wstring description = WideName(definition.description.c_str());
    SERVICE_DESCRIPTIONW describe = {&description[0]};
    if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_DESCRIPTION, &describe))
        return GetLastError();
    SC_ACTION restart[3] = {{SC_ACTION_RESTART, kRestartDelayMs},
                            {SC_ACTION_RESTART, kRestartDelayMs},
                            {SC_ACTION_RESTART, kRestartDelayMs}};
    SERVICE_FAILURE_ACTIONSW actions = {};
    actions.dwResetPeriod = kFailureResetSeconds;
    actions.cActions = 3;
    actions.lpsaActions = restart;
    if (!ChangeServiceConfig2W(service, SERVICE_CONFIG_FAILURE_ACTIONS, &actions))
        return GetLastError();
    return ERROR_SUCCESS;
}

// The source "Ravlen" of the Application log, whose texts come from the
// service program's message table.
DWORD RegisterEventSource(const std::string& messageFile) {
    HKEY key;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEventSourceKey, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (result != ERROR_SUCCESS)
        return static_cast<DWORD>(result);
    std::wstring file = WideName(messageFile.c_str());
    DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
    result = RegSetValueExW(key, L"EventMessageFile", 0, REG_EXPAND_SZ,
                            reinterpret_cast<const BYTE*>(file.c_str()),
                            static_cast<DWORD>((file.size() + 1) * sizeof(wchar_t)));
    if (result == ERROR_SUCCESS)
        result = RegSetValueExW(key, L"TypesSupported", 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&types), sizeof types);
    RegCloseKey(key);
    return static_cast<DWORD>(result);
}

// Asks the service to stop and waits for it, as long as it says it needs
// (its wait hint, from each checkpoint it reports), within the longest stop.
void StopAndWait(SC_HANDLE service) {
    SERVICE_STATUS status;
    if (!QueryServiceStatus(service, &status) || status.dwCurrentState == SERVICE_STOPPED)
        return;
    if (status.dwCurrentState != SERVICE_STOP_PENDING &&
        !ControlService(service, SERVICE_CONTROL_STOP, &status))
        return;
    DWORD start = GetTickCount();
    DWORD checkpoint = status.dwCheckPoint;
    DWORD since = start;
    while (status.dwCurrentState != SERVICE_STOPPED) {
        DWORD now = GetTickCount();
        DWORD hint = status.dwWaitHint ? status.dwWaitHint : 30000;
        if (now - start > kLongestStopMs || now - since > hint)
            return;
        Sleep(200);
        if (!QueryServiceStatus(service, &status))
            return;
        if (status.dwCheckPoint != checkpoint) {
            checkpoint = status.dwCheckPoint;
            since = GetTickCount();
        }
    }
}

} // namespace

ServiceResult CreateSpoolerService(const ServiceDefinition& definition, std::string* reason) {
    SC_HANDLE manager =
        OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE);
    if (!manager)
        return Failure(GetLastError(), reason);
    std::wstring command = WideName(definition.commandLine.c_str());
    SC_HANDLE service = CreateServiceW(
        manager, WideName(definition.name.c_str()).c_str(),
        WideName(definition.displayName.c_str()).c_str(), SERVICE_ALL_ACCESS,
        SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, command.c_str(),
        nullptr, nullptr, nullptr, AccountName(definition.account), L"");
    if (!service) {
        DWORD error = GetLastError();
        CloseServiceHandle(manager);
        return Failure(error, reason);
    }
    DWORD error = Configure(service, definition);
    if (error == ERROR_SUCCESS)
        error = RegisterEventSource(definition.eventMessageFile);
    // Nothing half made: a service that cannot be set up wholly goes again.
    if (error != ERROR_SUCCESS)
        DeleteService(service);
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return error == ERROR_SUCCESS ? kServiceDone : Failure(error, reason);
}

ServiceResult RemoveSpoolerService(const std::string& name, bool lastOne, std::string* reason) {
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager)
        return Failure(GetLastError(), reason);
    SC_HANDLE service = OpenServiceW(manager, WideName(name.c_str()).c_str(),
                                     SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (!service) {
        DWORD error = GetLastError();
        CloseServiceHandle(manager);
        return Failure(error, reason);
    }
    StopAndWait(service);
    bool deleted = DeleteService(service) != 0;
    DWORD error = deleted ? ERROR_SUCCESS : GetLastError();
    CloseServiceHandle(service);
    CloseServiceHandle(manager);
    if (!deleted)
        return Failure(error, reason);
    if (lastOne)
        RegDeleteKeyW(HKEY_LOCAL_MACHINE, kEventSourceKey);
    return kServiceDone;
}

ServiceResult ListSpoolerServices(const std::string& prefix, std::vector<ServiceEntry>* services,
                                  std::string* reason) {
    services->clear();
    SC_HANDLE manager =
        OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE);
    if (!manager)
        return Failure(GetLastError(), reason);
    std::vector<BYTE> buffer(64 * 1024);
    DWORD resume = 0;
    DWORD error = ERROR_SUCCESS;
    for (;;) {
        DWORD needed = 0;
        DWORD count = 0;
        bool whole =
            EnumServicesStatusExW(manager, SC_ENUM_PROCESS_INFO, SERVICE_WIN32, SERVICE_STATE_ALL,
                                  buffer.data(), static_cast<DWORD>(buffer.size()), &needed, &count,
                                  &resume, nullptr) != 0;
        error = whole ? ERROR_SUCCESS : GetLastError();
        if (!whole && error != ERROR_MORE_DATA)
            break;
        const ENUM_SERVICE_STATUS_PROCESSW* found =
            reinterpret_cast<const ENUM_SERVICE_STATUS_PROCESSW*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            std::string name = NameFromWide(found[i].lpServiceName);
            if (!StartsWithNoCase(name.c_str(), prefix.c_str()))
                continue;
            ServiceEntry entry;
            entry.name = name;
            entry.state = static_cast<int>(found[i].ServiceStatusProcess.dwCurrentState);
            SC_HANDLE service = OpenServiceW(manager, found[i].lpServiceName, SERVICE_QUERY_CONFIG);
            DWORD size = 0;
            if (service && !QueryServiceConfigW(service, nullptr, 0, &size) &&
                GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
                std::vector<BYTE> config(size);
                QUERY_SERVICE_CONFIGW* read =
                    reinterpret_cast<QUERY_SERVICE_CONFIGW*>(config.data());
                if (QueryServiceConfigW(service, read, size, &size) && read->lpBinaryPathName)
                    entry.commandLine = NameFromWide(read->lpBinaryPathName);
            }
            if (service)
                CloseServiceHandle(service);
            services->push_back(entry);
        }
        if (whole)
            break;
        if (needed > buffer.size())
            buffer.resize(needed);
    }
    CloseServiceHandle(manager);
    return error == ERROR_SUCCESS ? kServiceDone : Failure(error, reason);
}
