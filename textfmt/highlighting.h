// Keyword and comment highlighting of the rows of a text job, driven by the
// current pretty-print definition. One job at a time.
#pragma once

#include "text_device.h"

enum HighlightState { kNormalText, kBlockComment, kLineComment, kInString };

// Back to normal text (every definition lookup does this).
void ResetHighlightState();
// The definitions are about to be released: nothing is highlighted until the
// next preparation.
void EndHighlighting();
HighlightState CurrentHighlightState();
// What the highlighter carries from one row to the next, kept with a sheet's
// restart point so that a sheet can be drawn without those before it.
struct HighlightCarry {
    HighlightState state;
    char quote;
};
HighlightCarry SaveHighlightCarry();
void RestoreHighlightCarry(const HighlightCarry& carry);
// Looks up the definition for `fileName` and makes this job's keyword and
// comment fonts; false (print plainly) when there is none.
bool PrepareHighlighting(const char* fileName, const char* faceName, int lineHeight, int charWidth,
                         FontRef bodyFont, DeviceContext dc);
// For a row cut without wrapping: the comment ends with the row when its end
// marker lies in the part that is cut off. lastVisible = charsPerLine - 1.
void NoteTruncation(const char* line, int length, int lastVisible);
// Draws `length` bytes of `text` from (x, y) in update-position mode.
// `continues`: the same line goes on in the next row.
int DrawHighlightedRow(DeviceContext dc, int x, int y, const char* text, int length,
                       bool continues);
