#include "header_codes.h"

#include <cstring>
#include <ctime>

#include "../common/bounded_text.h"
#include "../common/code_pages.h"
#include "../common/file_system.h"
#include "../common/paths.h"
#include "../common/utf8.h"
#include "text_draw.h"

namespace {

// Cuts UTF-8 `text` after `chars` characters, never inside one.
void CutToCharacters(char* text, size_t chars) {
    size_t count = 0;
    for (char* p = text; *p; ++p) {
        bool starts = (static_cast<unsigned char>(*p) & 0xC0) != 0x80;
        if (starts && count++ == chars) {
            *p = '\0';
            return;
        }
    }
}

// Replaces the first `code` in `text`; the result is cut at kHeaderChars
// characters.
void ReplaceFirst(char* text, const char* code, const char* replacement) {
    char* at = strstr(text, code);
    if (!at)
        return;
    char result[kHeaderTextSize + kPathSize];
    *at = '\0';
    CopyText(result, sizeof result, text);
    AppendText(result, sizeof result, replacement);
    AppendText(result, sizeof result, at + strlen(code));
    CutToCharacters(result, kHeaderChars);
    CopyText(text, kHeaderTextSize, result);
}

bool FormatModificationTime(const char* path, char* out, size_t size) {
    time_t modified;
    if (!ModificationTimeOf(path, &modified))
        return false;
    const struct tm* local = localtime(&modified);
    return local && strftime(out, size, "%d-%b-%Y %H:%M", local) > 0;
}

TextAlignMode AlignmentOf(char code) {
    return code == 'c' ? kAlignCentreTop : code == 'r' ? kAlignRightTop : kAlignLeftTop;
}

void DrawRun(DeviceContext dc, const char* run, int length, char code, int left, int y, int right) {
    if (length == 0)
        return;
    int x = left;
    if (code == 'c')
        x = static_cast<int>((left + right) * 0.5 + 0.5);
    else if (code == 'r')
        x = right;
    SetTextAlignment(dc, AlignmentOf(code));
    DrawHeaderText(dc, x, y, run, length);
}

} // namespace

void ExpandDocumentCodes(char* text, const char* fileName, int totalPages) {
    // The text comes from the settings file, in the ANSI code page, and the
    // names put into it are UTF-8: the line becomes UTF-8 as a whole.
    if (HasNonAscii(text))
        CopyText(text, kHeaderTextSize, Utf8OfAnsi(text).c_str());
    char fullPath[kPathSize];
    if (!FullPathOf(fileName ? fileName : "", fullPath, sizeof fullPath))
        CopyText(fullPath, sizeof fullPath, fileName ? fileName : "");
    char part[kPathSize];
    CopyText(part, sizeof part, PathComponents(fullPath, "drive,dir"));
    ReplaceFirst(text, "&p", part);
    CopyText(part, sizeof part, PathComponents(fullPath, "name,ext"));
    ReplaceFirst(text, "&f", part);
    char date[kSettingTextSize];
    if (strstr(text, "&d") && FormatModificationTime(fullPath, date, sizeof date))
        ReplaceFirst(text, "&d", date);
    char total[16];
    FormatText(total, sizeof total, "%d", totalPages);
    ReplaceFirst(text, "&t", total);
}

void DrawHeaderLine(DeviceContext dc, const char* text, int pageNumber, int left, int y, int right,
                    FontRef font) {
    char line[kHeaderTextSize];
    CopyText(line, sizeof line, text);
    char number[16];
    FormatText(number, sizeof number, "%d", pageNumber);
    ReplaceFirst(line, "&#", number);
    SelectTextFont(dc, font);
    SetTextAlignment(dc, kAlignLeftTop);
    // Runs are collected without their codes; the run never grows longer than
    // the line it comes from.
    char run[kHeaderTextSize];
    int length = 0;
    char code = 'l';
    for (const char* p = line; *p; ++p) {
        if (*p != '&') {
            run[length++] = *p;
            continue;
        }
        char next = p[1];
        if (next == '\0')
            break;
        ++p;
        if (next == '&') {
            run[length++] = '&';
        } else if (next == 'l' || next == 'c' || next == 'r') {
            DrawRun(dc, run, length, code, left, y, right);
            length = 0;
            code = next;
        }
    }
    DrawRun(dc, run, length, code, left, y, right);
    SetTextAlignment(dc, kAlignLeftTop);
}
