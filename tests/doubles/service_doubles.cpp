// Doubles for the service's tests (service_doubles.h), and the printer
// selection and recorder state that the windows program's recorders would
// otherwise bring along with their message box, progress window and timer,
// which the service has of its own.
#include "service_doubles.h"

#include "analysis/file_analysis.h"
#include "jobs/spooler.h"
#include "output/printer_selection.h"
#include "recorder.h"
#include "service/event_log.h"

#include <cerrno>

ServiceScript Service;
std::vector<std::string> RecordedCalls;
std::vector<ShownBox> ShownBoxes; // stays empty: the service shows no box
OtherPartsScript OtherParts;

void ResetDoubles() {
    RecordedCalls.clear();
    ShownBoxes.clear();
    OtherParts = OtherPartsScript();
    Service = ServiceScript();
}

void QueueMessageAnswer(int) {}

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
        OtherParts.fileClock += ms;
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

bool InitPrinterSelection() {
    return true;
}
void FreePrinterSelection() {}
bool SelectPrinterByName(const char*) {
    return true;
}
bool ShowPrinterDialog(WindowRef, FileAnalysis* analysis, PrinterChoices* chosen) {
    *chosen = PrinterChoices();
    RecordedCalls.push_back(std::string("printer dialog ") + (analysis ? analysis->path : ""));
    return true;
}
void SetDeviceCopies(int) {}
void LockCopyControls() {}
