// Conversion programs: a file converted by an external program before it is
// printed.
#pragma once

#include "../analysis/file_analysis.h"

#include <cstddef>

// Runs the conversion program of the record's kind. False when the file was
// not converted: the conversion failed (reported here) or the user stopped
// it. True with `output` none when the program printed by itself, else with
// the analysed output, whose temporary file goes when the record is released
// with deletion.
bool RunConversion(FileAnalysis* analysis, FileAnalysis** output);

// Seam (short_path.cpp): the full path of an existing program in the short
// form of every component; false when no such file exists.
bool ShortProgramPath(const char* program, char* out, size_t size);
