// A batch: the files that one user action, one command line or one spooled
// file prints, how they are to print, and what became of each. Every source
// of files builds one of these and hands it to RunBatch (job_runner.h); the
// runner fills in the outcomes.
#pragma once

#include "../common/window_ref.h"
#include "../output/dispatch.h"
#include "../settings/settings.h"

#include <string>
#include <vector>

enum EntryOutcome {
    kEntryNotReached, // the batch ended before this entry
    kEntryPrinted,    // the whole file went to the printer
    kEntryNotPrinted, // left out by choice: the set ignores it, No, Cancel
    kEntryFailed      // reported where it failed, or stopped
};

struct BatchEntry {
    std::string name; // a path, or "@" and a list file's name
    EntryOutcome outcome = kEntryNotReached;
    // A list line longer than any path: refused when it is reached, never
    // read in pieces that would name files nobody named.
    bool overlong = false;
    // The lines of a list file, as entries of the same batch.
    std::vector<BatchEntry> lines;
    // What went to the printer for a printed file (its kind in any case).
    DispatchReport sent;
    bool isList = false;
};

// The settings set in force for the batch: its name and record as they were
// when the batch started, Apply's values included, which is what comes back
// when it ends; and the set in force for the file in hand, which is another
// one while a file whose extension is bound to a set prints.
struct BatchSettings {
    char name[sizeof CurrentSetName] = "";
    Settings settings = Settings();
    char fileSetName[sizeof CurrentSetName] = "";
    // The copies of the device settings when the batch started (from /#: or
    // the printer dialog); selecting the batch's printer again after a file
    // of another set puts them back. 0: none known.
    int copies = 0;
};

struct Batch {
    std::vector<BatchEntry> entries;
    WindowRef owner = nullptr; // owner of the printer dialog; none without a window
    // Nobody watches: no printer dialog and no progress window, whatever the
    // sets say (the spooler, the console program, the service).
    bool unattended = false;
    bool deleteAfterPrint = false; // /delete: each printed file is deleted
    bool echoToLog = false;        // a start and a done line per entry
    // The first failure or stop ends the batch; otherwise only a stop does.
    bool endAtFailure = true;

    // Filled as the batch runs.
    BatchSettings set;
    bool started = false;         // its first entry got past the printer dialog
    bool pageRangeChosen = false; // for the file the printer dialog was shown for
};

// The batches each source builds; each echoes to the log under /e
// (EchoToLog, command_line.h).
// Files named on the command line, each as its full long path unless it
// names a list file ("@").
Batch CommandLineBatch(const std::vector<std::string>& files, WindowRef owner,
                       bool deleteAfterPrint);
// What the Open dialog returned: one path, or a directory and names,
// NUL-separated and ending with an empty text.
Batch OpenSelectionBatch(const char* selection, WindowRef owner);
// Files dropped on a window, in the order of the drop.
Batch DroppedFilesBatch(const std::vector<std::string>& names, WindowRef owner);
// One file: a capture, the preview's Print, the File Information dialog's.
Batch SingleFileBatch(const std::string& path, WindowRef owner);
// A file the spooler found: unattended, and never deleted by the runner (the
// spooler deletes it itself, after its backup copy).
Batch SpooledFileBatch(const std::string& path);
// The lines of a list file as entries; false, reported, when it cannot be
// read. A list that is UTF-8 (with or without a byte-order mark) names files
// in UTF-8; any other is in the ANSI code page. A line longer than any path
// becomes an entry that is refused when it is reached.
bool ReadListFile(const char* path, std::vector<BatchEntry>* lines);

// The outcome of one file as the dispatcher gave it.
EntryOutcome OutcomeOf(DispatchResult result);
