// The console program's run: the shared grammar, then files, a capture or
// the spooler, every message on standard error and every file's outcome on
// standard output.
#include "console_run.h"

#include "console_io.h"
#include "console_options.h"
#include "console_services.h"
#include "../common/busy_status.h"
#include "../common/messages.h"
#include "../common/stop_request.h"
#include "../install/service_setup.h"
#include "../jobs/activity_log.h"
#include "../jobs/capture.h"
#include "../jobs/command_line.h"
#include "../jobs/entry_report.h"
#include "../jobs/job_runner.h"
#include "../jobs/spooler.h"
#include "../output/printer_selection.h"
#include "../output/transfer_buffer.h"
#include "../settings/settings.h"
#include "../textfmt/definitions.h"

namespace {

// Every batch of the console runs unattended and prints every file it can:
// a file that fails is reported, and the next one prints all the same.
Batch ConsoleBatch(Batch batch) {
    batch.owner = nullptr;
    batch.unattended = true;
    batch.endAtFailure = false;
    return batch;
}

// A capture that printed nothing reported no file: it failed when it said
// why, and was left out by choice when only a question was answered No.
void PrintCapture(const CommandLine& line) {
    const char* name = line.captureName.empty() ? nullptr : line.captureName.c_str();
    int reported = ConsoleTally().printed + ConsoleTally().notPrinted + ConsoleTally().failed;
    int errors = ConsoleErrorsShown();
    bool clipboard = line.capture == kCaptureClipboard;
    bool printed = clipboard ? PrintClipboard(ConsoleBatch(Batch()), name)
                             : PrintStandardInput(ConsoleBatch(Batch()), name);
    int now = ConsoleTally().printed + ConsoleTally().notPrinted + ConsoleTally().failed;
    if (printed || now > reported)
        return;
    BatchEntry nothing;
    nothing.name = clipboard ? "(clipboard)" : "(standard input)";
    nothing.outcome = ConsoleErrorsShown() > errors ? kEntryFailed : kEntryNotPrinted;
    EntryFinished(nothing);
}

// Serves the pattern in the foreground: a scan at once, then one every five
// seconds after the last has ended, until Ctrl+C.
void ServeSpoolDirectory() {
    ResetSpoolerMemory();
    while (!SpoolerExitPending()) {
        SpoolerTick();
        long long due;
        while (!SpoolerExitPending() && (due = SpoolerScanDueIn()) > 0) {
            WaitForStopSignal(static_cast<int>(due));
            PumpMessages();
            if (StopRequested)
                EndSpoolerAfterScan();
        }
    }
}

bool PrepareProgram() {
    if (!InitPrinterSelection() || !AllocateTransferBuffer())
        return false;
    SelectSettingsFile(nullptr);
    SetDefinitionsPath(nullptr);
    return true;
}

void ReleaseProgram() {
    FreePrinterSelection();
    FreeTransferBuffer();
    FreeDefinitions();
}

// After the qualifiers: what the run prints, or why it prints nothing.
bool Refused(ParseOutcome parsed, const CommandLine& line) {
    if (parsed == kParseEnd || line.refusals > 0)
        return true;
    if (SpoolerMode && !CurrentSettings.EnableSpooler) {
        ShowMessage(kTextSpoolerNotEnabled, "", 0, kMessageError);
        return true;
    }
    bool somethingToPrint = SpoolerMode || line.capture != kNoCapture || !line.files.empty();
    if (!somethingToPrint)
        ShowMessage(kTextConsoleNothingToPrint, "", 0, kMessageError);
    return !somethingToPrint;
}

void PrintFiles(const CommandLine& line) {
    // A lone "-" is standard input, as for most console programs.
    if (line.files.size() == 1 && line.files[0] == "-") {
        CommandLine input = line;
        input.capture = kCaptureStdin;
        PrintCapture(input);
        return;
    }
    Batch batch = ConsoleBatch(CommandLineBatch(line.files, nullptr, line.deleteAfterPrint));
    RunBatch(&batch);
}

// "/service install", "uninstall" and "list": what is done, or the list,
// goes to standard output; a refusal or a failure has been reported on
// standard error.
int RunService(const CommandLine& line) {
    std::string listing;
    int code = RunServiceCommand(line.serviceArguments, &listing);
    WriteConsoleText(kStandardOutput,
                     listing.empty() || listing.back() == '\n' ? listing : listing + "\n");
    return code == 0 ? kExitPrinted : kExitFailed;
}

} // namespace

int RunConsole(const std::vector<std::string>& arguments) {
    ConsoleOptions options = ReadConsoleOptions(arguments);
    UseConsoleOptions(options);
    if (!options.refused.empty()) {
        ShowMessage(kTextConsoleNeedsWindows, options.refused.c_str(), 0, kMessageError);
        return kExitRefused;
    }
    if (!PrepareProgram())
        return kExitFailed;
    CommandLine line;
    int exitCode = 0;
    ParseOutcome parsed = ParseCommandLine(options.arguments, &line, &exitCode);
    if (parsed != kParseEnd && line.first == kFirstService) {
        ReleaseProgram();
        return RunService(line);
    }
    if (Refused(parsed, line)) {
        ReleaseProgram();
        return kExitRefused;
    }
    if (SpoolerMode)
        ServeSpoolDirectory();
    else if (line.capture != kNoCapture)
        PrintCapture(line);
    else
        PrintFiles(line);
    // A run ended by Ctrl+C leaves its stop line in the log, as Exit does.
    if (ConsoleTally().stopped)
        LogClose();
    ReleaseProgram();
    return ExitCodeOf(ConsoleTally());
}
