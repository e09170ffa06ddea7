// Printing text that is not in a file: the clipboard's text or standard
// input, through a file in the temporary directory.
#pragma once

#include "batch.h"

// Each prints its capture as a batch of one like `how` (its owner and how it
// runs; its entries are ignored) and deletes the file again. False when
// nothing printed; every failure is reported.
bool PrintClipboard(Batch how, const char* fileName);
bool PrintStandardInput(Batch how, const char* fileName);
