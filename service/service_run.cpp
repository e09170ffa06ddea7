// The service's run on its one thread: the start's checks, the scans on the
// spooler's timer, and the requests of the service manager taken at every
// turn of the message pump, which is where a stop reaches a file in hand.
#include "service_run.h"

#include "service_host.h"
#include "service_security.h"
#include "../common/bounded_text.h"
#include "../common/busy_status.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../common/stop_request.h"
#include "../install/service_manager.h"
#include "../jobs/activity_log.h"
#include "../jobs/command_line.h"
#include "../jobs/spool_files.h"
#include "../jobs/spooler.h"
#include "../output/printer_selection.h"
#include "../output/transfer_buffer.h"
#include "../settings/settings.h"
#include "../textfmt/definitions.h"

namespace {

const char kServicePrefix[] = "Ravlen-";

bool timerOn = false;
long long timerDue = 0; // on the clock of LocalClockMs

// Whether the stored qualifiers open a log of their own.
bool NamesLog(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument.empty() || argument[0] != '/')
            return false;
        if (ClassifyQualifier(argument.c_str()).action == kQualLog)
            return true;
    }
    return false;
}

// Continued from run to run, so that a restart after a crash keeps what
// came before it. The service's account cannot write the Windows directory,
// where the windows program keeps its log.
void OpenServiceLog(const std::string& serviceName) {
    std::string directory;
    if (!CommonDataDirectory(&directory))
        return;
    directory += "\\Ravlen";
    if (!CreateDirectoryPath(directory.c_str()))
        return;
    std::string name = serviceName;
    if (StartsWithNoCase(name.c_str(), kServicePrefix))
        name.erase(0, sizeof kServicePrefix - 1);
    if (name.empty())
        name = "service";
    LogOpen(("+" + directory + "\\" + name + ".log").c_str());
}

void Refuse(int id, const char* argument) {
    ShowMessage(id, argument, 0, kMessageError);
}

} // namespace

void SetSpoolerTimer(bool on) {
    timerOn = on;
    if (on)
        timerDue = LocalClockMs() + kSpoolerIntervalMs;
}

// A stop ends the scan as Exit does in spooler mode: the file in hand is
// stopped, unless its job is with the spooler already. A pause lets the
// file in hand print and takes no further one.
bool PumpMessages() {
    HostRequests asked = ReadHostRequests();
    if (asked.stop) {
        if (!SpoolerExitPending())
            EndSpoolerAfterScan();
        // Raised again at each turn: a batch that starts clears it.
        StopRequested = true;
    }
    PauseSpooler(asked.pause);
    return StopRequested;
}

int BeginServiceRun(const std::string& serviceName, const std::vector<std::string>& arguments,
                    const std::string& serviceProgram) {
    if (!NamesLog(arguments))
        OpenServiceLog(serviceName);
    if (!InitPrinterSelection() || !AllocateTransferBuffer())
        return 1;
    SelectSettingsFile(nullptr);
    SetDefinitionsPath(nullptr);
    CommandLine line;
    int exitCode = 0;
    if (ParseCommandLine(arguments, &line, &exitCode) == kParseEnd)
        return exitCode ? exitCode : 1;
    if (!SpoolerMode || line.first != kNoFirstWord) {
        Refuse(kTextServicePatternMissing, serviceName.c_str());
        return 1;
    }
    if (!CurrentSettings.EnableSpooler) {
        Refuse(kTextSpoolerNotEnabled, "");
        return 1;
    }
    std::string unsafe = FirstUnsafeFile(FilesTheServiceTrusts(serviceProgram), ProcessAccount());
    if (!unsafe.empty()) {
        Refuse(kTextServiceUnsafeFile, unsafe.c_str());
        return 1;
    }
    // Unattended whatever the set says, as in spooler mode; in memory only.
    CurrentSettings.ShowPrintDlg = 0;
    CurrentSettings.ProgrBar = 0;
    ResetSpoolerMemory();
    SetSpoolerTimer(true);
    return 0;
}

void RunServiceScans() {
    ReportServiceState(kServiceRunning, 0);
    bool pausedReported = false;
    for (;;) {
        HostRequests asked = ReadHostRequests();
        if (asked.stop)
            return;
        PauseSpooler(asked.pause);
        if (asked.pause != pausedReported) {
            pausedReported = asked.pause;
            ReportServiceState(asked.pause ? kServicePaused : kServiceRunning, 0);
        }
        if (asked.pause || !timerOn) {
            WaitForHostRequest(-1);
            continue;
        }
        long long left = timerDue - LocalClockMs();
        if (left > 0) {
            WaitForHostRequest(left);
            continue;
        }
        SpoolerTick();
        if (SpoolerExitPending())
            return;
    }
}

void EndServiceRun() {
    timerOn = false;
    LogClose();
    FreePrinterSelection();
    FreeTransferBuffer();
    FreeDefinitions();
}
