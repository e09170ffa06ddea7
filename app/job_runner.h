// The print job runner: every file the program prints passes PrintEntry, one
// entry of a batch. Index 1 starts a batch, index == count ends it; index 0 of
// count 1 is a line of a list file inside the enclosing batch.
#pragma once

#include "shell_state.h"
#include "../output/dispatch.h"
#include <string>
#include <vector>

extern char BatchSettingsName[256];
extern char FileSettingsName[256];

// True when the batch goes on: the entry printed, or the set or the user
// chose not to print it.
bool PrintEntry(const char* entry, WindowRef owner, int index, int count);
// The same entry, telling what became of it (a list reference printed or
// failed). A cancelled printer dialog or a stop counts as failed: it ends
// the batch.
DispatchResult PrintEntryOutcome(const char* entry, WindowRef owner, int index, int count);
// Prints each line of a list file as an entry. A list that is UTF-8 (with or
// without a byte-order mark) names files in UTF-8; any other is in the ANSI
// code page, as lists always were.
bool PrintListFile(const char* path);
// The Open dialog's result: one path, or a directory and names, NUL-separated
// and ending with an empty text.
bool PrintOpenSelection(const char* buffer, WindowRef owner);
// Files dropped on `window`, in the order of the drop.
void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names);

// True from the moment a source starts a batch, or an entry starts being
// analysed, until the batch has ended.
bool BatchRunning();

// Held by whatever starts a batch (the Open dialog's selection, a drop, a
// capture, the command line) for as long as it feeds it. One batch runs at a
// time: a source that arrives through the message pump while one runs is
// refused with a beep (`claimed` false) and must print nothing.
struct BatchSource {
    BatchSource();
    ~BatchSource();
    BatchSource(const BatchSource&) = delete;
    BatchSource& operator=(const BatchSource&) = delete;
    bool claimed;
};

// Spooler mode runs unattended whatever set is loaded: no printer dialog and
// no progress window. Only the record in memory changes, never the file.
void KeepSpoolerUnattended();
