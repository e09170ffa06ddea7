#include "text_draw.h"

#include "line_processing.h"
#include "text_encoding.h"

namespace {

bool unicodeRows = false;

void DrawWide(DeviceContext dc, int x, int y, const char* text, int length) {
    // Each byte gives at most one UTF-16 unit, and four bytes give two.
    char16_t wide[kLineBufferSize];
    if (length > kLineBufferSize)
        length = kLineBufferSize;
    int units = Utf8ToUtf16(text, length, wide, kLineBufferSize);
    DrawWideTextRun(dc, x, y, wide, units);
}

} // namespace

void SetUnicodeRows(bool unicode) {
    unicodeRows = unicode;
}

bool UnicodeRows() {
    return unicodeRows;
}

void DrawRowText(DeviceContext dc, int x, int y, const char* text, int length) {
    if (unicodeRows)
        DrawWide(dc, x, y, text, length);
    else
        DrawTextRun(dc, x, y, text, length);
}

void DrawHeaderText(DeviceContext dc, int x, int y, const char* text, int length) {
    if (unicodeRows && IsWellFormedUtf8(text, length))
        DrawWide(dc, x, y, text, length);
    else
        DrawTextRun(dc, x, y, text, length);
}
