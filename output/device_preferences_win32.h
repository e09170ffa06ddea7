// The printer preferences of the settings in force written into a printer's
// device settings, for the jobs, previews and dialogs made with them.
#pragma once

#include <windows.h>

// Matches the preferences against the printer `device` (reporting what it
// lacks, once) and writes those it can follow into `mode`; leaves `mode` as
// it is when the printer's driver cannot be asked.
void ApplySetPreferences(DEVMODEA* mode, const char* device);
