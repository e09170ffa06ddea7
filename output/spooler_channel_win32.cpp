// One job on the print spooler: the bytes go to the printer unchanged.
#include "spooler_channel.h"

#include <windows.h>
#include <winspool.h>

#include "../common/bounded_text.h"
#include "../common/wide_names_win32.h"

#include <cstring>

#ifndef PRINTER_DRIVER_XPS
#define PRINTER_DRIVER_XPS 0x00000002
#endif

namespace {

HANDLE jobPrinter; // open from StartSpoolerJob to CloseRawJob
// The printer PrinterHasXpsDriver opened, kept for the job that follows on
// it: opening a printer reads its whole registry entry, once a job is enough.
HANDLE checkedPrinter;
char checkedName[kSettingTextSize];

// The printer named, else the system's default.
bool ChoosePrinter(const char* printerName, char* name, DWORD size) {
    if (printerName && *printerName)
        return CopyText(name, size, printerName);
    return GetDefaultPrinterA(name, &size) != 0;
}

void CloseCheckedPrinter() {
    if (checkedPrinter)
        ClosePrinter(checkedPrinter);
    checkedPrinter = nullptr;
}

// The printer named `name`: the one the check left open when it is that
// printer, else opened now. Any other one left open is closed.
bool OpenJobPrinter(char* name, HANDLE* printer) {
    if (checkedPrinter && std::strcmp(checkedName, name) == 0) {
        *printer = checkedPrinter;
        checkedPrinter = nullptr;
        return true;
    }
    CloseCheckedPrinter();
    return OpenPrinterA(name, printer, nullptr) != 0;
}

// DRIVER_INFO_8A and its strings; most drivers fit here, so that one call
// reads the driver's entry.
struct DriverInfoBuffer {
    DRIVER_INFO_8A info;
    char strings[4096];
};

bool DriverIsXps(HANDLE printer) {
    // Systems older than Windows Vista know no level 8 and no XPS drivers.
    DriverInfoBuffer local;
    DWORD needed = 0;
    BYTE* buffer = reinterpret_cast<BYTE*>(&local);
    bool read = GetPrinterDriverA(printer, nullptr, 8, buffer, sizeof local, &needed) != 0;
    BYTE* allocated = nullptr;
    if (!read && GetLastError() == ERROR_INSUFFICIENT_BUFFER && needed >= sizeof(DRIVER_INFO_8A)) {
        allocated = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, needed));
        buffer = allocated;
        read = buffer && GetPrinterDriverA(printer, nullptr, 8, buffer, needed, &needed);
    }
    bool xps = read && (reinterpret_cast<const DRIVER_INFO_8A*>(buffer)->dwPrinterDriverAttributes &
                        PRINTER_DRIVER_XPS) != 0;
    if (allocated)
        HeapFree(GetProcessHeap(), 0, allocated);
    return xps;
}

} // namespace

bool StartSpoolerJob(const char* printerName, const char* documentName, const char* outputFile,
                     const char* dataType) {
    if (jobPrinter) {
        CloseCheckedPrinter();
        return false; // one job at a time
    }
    char name[kSettingTextSize];
    char document[kPathSize];
    char output[kPathSize];
    char type[16];
    if (!ChoosePrinter(printerName, name, sizeof name) || !CopyText(type, sizeof type, dataType) ||
        !CopyText(output, sizeof output, outputFile ? outputFile : "")) {
        CloseCheckedPrinter();
        return false;
    }
    CopyText(document, sizeof document, documentName ? documentName : "");
    HANDLE printer = nullptr;
    if (!OpenJobPrinter(name, &printer))
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
    CloseCheckedPrinter();
    char name[kSettingTextSize];
    if (!ChoosePrinter(printerName, name, sizeof name))
        return false;
    HANDLE printer = nullptr;
    if (!OpenPrinterA(name, &printer, nullptr))
        return false;
    bool xps = DriverIsXps(printer);
    checkedPrinter = printer;
    CopyText(checkedName, sizeof checkedName, name);
    return xps;
}
