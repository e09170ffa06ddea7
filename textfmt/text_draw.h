// Text runs of a job drawn in the encoding of its file: byte by byte in the
// ANSI code page, or, for a Unicode file, as UTF-16 through the wide calls.
// One job at a time.
#pragma once

#include "text_device.h"

// Set once per job, before anything is drawn.
void SetUnicodeRows(bool unicode);
bool UnicodeRows();
// A row of file text: in a Unicode job malformed bytes show as U+FFFD.
void DrawRowText(DeviceContext dc, int x, int y, const char* text, int length);
// A header or footer run, UTF-8 (the header codes convert the setting's ANSI
// text): drawn through the wide call in a Unicode job or where the ANSI code
// page lacks a letter of it, else in that code page. Malformed bytes (a run
// cut short) show as U+FFFD.
void DrawHeaderText(DeviceContext dc, int x, int y, const char* text, int length);
