// The spooler's data type for bytes that must reach the printer unchanged.
// An XPS-based driver accepts a "RAW" job and then drops its data without a
// word, so that a printed file would vanish while the program reports success.
#include "spooler_channel.h"

const char* SpoolerDataType(const char* printerName) {
    return PrinterHasXpsDriver(printerName) ? "XPS_PASS" : "RAW";
}
