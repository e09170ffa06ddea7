// One job on the print spooler: the bytes go to the printer unchanged.
#include "spooler_channel.h"

#include <windows.h>
#include <winspool.h>

#include "../common/bounded_text.h"
#include "../common/wide_names_win32.h"

#ifndef PRINTER_DRIVER_XPS
#define PRINTER_DRIVER_XPS 0x00000002
#endif

namespace {

HANDLE jobPrinter; // open from StartSpoolerJob to CloseRawJob

// The printer named, else the system's default.
bool ChoosePrinter(const char* printerName, char* name, DWORD size) {
    if (printerName && *printerName)
        return CopyText(name, size, printerName);
    return GetDefaultPrinterA(name, &size) != 0;
}

} // namespace

bool StartSpoolerJob(const char* printerName, const char* documentName, const char* outputFile,
                     const char* dataType) {
    if (jobPrinter)
        return false; // one job at a time
    char name[kSettingTextSize];
    char document[kPathSize];
    char output[kPathSize];
    char type[16];
    if (!ChoosePrinter(printerName, name, sizeof name) || !CopyText(type, sizeof type, dataType) ||
        !CopyText(output, sizeof output, outputFile ? outputFile : ""))
        return false;
    CopyText(document, sizeof document, documentName ? documentName : "");
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name, &printer, nullptr))
        return false;
    // The document name shows the file's name in its own characters.
    std::wstring wideDocument = WideText(document);
    std::wstring wideOutput = WideName(output);
    std::wstring wideType = WideName(type);
    DOC_INFO_1W info = {&wideDocument[0], output[0] ? &wideOutput[0] : nullptr, &wideType[0]};
    if (StartDocPrinterW(printer, 1, reinterpret_cast<BYTE*>(&info)) == 0) {
        ClosePrinter(printer);
        return false;
    }
    if (!StartPagePrinter(printer)) {
        EndDocPrinter(printer);
        ClosePrinter(printer);
        return false;
    }
    jobPrinter = printer;
    return true;
}

bool WriteRawJob(const void* bytes, size_t count) {
    if (!jobPrinter)
        return false;
    const BYTE* next = static_cast<const BYTE*>(bytes);
    while (count > 0) {
        DWORD piece = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        DWORD written = 0;
        if (!WritePrinter(jobPrinter, const_cast<BYTE*>(next), piece, &written) || written == 0)
            return false;
        next += written;
        count -= written;
    }
    return true;
}

bool CloseRawJob(bool abort) {
    if (!jobPrinter)
        return false;
    bool ended;
    if (abort) {
        ended = AbortPrinter(jobPrinter) != 0;
    } else {
        ended = EndPagePrinter(jobPrinter) != 0;
        ended = EndDocPrinter(jobPrinter) != 0 && ended;
    }
    ended = ClosePrinter(jobPrinter) != 0 && ended;
    jobPrinter = nullptr;
    return ended;
}

bool PrinterHasXpsDriver(const char* printerName) {
    char name[kSettingTextSize];
    if (!ChoosePrinter(printerName, name, sizeof name))
        return false;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name, &printer, nullptr))
        return false;
    // Systems older than Windows Vista know no level 8 and no XPS drivers.
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 8, nullptr, 0, &needed);
    bool xps = false;
    if (needed >= sizeof(DRIVER_INFO_8A)) {
        BYTE* buffer = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, needed));
        if (buffer && GetPrinterDriverA(printer, nullptr, 8, buffer, needed, &needed)) {
            const DRIVER_INFO_8A* info = reinterpret_cast<const DRIVER_INFO_8A*>(buffer);
            xps = (info->dwPrinterDriverAttributes & PRINTER_DRIVER_XPS) != 0;
        }
        if (buffer)
            HeapFree(GetProcessHeap(), 0, buffer);
    }
    ClosePrinter(printer);
    return xps;
}
