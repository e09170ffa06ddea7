// Conversion programs: a file converted by an external program before it is
// printed.
#pragma once

#include "../analysis/file_analysis.h"

#include <cstddef>

// Runs the conversion program of the record's kind. False when the file was
// not converted: the conversion failed (reported here; for a program that
// prints by itself, also an exit code other than 0) or the user stopped it.
// True with `output` none when the program printed by itself, else with
// the analysed output, whose temporary file goes when the record is released
// with deletion.
bool RunConversion(FileAnalysis* analysis, FileAnalysis** output);
