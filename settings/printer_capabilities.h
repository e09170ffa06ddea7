// Seam: what a printer's driver offers for the printer preferences of a
// settings set (Sides, PaperSource, PaperSize, ColorMode): its bins and papers
// by name and number, two-sided printing and colour. The settings dialog
// offers them; the printer selection matches a set's names against them.
// output/printer_capabilities_win32.cpp asks the driver (DeviceCapabilities);
// the native tests put in a double.
#pragma once

#include "settings.h"

#include <vector>

struct PrinterBin {
    int number; // the driver's number for it (dmDefaultSource)
    char name[kPaperSourceChars + 1];
};

struct PrinterPaper {
    int number; // the driver's number for it (dmPaperSize)
    char name[kPaperSizeChars + 1];
    int width, height; // tenths of a millimetre, upright
};

struct PrinterCapabilities {
    char printer[kSettingTextSize]; // the device name of the printer asked
    std::vector<PrinterBin> bins;
    std::vector<PrinterPaper> papers;
    bool twoSided; // the driver prints on both sides
    bool color;    // the driver prints in colour
};

// The capabilities of the printer named `name`, the system's default printer
// when it is empty; false when there is no such printer or its driver cannot
// be asked.
bool ReadPrinterCapabilities(const char* name, PrinterCapabilities* capabilities);
