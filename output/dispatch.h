// Output dispatch: an analysed file goes to its path by kind.
#pragma once

#include "../analysis/file_analysis.h"

// Prints the file; reports its own failures; false for a failed entry.
bool DispatchFile(FileAnalysis* analysis);
