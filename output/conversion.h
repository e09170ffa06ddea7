// Conversion programs: a file converted by an external program before it is
// printed.
#pragma once

#include "../analysis/file_analysis.h"

#include <cstddef>

// Runs the conversion program of the record's kind; the analysed output (its
// temporary file is deleted when the record is released with deletion), or
// none when there is nothing more to print: the conversion failed and was
// reported, or the program printed by itself.
FileAnalysis* RunConversion(FileAnalysis* analysis);

// Seam (short_path.cpp): the full path of an existing program in the short
// form of every component; false when no such file exists.
bool ShortProgramPath(const char* program, char* out, size_t size);
