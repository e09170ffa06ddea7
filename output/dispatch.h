// Output dispatch: an analysed file goes to its path by kind.
#pragma once

#include "../analysis/file_analysis.h"

// What became of a file handed to the printer. Only a printed file may be
// deleted afterwards (/delete, the spooler).
enum DispatchResult {
    kPrintFailed,        // reported where it failed, or stopped by the user
    kPrinted,            // the whole file went to the printer
    kNotPrintedByChoice, // the set ignores its kind, or the user said No or Cancel
};

// What went to the printer for one file, for the front ends to tell.
struct DispatchReport {
    int kind = Binary;   // the file's FileKind
    int pages = 0;       // pages of one copy: laid out (text) or sent (pages); 0 unknown
    int sheets = 0;      // sheets of one copy of a text file
    long long bytes = 0; // bytes of the job the program wrote; 0 for text (the driver's)
};

// Prints the file; reports its own failures. `pageRangeChosen`: the user
// chose a page range for this file in the printer dialog, which a structured
// file then narrows down in Select Pages. `report`, when given, is filled in.
DispatchResult DispatchFile(FileAnalysis* analysis, bool pageRangeChosen,
                            DispatchReport* report = nullptr);
// One job with every copy of a non-text file. A job that cannot be started,
// a failed write or a job the spooler could not end is reported here; a
// read error of the file is left to the caller, and a stop is the user's.
// `selectedPages`: a structured file sends the pages page selection marked.
DispatchResult SendToPrinter(FileAnalysis* analysis, bool selectedPages);
