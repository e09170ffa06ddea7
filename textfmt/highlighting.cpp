// Splits each row into normal text, keywords and comments. Strings have no
// style of their own; they only keep keywords and markers inside them plain.
#include "highlighting.h"

#include <cstring>

#include "definitions.h"
#include "text_draw.h"
#include "text_fonts.h"

namespace {

struct Highlighter {
    PrettyPrintDefinition* definition;
    HighlightState state;
    char quote;
    bool coloursOn;
    FontRef bodyFont;
    bool cutEndsComment;
};

Highlighter highlighter = {nullptr, kNormalText, '"', false, nullptr, false};

bool IsWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c == '$';
}

// An empty marker would match everywhere without moving on, and a block
// comment that can never end would swallow the rest of the file: both count
// as no marker at all.
const char* BlockStart() {
    const PrettyPrintDefinition* d = highlighter.definition;
    if (!d->commentStart || !d->commentStart[0] || !d->commentEnd || !d->commentEnd[0])
        return nullptr;
    return d->commentStart;
}

const char* BlockEnd() {
    return BlockStart() ? highlighter.definition->commentEnd : nullptr;
}

const char* SingleMarker() {
    const char* marker = highlighter.definition->commentSingle;
    return marker && marker[0] ? marker : nullptr;
}

bool BeginsWith(const char* p, const char* end, const char* marker) {
    size_t length = strlen(marker);
    return static_cast<size_t>(end - p) >= length && memcmp(p, marker, length) == 0;
}

const char* Search(const char* p, const char* end, const char* marker) {
    for (; p < end; ++p)
        if (BeginsWith(p, end, marker))
            return p;
    return nullptr;
}

void DrawPlain(DeviceContext dc, const char* from, const char* to) {
    if (to > from)
        DrawRowText(dc, 0, 0, from, static_cast<int>(to - from));
}

void DrawStyled(DeviceContext dc, const char* from, const char* to, FontRef font,
                unsigned long colour) {
    if (to <= from)
        return;
    bool coloured = highlighter.coloursOn && colour != 0;
    SelectTextFont(dc, font);
    if (coloured)
        SetTextColour(dc, colour);
    DrawRowText(dc, 0, 0, from, static_cast<int>(to - from));
    SelectTextFont(dc, highlighter.bodyFont);
    if (coloured)
        SetTextColour(dc, 0);
}

void DrawComment(DeviceContext dc, const char* from, const char* to) {
    DrawStyled(dc, from, to, highlighter.definition->commentFont,
               highlighter.definition->commentColour);
}

// The closing quote of a string, or none. A quote is escaped by one
// backslash before it, not by two; both must lie in this row.
const char* ClosingQuote(const char* row, const char* p, const char* end) {
    for (; p < end; ++p) {
        if (*p != highlighter.quote)
            continue;
        bool escaped = p - row >= 2 && p[-1] == '\\' && p[-2] != '\\';
        if (!escaped)
            return p;
    }
    return nullptr;
}

} // namespace

void ResetHighlightState() {
    highlighter.state = kNormalText;
}

void EndHighlighting() {
    highlighter.definition = nullptr;
    highlighter.state = kNormalText;
}

HighlightState CurrentHighlightState() {
    return highlighter.state;
}

HighlightCarry SaveHighlightCarry() {
    return {highlighter.state, highlighter.quote};
}

void RestoreHighlightCarry(const HighlightCarry& carry) {
    highlighter.state = carry.state;
    highlighter.quote = carry.quote;
}

