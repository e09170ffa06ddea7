// A settings set's printer preferences (Sides, PaperSource, PaperSize,
// ColorMode) matched against what a printer offers, and what they become:
// values of the device settings for jobs made through the driver (text, the
// preview, PostScript behind the driver's header) and a setpagedevice
// request for PostScript sent raw. Printer-ready data is never touched.
#pragma once

#include "../settings/printer_capabilities.h"
#include "../settings/settings.h"

#include <cstddef>

// The preferences a printer can follow; any other is left as it is set.
struct ResolvedPreferences {
    int sides;     // SidesChoice
    int colorMode; // ColorModeChoice
    bool hasBin;
    PrinterBin bin;
    int binPosition; // its tray number for PostScript, -1 when not known
    bool hasPaper;
    PrinterPaper paper;
};

// Matches the names of `s` against the printer's offer, in any letter case.
// A value the printer lacks (a bin or paper it does not list, two-sided or
// colour printing it cannot do) is left as the printer is set and reported
// with a warning naming the value and the printer, once for each printer
// and value in a run of the program.
void ResolvePrinterPreferences(const Settings& s, const PrinterCapabilities& printer,
                               ResolvedPreferences* resolved);

// Values of the device settings (DEVMODE), as the Windows headers number
// them; each is written only when its flag says so.
enum {
    kDeviceSimplex = 1,    // DMDUP_SIMPLEX
    kDeviceLongEdge = 2,   // DMDUP_VERTICAL: bound on the long edge
    kDeviceShortEdge = 3,  // DMDUP_HORIZONTAL: bound on the short edge
    kDeviceMonochrome = 1, // DMCOLOR_MONOCHROME
    kDeviceColor = 2,      // DMCOLOR_COLOR
    kDeviceFormNameSize = 32
};

struct DeviceSettingsChange {
    bool duplex;
    int duplexValue; // dmDuplex
    bool source;
    int sourceValue; // dmDefaultSource: the bin's number
    bool paper;
    int paperValue; // dmPaperSize: the paper's number
    // dmFormName, which takes precedence over dmPaperSize where the driver
    // reads it; empty when the paper's name does not fit it, and the form
    // name is then to be dropped.
    char formName[kDeviceFormNameSize];
    bool color;
    int colorValue; // dmColor
};

void DeviceSettingsFor(const ResolvedPreferences& resolved, DeviceSettingsChange* change);

// The request that asks a PostScript printer for the preferences, at the
// start of a job sent raw: a "%!" line, then one setpagedevice per
// preference, each in its own stopped context so that a printer that
// refuses it prints the job as it is set. Empty when nothing is asked.
// False when `size` cannot hold it (out is then empty).
bool PageDeviceRequest(const ResolvedPreferences& resolved, char* out, size_t size);
