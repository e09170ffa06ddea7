// Beginning and ending the one job that is open at a time.
#include "print_job.h"

#include "channels.h"
#include "escape_channel.h"
#include "printer_selection.h"
#include "spooler_channel.h"
#include "../common/bounded_text.h"
#include "../common/paths.h"

namespace {

bool spoolerJobOpen;

bool BeginEscapeJob(const char* documentName, bool printToFile) {
    DeviceContext dc = CreatePrinterDC(false);
    if (!dc)
        return false;
    if (!SupportsPassThrough(dc) ||
        !StartDocument(dc, documentName, printToFile ? "FILE:" : nullptr)) {
        DeleteDeviceContext(dc);
        return false;
    }
    // The driver-header line of the composed job places the page in the
    // driver's own coordinates.
    Output.deviceVerticalPixels = DeviceCaps(dc, kCapResY);
    Output.devicePixelsPerInchX = DeviceCaps(dc, kCapDpiX);
    Output.devicePixelsPerInchY = DeviceCaps(dc, kCapDpiY);
    EscapeDevice = dc;
    return true;
}

bool BeginSpoolerJob(const char* documentName, bool printToFile) {
    char outputFile[kPathSize] = "";
    if (printToFile && !AskOutputFileName(outputFile, sizeof outputFile))
        return false;
    char printer[kSettingTextSize];
    GetPrinterName(printer, sizeof printer);
    if (!StartSpoolerJob(printer, documentName, outputFile, SpoolerDataType(printer)))
        return false;
    spoolerJobOpen = true;
    return true;
}

} // namespace

bool BeginJob(const char* documentPath) {
    Output.writeFailed = false;
    Output.bytesWritten = 0;
    if (FileChannelOpen() && !Output.driverHeaderMode)
        return true;
    char documentName[kPathSize];
    CopyText(documentName, sizeof documentName, DocumentTitle(documentPath));
    PrinterChoices choices;
    GetPrinterChoices(&choices);
    if (Output.driverHeaderMode) {
        if (BeginEscapeJob(documentName, choices.printToFile))
            return true;
        // Writes must not go on to a channel that is not there.
        Output.driverHeaderMode = false;
        return false;
    }
    return BeginSpoolerJob(documentName, choices.printToFile);
}

bool EndJob(bool abort) {
    if (Output.driverHeaderMode) {
        // The driver has no way to take back what it was handed: the
        // document ends the same way whether or not the job failed.
        bool ended = EscapeDevice && EndDocument(EscapeDevice);
        if (EscapeDevice)
            DeleteDeviceContext(EscapeDevice);
        EscapeDevice = nullptr;
        Output.driverHeaderMode = false;
        return ended;
    }
    if (FileChannelOpen())
        return true; // the file is closed by CloseOutputFile
    bool ended = spoolerJobOpen && CloseRawJob(abort);
    spoolerJobOpen = false;
    return ended;
}
