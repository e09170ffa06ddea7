#include "text_draw.h"

#include <cstring>

#include "line_processing.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/utf8.h"
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
    // Outside a Unicode job a run that the ANSI code page holds is drawn with
    // the ANSI call, so that the job the driver makes for it is the one an
    // ANSI text gives; a name with other letters, through the wide call.
    char run[kLineBufferSize];
    char ansi[kLineBufferSize];
    if (!unicodeRows && length < kLineBufferSize) {
        memcpy(run, text, static_cast<size_t>(length));
        run[length] = '\0';
        if (AnsiNameOf(run, ansi, sizeof ansi)) {
            DrawTextRun(dc, x, y, ansi, static_cast<int>(strlen(ansi)));
            return;
        }
    }
    DrawWide(dc, x, y, text, length);
}
