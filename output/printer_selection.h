// The current printer and its device settings.
#pragma once

#include "../analysis/file_analysis.h"
#include "../common/window_ref.h"
#include "../settings/set_printer.h"
#include "../textfmt/text_device.h"

#include <cstddef>

// What the printer dialog and the device settings say about the next job.
struct PrinterChoices {
    int dialogCopies; // the copy count of the printer dialog, at least 1
    int deviceCopies; // dmCopies of the device settings (0 while there are none)
    bool printToFile; // "Print to file" was ticked
    int fromPage;     // the page range of the dialog
    int toPage;
    int maxPage;
    // The user chose a page range in the printer dialog. It belongs to the
    // file the dialog was shown for; GetPrinterChoices never reports one.
    bool pageRangeChosen;
};

bool InitPrinterSelection();
void FreePrinterSelection();
// The printer dialog before a batch, with what the user chose; false when
// cancelled or unusable.
bool ShowPrinterDialog(WindowRef owner, FileAnalysis* analysis, PrinterChoices* chosen);
void SetDeviceCopies(int copies);
void LockCopyControls();
// The selected printer's device name; empty while none is selected.
void GetPrinterName(char* buffer, size_t size);
void GetPrinterChoices(PrinterChoices* choices);
// A device context on the selected printer; with applyOrientation the
// orientation of the settings (Landscape) is written into the stored device
// settings first, so later jobs keep it. None without a printer.
DeviceContext CreatePrinterDC(bool applyOrientation);
// True when the driver takes PostScript, and when it cannot be asked.
bool IsPostScriptPrinter();
// The set's printer preferences as the setpagedevice request that opens a
// PostScript job sent raw to the selected printer (printer_preferences.cpp);
// empty when they leave everything as the printer is set.
const char* SetPreferencesRequest();
// The Save As dialog for print-to-file; false when cancelled.
bool AskOutputFileName(char* buffer, size_t size);
