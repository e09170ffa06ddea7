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
// Forgets what earlier scans learnt about the files (a new run).
void ResetSpoolerMemory();
