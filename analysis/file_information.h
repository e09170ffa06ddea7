// File information: how the program will treat a file, with the current
// settings. The shell's File Information command shows it
// (app/file_information_command.cpp).
#pragma once

#include "file_analysis.h"
#include "../common/window_ref.h"

#include <cstddef>

// The modal dialog "File Information" for an analysed file: true when the
// user asks to print it (file_information_win32.cpp).
bool ShowInformationDialog(WindowRef owner, FileAnalysis* analysis);

// Printout pages of `pages` logical pages, `cells` to a sheet (at least 1).
int SheetCount(unsigned pages, long long cells);
// The description of an analysed file; for a text file its pageCount holds
// the logical pages counted with the current settings.
void DescribeFile(const FileAnalysis& analysis, char* text, size_t size);
