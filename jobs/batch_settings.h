// The settings set each file of a batch prints with. Outside a running batch
// too: the preview shows a file as printing it would.
#pragma once

#include "batch.h"

// Remembers the set in force as the batch's own, Apply's values included.
void BeginBatchSettings(Batch* batch);
// Puts in force the set bound to the file's extension, or the batch's own
// set again after a file of another set.
void UseFileSettings(Batch* batch, const char* path);
// Puts the batch's set back as it was when the batch began.
void EndBatchSettings(Batch* batch);
