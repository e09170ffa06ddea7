// The sheets of a text file as printing would produce them, drawn one at a
// time and in any order: for looking at a file before it uses paper. The
// layout, fonts and drawing are the printing's own; what is added is a walk
// through the file, a few sheets at a time, that keeps a small restart point
// for every sheet, so that sheet N is drawn without drawing those before it
// and a long file opens at once.
#pragma once

#include <cstdio>

#include "../settings/settings.h"
#include "text_device.h"
#include "text_layout.h"

struct TextSheets;

// Lays out `file` (open for binary reading; it stays the caller's) with the
// settings `s` on `reference`, the printer's device context, which the
// sheets take over and delete. None when the text would be too small
// (reported) or a Unicode copy cannot be made.
TextSheets* OpenTextSheets(FILE* file, const char* fileName, DeviceContext reference,
                           const Settings& s);
void CloseTextSheets(TextSheets* sheets);
const TextLayout& TextSheetsLayout(const TextSheets* sheets);
// Walks on by at most `count` sheets, and once every sheet is known runs
// the counting pass printing runs (for page totals and DOS characters), at
// most `count` pages' worth of lines at a time. True once both are done.
bool WalkTextSheets(TextSheets* sheets, int count);
// Every sheet known (the count is final)...
bool TextSheetsWalked(const TextSheets* sheets);
// ...and every sheet drawn as printing would draw it.
bool TextSheetsComplete(const TextSheets* sheets);
// Sheets known so far: all of them once walked.
int TextSheetCount(const TextSheets* sheets);
// Draws sheet `index` (from 0, below TextSheetCount) on `dc`, which is not
// started or ended as a page. Until the counting pass is done a page total in
// the header or footer shows as "?", and text in a DOS code page may not be
// translated yet. False when the file no longer reads as it did.
bool DrawTextSheet(TextSheets* sheets, int index, DeviceContext dc);
