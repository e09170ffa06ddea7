// Seam: each entry a batch has finished with, as it finishes, for the front
// end to tell the user. Each front end implements it its own way: the console
// program writes a line per file; the windows program and the service have
// nothing to add to what the activity log already says.
#pragma once

#include "batch.h"

// Called once an entry's outcome is known: for every file (a list file's
// lines one by one, before the list itself) and for a list file (isList).
// Entries a batch never reached are not reported.
void EntryFinished(const BatchEntry& entry);
