#include "output_doubles.h"

#include "analysis/page_index.h"
#include "analysis/page_selection.h"
#include "common/progress_report.h"
#include "common/stop_request.h"
#include "common/file_system.h"
#include "output/escape_channel.h"
#include "output/spooler_channel.h"
#include "tests/doubles/text_device_recorder.h"

#include <cstring>

PrinterScript Printer;

void ResetPrinter() {
    Printer = PrinterScript();
}

static bool CopyOut(char* buffer, size_t size, const std::string& text) {
    if (size == 0)
        return false;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n == text.size();
}

// Printer selection.
void GetPrinterName(char* buffer, size_t size) {
    CopyOut(buffer, size, Printer.name);
}
void GetPrinterChoices(PrinterChoices* choices) {
    *choices = Printer.choices;
}
DeviceContext CreatePrinterDC(bool applyOrientation) {
    Printer.deviceContexts.push_back(applyOrientation);
    return Printer.haveDevice ? RecorderDevice() : nullptr;
}
bool IsPostScriptPrinter() {
    return Printer.postScript;
}
bool AskOutputFileName(char* buffer, size_t size) {
    ++Printer.outputFileQuestions;
    return Printer.outputFileChosen && CopyOut(buffer, size, Printer.outputFile);
}

// The Select Pages dialog.
bool SelectPages(FILE* stream, int fromPage, int toPage, int maxPage) {
    Printer.pageSelections.push_back(std::to_string(fromPage) + "-" + std::to_string(toPage) +
                                     " of " + std::to_string(maxPage));
    Printer.pageLabels.clear();
    if (!BuildPageIndex(stream, fromPage, toPage, maxPage, &Printer.pageLabels))
        return false;
    if (!Printer.pagesConfirmed)
        return false;
    if (!Printer.pageChoice.empty())
        StorePageSelection(fromPage, Printer.pageChoice);
    PageIndex.cursor = -1;
    return true;
}

// The spooler.
static size_t writeCount;
bool StartSpoolerJob(const char* printerName, const char* documentName, const char* outputFile,
                     const char* dataType) {
    if (!Printer.jobStarts)
        return false;
    SpoolerJob job;
    job.printer = printerName;
    job.document = documentName;
    job.outputFile = outputFile ? outputFile : "";
    job.dataType = dataType;
    Printer.jobs.push_back(job);
    writeCount = 0;
    return true;
}
bool WriteRawJob(const void* bytes, size_t count) {
    if (Printer.jobs.empty() || Printer.jobs.back().closed)
        return false;
    if (writeCount++ >= Printer.writesBeforeFailure)
        return false;
    SpoolerJob& job = Printer.jobs.back();
    job.writes.push_back(count);
    job.bytes.append(static_cast<const char*>(bytes), count);
    if (writeCount >= Printer.writesBeforeStop)
        StopRequested = true;
    return true;
}
bool CloseRawJob(bool abort) {
    if (Printer.jobs.empty())
        return false;
    Printer.jobs.back().aborted = abort;
    Printer.jobs.back().closed = true;
    return abort || Printer.jobEnds;
}
bool PrinterHasXpsDriver(const char*) {
    return Printer.xpsDriver;
}

// The driver's pass-through escape.
bool SupportsPassThrough(DeviceContext) {
    return Printer.passThrough;
}
void PassThroughBlock(DeviceContext, const void* block, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(block);
    size_t count = bytes[0] | (bytes[1] << 8);
    if (count + 2 != size)
        Printer.badBlockCount = true;
    Printer.passThroughBlocks.push_back(size);
    Printer.passThroughBytes.append(reinterpret_cast<const char*>(bytes) + 2, size - 2);
}
