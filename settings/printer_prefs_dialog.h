// The rules of the Printer Preferences dialog, opened from the general
// settings dialog: the lists it offers from a printer's capabilities, with
// "as the printer is set" first, and what OK stores into the working
// settings. Sides and colour are chosen from lists; a paper source and size
// may also be typed, for a set meant for another printer.
#pragma once

#include "printer_capabilities.h"
#include "settings.h"
#include "../common/window_ref.h"

void FillPrinterPrefsDialog(WindowRef dialog, const Settings& working,
                            const PrinterCapabilities& printer);
// False (reported, the field selected, `working` unchanged) when a typed
// source or size is no name a driver could give it.
bool StorePrinterPrefsDialog(WindowRef dialog, Settings* working);
