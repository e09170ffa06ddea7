// Double of the output dispatcher: records each file with the set in force
// and answers from OtherParts.
#include "analysis/file_analysis.h"
#include "common/busy_status.h"
#include "common/stop_request.h"
#include "common/file_system.h"
#include "common/messages.h"
#include "output/dispatch.h"
#include "output/printer_selection.h"
#include "settings/settings.h"
#include "recorder.h"

static bool PathHas(const FileAnalysis* analysis, const std::string& text) {
    return !text.empty() && std::string(analysis->path).find(text) != std::string::npos;
}

// The printer selection's copies, as /#: and a printer selected afresh
// leave them (other_parts_recorder.cpp).
void GetPrinterChoices(PrinterChoices* choices) {
    *choices = PrinterChoices();
    choices->dialogCopies = 1;
    choices->deviceCopies = OtherParts.deviceCopies;
}

DispatchResult DispatchFile(FileAnalysis* analysis, bool, DispatchReport* report) {
    if (report) {
        *report = DispatchReport();
        report->kind = analysis->kind;
    }
    RecordedCalls.push_back(std::string("dispatch ") + analysis->path + " with " + CurrentSetName);
    OtherParts.dispatchedBytes.clear();
    OtherParts.dispatchedKinds.push_back(analysis->kind);
    OtherParts.dispatchedLines.push_back(CurrentSettings.Lines);
    if (FILE* file = OpenStream(analysis->path, "rb")) {
        char block[4096];
        size_t count;
        while ((count = fread(block, 1, sizeof block, file)) > 0)
            OtherParts.dispatchedBytes.append(block, count);
        fclose(file);
    }
    if (PathHas(analysis, OtherParts.holdDuringDispatch))
        OtherParts.heldFile = OpenStream(analysis->path, "rb");
    // The real output pumps messages as it sends; a stop that arrives
    // meanwhile ends the job unprinted.
    if (OtherParts.stopDuringDispatch)
        StopRequested = true;
    OtherParts.dispatching = true;
    PumpMessages();
    OtherParts.dispatching = false;
    if (StopRequested)
        return kPrintFailed;
    if (PathHas(analysis, OtherParts.dispatchFailsFor) || !OtherParts.dispatchSucceeds) {
        if (!OtherParts.failureReason.empty())
            ShowMessage(kTextPrinterFailed, OtherParts.failureReason.c_str(), 0, kMessageError);
        return kPrintFailed;
    }
    return PathHas(analysis, OtherParts.dispatchSkipsFor) ? kNotPrintedByChoice : kPrinted;
}
