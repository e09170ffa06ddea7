// Page selection for a structured PostScript file: the page index built from
// the file's page comments, the labels the Select Pages dialog lists, and
// the user's choice stored back into the index.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// The Select Pages dialog (page_selection_win32.cpp): true when the user
// pressed OK, false on Cancel or when no index could be made.
bool SelectPages(FILE* stream, int fromPage, int toPage, int maxPage);

// Makes a fresh index for maxPage pages and records each "%%Page:" line of
// the stream, at most maxPage of them; pages fromPage..toPage are selected
// and their labels (the text after the comment's colon) are appended to
// `labels`. The last page runs to the end of the file. False when the index
// cannot be allocated.
bool BuildPageIndex(FILE* stream, int fromPage, int toPage, int maxPage,
                    std::vector<std::string>* labels);
// The user's choice: list item i stands for page fromPage + i; every other
// page is left out. The next walk starts from the first page.
void StorePageSelection(int fromPage, const std::vector<bool>& chosen);
// The list items All Odd (every other item from the first) or All Even
// (from the second) selects.
std::vector<bool> AlternateItems(size_t count, bool even);
