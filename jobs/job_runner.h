// The print job runner: every file the program prints passes through
// RunBatch, whatever its source and whichever front end started it. This is
// where a batch starts and ends: busy state, printer dialog, progress window,
// the settings set per file and its restoration, the log lines, deletion.
#pragma once

#include "batch.h"

// Runs the batch and fills in each entry's outcome. True when every entry was
// reached and none failed (left out by choice is no failure). A batch that
// arrives while another runs (through the message pump) is refused with a
// beep and prints nothing.
bool RunBatch(Batch* batch);

#include "batch_settings.h"

// True from the moment a source starts a batch, or a batch runs, until it
// has ended.
bool BatchRunning();

// Held by the spooler while it prints the files of one scan, each a batch of
// its own: a batch's end leaves the window busy, and the end of the last hold
// shows it idle, once. Without it the buttons, the icon and the status line
// would go idle and busy again between two files.
struct BusyHold {
    BusyHold();
    ~BusyHold();
    BusyHold(const BusyHold&) = delete;
    BusyHold& operator=(const BusyHold&) = delete;
};

// Held by whatever builds a batch and shows dialogs first (a drop, the Open
// dialog, a capture, the command line) for as long as it feeds the runner.
// One batch runs at a time: a source that arrives through the message pump
// while one runs is refused with a beep (`claimed` false) and must print
// nothing.
struct BatchSource {
    BatchSource();
    ~BatchSource();
    BatchSource(const BatchSource&) = delete;
    BatchSource& operator=(const BatchSource&) = delete;
    bool claimed;
};
