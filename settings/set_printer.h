// Seam: the printer a settings set names (PrinterName) is chosen whenever a
// set becomes current. The printer selection implements it
// (output/printer_selection_win32.cpp); settings only asks.
#pragma once

// Selects the printer `name`, the system default when empty.
bool SelectPrinterByName(const char* name);
