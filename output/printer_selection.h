// The current printer and its device settings.
#pragma once

#include "../analysis/file_analysis.h"
#include "../app/shell_state.h"

bool InitPrinterSelection();
void FreePrinterSelection();
// Selects the printer `name`, the system default when empty.
bool SelectPrinterByName(const char* name);
// The printer dialog before a batch; false when cancelled or unusable.
bool ShowPrinterDialog(WindowRef owner, FileAnalysis* analysis);
void SetDeviceCopies(int copies);
void LockCopyControls();
