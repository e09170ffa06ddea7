// Output dispatch: an analysed file goes to its path by kind.
#pragma once

#include "../analysis/file_analysis.h"

// Prints the file; reports its own failures; false for a failed entry.
bool DispatchFile(FileAnalysis* analysis);
// One job with every copy of a non-text file. False only when the job cannot
// be started; a failed write or a stop aborts the job without a message.
bool SendToPrinter(FileAnalysis* analysis);
