// Spooler mode: files matching a pattern are printed on a five-second timer.
#pragma once

// What it serves comes from the command line: SpoolerPattern and
// BackupDirectory (command_line.h).
#include "command_line.h"

#include <string>

enum {
    kSpoolerTimerId = 1,
    kSpoolerIntervalMs = 5000,
    // A file has settled when two looks at least this far apart by this
    // machine's clock find its size and last write unchanged: a writer that
    // closes and reopens it between pieces is invisible to the exclusive-open
    // test.
    kSpoolerSettleMs = 2000,
    // A file that failed is tried again after the first wait, then after
    // twice the last wait each time, never waiting longer than the longest.
    kSpoolRetryFirstMs = 5000,
    kSpoolRetryLongestMs = 300000
};

// Seam: the timer between scans, which each front end keeps its own way
// (a window timer, a wait between scans). Off while a scan runs.
void SetSpoolerTimer(bool on);
// One scan: the timer off, the files printed, the timer on again.
void SpoolerTick();
// Forgets what earlier scans learnt about the files (a new run).
void ResetSpoolerMemory();

// True while a scan runs; its files print inside it, one batch each.
bool SpoolerScanRunning();
// Exit during a scan: the file in hand is stopped, the files not yet reached
// stay, and the scan returns without starting the timer.
void EndSpoolerAfterScan();
// The scan ended for an Exit, which is then carried out.
bool SpoolerExitPending();

// Pause: the file in hand prints on, the scan takes no further file, and the
// front end starts no scan until the spooler goes on again.
void PauseSpooler(bool paused);
bool SpoolerPaused();

// The folder a file that will not print is moved into: SpoolFailedDir of
// its set, or a folder "failed" beside the spool directory (inside it when
// that directory is a root). Full and without a closing separator.
std::string FailedDirectoryFor(const char* spoolFailedDir);
