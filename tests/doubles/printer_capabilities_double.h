// The printer-capabilities seam as the native tests see it: printers by
// name, each with what its driver offers.
#pragma once

#include "settings/printer_capabilities.h"

#include <map>
#include <string>

// The printers that can be asked, by name; the default printer is the one
// named by DefaultPrinterName.
extern std::map<std::string, PrinterCapabilities> KnownPrinters;
extern std::string DefaultPrinterName;
// How many times a driver was asked.
extern int CapabilityQueries;

// One printer, "Capture", as Wine's PostScript driver describes the
// bench's capture printer: six bins, fifteen papers (a few of them here),
// two-sided printing and colour.
void ResetKnownPrinters();
PrinterCapabilities CapturePrinter();
