// Doubles for the service's tests (service_doubles.h). The service brings its
// own message sink, progress and timer, so its tests link no recorder of the
// windows program's.
#include "service_doubles.h"

#include "jobs/spooler.h"
#include "recorder.h"
#include "service/event_log.h"

#include <cerrno>

ServiceScript Service;

// Inside a scan, what the test scripted for the next turn of the pump
// (OtherParts.duringPump) happens first.
HostRequests ReadHostRequests() {
    if (SpoolerScanRunning()) {
        std::function<void()> pending;
        pending.swap(OtherParts.duringPump);
        if (pending)
            pending();
    }
    return Service.asked;
}

// The file clock moves on by the wait; then what the script has for it
// arrives. A wait without end, or a day of waits, with nothing scripted would
// never end: the test has forgotten its stop, which comes then.
void WaitForHostRequest(long long ms) {
    RecordedCalls.push_back(ms < 0 ? "wait" : "wait " + std::to_string(ms));
    if (ms > 0) {
        OtherParts.localClock += ms;
        Service.waited += ms;
    }
    std::map<int, std::function<void()>>::iterator scripted = Service.atWait.find(Service.waits++);
    if (scripted != Service.atWait.end())
        scripted->second();
    else if (ms < 0 || Service.waited > 24LL * 3600 * 1000)
        Service.asked.stop = true;
}

void ReportServiceState(int state, int exitCode) {
    Service.states.push_back(state);
    Service.exitCode = exitCode;
}

bool CommonDataDirectory(std::string* directory) {
    *directory = Service.commonData;
    return !directory->empty();
}

void WriteEventLog(int kind, const char* text) {
    Service.events.push_back({kind, text});
}

bool ReadFileAccess(const char* path, FileAccess* access) {
    for (const std::string& unreadable : Service.unreadable) {
        if (unreadable == path) {
            errno = EACCES;
            return false;
        }
    }
    std::map<std::string, FileAccess>::const_iterator found = Service.access.find(path);
    if (found == Service.access.end()) {
        errno = ENOENT;
        return false;
    }
    *access = found->second;
    return true;
}

std::string ProcessAccount() {
    return Service.account;
}

bool IsAdministratorAccount(const std::string& account) {
    for (const std::string& administrator : Service.administrators)
        if (administrator == account)
            return true;
    return account == "S-1-5-32-544";
}

std::string ProgramFileOf(const std::string& name) {
    return "C:\\found\\" + name + ".exe";
}
