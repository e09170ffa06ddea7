// Seam: one job on the print spooler whose bytes go to the printer as they
// are. spooler_channel_win32.cpp uses OpenPrinter / StartDocPrinter /
// WritePrinter; the tests record the job.
#pragma once

#include <cstddef>

// Starts a job named `documentName` on `printerName` (empty: the system's
// default printer) with the spooler data type `dataType`, to `outputFile`
// when one is given; false when the printer cannot be opened or the job or
// its page cannot be started.
bool StartSpoolerJob(const char* printerName, const char* documentName, const char* outputFile,
                     const char* dataType);
// Writes all of the bytes; false on a failed or short write.
bool WriteRawJob(const void* bytes, size_t count);
// Ends the job, or deletes it when `abort` is set.
bool CloseRawJob(bool abort);
// True when the printer's driver is XPS-based. Such a driver silently drops
// a job of data type "RAW"; it takes the same bytes as "XPS_PASS". The
// printer may stay open for the StartSpoolerJob that follows on it, which
// then need not open it again.
bool PrinterHasXpsDriver(const char* printerName);

// The data type under which the printer receives bytes unchanged.
const char* SpoolerDataType(const char* printerName);
