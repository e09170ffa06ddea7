// Seam: one raw print job on the spooler. spooler_channel_win32.cpp uses
// OpenPrinter / StartDocPrinter with data type "RAW" / WritePrinter.
#pragma once

#include <cstddef>

// Starts a raw job named `documentName` on `printerName` (empty: the system's
// default printer); false when the printer cannot be opened or the job started.
bool OpenRawJob(const char* printerName, const char* documentName);
// Writes all of the bytes; false on a failed or short write.
bool WriteRawJob(const void* bytes, size_t count);
// Ends the job, or deletes it when `abort` is set.
bool CloseRawJob(bool abort);
