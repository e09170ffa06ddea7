// Spooler mode: files matching a pattern are printed on a five-second timer.
#pragma once

enum {
    kSpoolerTimerId = 1,
    kSpoolerIntervalMs = 5000,
    // A file written to this recently may still grow: a writer that closes
    // and reopens it between pieces is invisible to the exclusive-open test.
    kSpoolerSettleMs = 2000
};

void SetSpoolerTimer(bool on);
void SpoolerTick();
// Spooler mode runs unattended: no printer dialog and no progress window,
// in memory only. Applied at start-up and again before each file, because a
// settings set loaded for one file brings back the stored values.
void UseUnattendedSettings();
// Forgets what earlier scans learnt about the files (a new run).
void ResetSpoolerMemory();