bool PrepareHighlighting(const char* fileName, const char* faceName, int lineHeight, int charWidth,
                         FontRef bodyFont, DeviceContext dc) {
    highlighter.definition = nullptr;
    if (!FindDefinition(fileName))
        return false;
    PrettyPrintDefinition* d = CurrentDefinition();
    DeleteTextFont(d->keywordFont);
    DeleteTextFont(d->commentFont);
    d->keywordFont = CreateTextFont(faceName, lineHeight, charWidth, d->keywordBold,
                                    d->keywordItalic, d->keywordUnderline);
    d->commentFont = CreateTextFont(faceName, lineHeight, charWidth, d->commentBold,
                                    d->commentItalic, d->commentUnderline);
    highlighter.definition = d;
    highlighter.coloursOn = d->colourOnMonochrome || DeviceCaps(dc, kCapColours) > 2;
    highlighter.cutEndsComment = false;
    highlighter.bodyFont = bodyFont;
    return true;
}

void NoteTruncation(const char* line, int length, int lastVisible) {
    if (!highlighter.definition || !BlockEnd())
        return;
    int from = lastVisible - static_cast<int>(strlen(BlockEnd()));
    if (from < 0)
        from = 0;
    if (from < length && Search(line + from, line + length, BlockEnd()))
        highlighter.cutEndsComment = true;
}

int DrawHighlightedRow(DeviceContext dc, int x, int y, const char* text, int length,
                       bool continues) {
    MoveCurrentPosition(dc, x, y);
    if (!highlighter.definition) {
        DrawPlain(dc, text, text + length);
        return 1;
    }
    const PrettyPrintDefinition* d = highlighter.definition;
    const char* end = text + (length > 0 ? length : 0);
    const char* seg = text;
    const char* p = text;
    while (p < end) {
        switch (highlighter.state) {
        case kInString: {
            const char* close = ClosingQuote(text, p, end);
            if (close) {
                p = close + 1;
                highlighter.state = kNormalText;
            } else {
                p = end;
                if (!continues)
                    highlighter.state = kNormalText;
            }
            break;
        }
        case kLineComment:
            DrawComment(dc, seg, end);
            seg = p = end;
            if (!continues)
                highlighter.state = kNormalText;
            break;
        case kBlockComment: {
            const char* close = BlockEnd() ? Search(p, end, BlockEnd()) : nullptr;
            if (close) {
                DrawComment(dc, seg, close + strlen(BlockEnd()));
                seg = p = close + strlen(BlockEnd());
                highlighter.state = kNormalText;
            } else {
                DrawComment(dc, seg, end);
                seg = p = end;
                if (highlighter.cutEndsComment || !BlockEnd())
                    highlighter.state = kNormalText;
            }
            break;
        }
        case kNormalText:
            break;
        }
        if (highlighter.state != kNormalText || p >= end)
            continue;
        char c = *p;
        const char* start = BlockStart();
        const char* single = SingleMarker();
        if ((start && start[0] == c) || (single && single[0] == c)) {
            if (start && BeginsWith(p, end, start)) {
                DrawPlain(dc, seg, p);
                seg = p;
                highlighter.state = kBlockComment;
            } else if (single && BeginsWith(p, end, single)) {
                DrawPlain(dc, seg, p);
                seg = p;
                highlighter.state = kLineComment;
            } else {
                ++p;
            }
        } else if (c == '"' || c == '\'') {
            highlighter.state = kInString;
            highlighter.quote = c;
            ++p;
        } else if (IsWordCharacter(c)) {
            const char* wordEnd = p;
            while (wordEnd < end && IsWordCharacter(*wordEnd))
                ++wordEnd;
            if (FindKeywordRun(d->keywords, p, static_cast<size_t>(wordEnd - p))) {
                DrawPlain(dc, seg, p);
                DrawStyled(dc, p, wordEnd, d->keywordFont, d->keywordColour);
                seg = wordEnd;
            }
            p = wordEnd;
        } else {
            ++p;
        }
    }
    DrawPlain(dc, seg, end);
    // A string or single-line comment ends with its line, also when its
    // opening quote or marker was the row's last byte.
    if (!continues && (highlighter.state == kInString || highlighter.state == kLineComment))
        highlighter.state = kNormalText;
    highlighter.cutEndsComment = false;
    return 1;
}
