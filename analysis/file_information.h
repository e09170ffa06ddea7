// The File Information command: how the program will treat a file, with the
// current settings.
#pragma once

#include "file_analysis.h"
#include "../app/shell_state.h"

#include <cstddef>

// Asks for a file, describes it in a dialog and prints it when the user asks
// (file_information_command.cpp).
void ShowFileInformation(WindowRef owner);
// The modal dialog "File Information" for an analysed file: true when the
// user asks to print it (file_information_win32.cpp).
bool ShowInformationDialog(WindowRef owner, FileAnalysis* analysis);

// Printout pages of `pages` logical pages, `cells` to a sheet (at least 1).
int SheetCount(unsigned pages, long long cells);
// The description of an analysed file; for a text file its pageCount holds
// the logical pages counted with the current settings.
void DescribeFile(const FileAnalysis& analysis, char* text, size_t size);
