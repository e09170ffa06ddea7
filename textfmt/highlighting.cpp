// Splits each row into normal text, keywords and comments. Strings have no
// style of their own; they only keep keywords and markers inside them plain.
#include "highlighting.h"

#include <cstring>

#include "definitions.h"
#include "text_draw.h"
#include "text_fonts.h"

namespace {

// What a byte can begin, looked up once per byte of a row.
enum ByteClass : unsigned char {
    kWordByte = 1,   // letters, "_", "#" and "$"; digits end a word
    kQuoteByte = 2,  // a string
    kMarkerByte = 4, // the first byte of a comment marker
};

// A comment marker of the definition, or none (text is null).
struct Marker {
    const char* text;
    size_t length;
};

struct Highlighter {
    PrettyPrintDefinition* definition;
    HighlightState state;
    char quote;
    bool coloursOn;
    FontRef bodyFont;
    bool cutEndsComment;
    // Taken from the definition when a job prepares, rather than for every
    // byte of every row.
    Marker blockStart, blockEnd, single;
    unsigned char classes[256];
};

Highlighter highlighter = {nullptr, kNormalText, '"', false, nullptr, false, {}, {}, {}, {}};

bool IsWordCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '#' || c == '$';
}

Marker MarkerOf(const char* text) {
    return text ? Marker{text, strlen(text)} : Marker{nullptr, 0};
}

// An empty marker would match everywhere without moving on, and a block
// comment that can never end would swallow the rest of the file: both count
// as no marker at all.
void TakeMarkers(const PrettyPrintDefinition* d) {
    bool block = d->commentStart && d->commentStart[0] && d->commentEnd && d->commentEnd[0];
    highlighter.blockStart = MarkerOf(block ? d->commentStart : nullptr);
    highlighter.blockEnd = MarkerOf(block ? d->commentEnd : nullptr);
    bool single = d->commentSingle && d->commentSingle[0];
    highlighter.single = MarkerOf(single ? d->commentSingle : nullptr);
}

void TakeByteClasses() {
    unsigned char* classes = highlighter.classes;
    for (int c = 0; c < 256; ++c)
        classes[c] = IsWordCharacter(static_cast<char>(c)) ? kWordByte : 0;
    classes[static_cast<unsigned char>('"')] |= kQuoteByte;
    classes[static_cast<unsigned char>('\'')] |= kQuoteByte;
    const Marker* markers[] = {&highlighter.blockStart, &highlighter.single};
    for (const Marker* marker : markers)
        if (marker->text)
            classes[static_cast<unsigned char>(marker->text[0])] |= kMarkerByte;
}

unsigned char ClassOf(char c) {
    return highlighter.classes[static_cast<unsigned char>(c)];
}

bool BeginsWith(const char* p, const char* end, const Marker& marker) {
    return static_cast<size_t>(end - p) >= marker.length &&
           memcmp(p, marker.text, marker.length) == 0;
}

// The first place from p where the marker begins whole, or none.
const char* Search(const char* p, const char* end, const Marker& marker) {
    while (static_cast<size_t>(end - p) >= marker.length) {
        size_t starts = static_cast<size_t>(end - p) - marker.length + 1;
        p = static_cast<const char*>(memchr(p, marker.text[0], starts));
        if (!p)
            return nullptr;
        if (memcmp(p, marker.text, marker.length) == 0)
            return p;
        ++p;
    }
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

// One row being drawn: the text not drawn yet begins at `drawn`.
struct RowDrawing {
    DeviceContext dc;
    const char* row;
    const char* end;
    const char* drawn;
    bool continues;
};

// Draws what is pending up to `to` as a keyword.
void DrawKeyword(RowDrawing* r, const char* from, const char* to) {
    const PrettyPrintDefinition* d = highlighter.definition;
    DrawPlain(r->dc, r->drawn, from);
    DrawStyled(r->dc, from, to, d->keywordFont, d->keywordColour);
    r->drawn = to;
}

// A comment or a string that begins at p; false when nothing does.
bool EnterAt(RowDrawing* r, const char* p) {
    unsigned char kind = ClassOf(*p);
    if (kind & kMarkerByte) {
        HighlightState comment = kNormalText;
        if (highlighter.blockStart.text && BeginsWith(p, r->end, highlighter.blockStart))
            comment = kBlockComment;
        else if (highlighter.single.text && BeginsWith(p, r->end, highlighter.single))
            comment = kLineComment;
        if (comment == kNormalText)
            return false;
        // The marker is part of the comment, and the search for the end of
        // a block comment starts at its start marker.
        DrawPlain(r->dc, r->drawn, p);
        r->drawn = p;
        highlighter.state = comment;
        return true;
    }
    if (kind & kQuoteByte) {
        highlighter.state = kInString;
        highlighter.quote = *p;
        return true;
    }
    return false;
}

// Normal text from p, up to the end of the row or the start of a comment or
// a string; where that is. Keywords are drawn as they are found.
const char* ScanNormalText(RowDrawing* r, const char* p) {
    const KeywordTable* keywords = highlighter.definition->keywords;
    while (p < r->end) {
        unsigned char kind = ClassOf(*p);
        if (kind & (kMarkerByte | kQuoteByte)) {
            if (EnterAt(r, p))
                // A string's quote is passed over; a comment starts at its marker.
                return highlighter.state == kInString ? p + 1 : p;
            ++p;
        } else if (kind & kWordByte) {
            const char* wordEnd = p + 1;
            while (wordEnd < r->end && (ClassOf(*wordEnd) & kWordByte))
                ++wordEnd;
            if (FindKeywordRun(keywords, p, static_cast<size_t>(wordEnd - p)))
                DrawKeyword(r, p, wordEnd);
            p = wordEnd;
        } else {
            ++p;
        }
    }
    return p;
}

// A string from p; where the text after it begins.
const char* ScanString(RowDrawing* r, const char* p) {
    const char* close = ClosingQuote(r->row, p, r->end);
    if (close) {
        highlighter.state = kNormalText;
        return close + 1;
    }
    if (!r->continues)
        highlighter.state = kNormalText;
    return r->end;
}

// A block comment from p (drawn from r->drawn on); where it ends.
const char* ScanBlockComment(RowDrawing* r, const char* p) {
    const Marker& endMarker = highlighter.blockEnd;
    const char* close = endMarker.text ? Search(p, r->end, endMarker) : nullptr;
    const char* to = close ? close + endMarker.length : r->end;
    DrawComment(r->dc, r->drawn, to);
    r->drawn = to;
    if (close || highlighter.cutEndsComment || !endMarker.text)
        highlighter.state = kNormalText;
    return to;
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
    TakeMarkers(d);
    TakeByteClasses();
    highlighter.coloursOn = d->colourOnMonochrome || DeviceCaps(dc, kCapColours) > 2;
    highlighter.cutEndsComment = false;
    highlighter.bodyFont = bodyFont;
    return true;
}

void NoteTruncation(const char* line, int length, int lastVisible) {
    const Marker& endMarker = highlighter.blockEnd;
    if (!highlighter.definition || !endMarker.text)
        return;
    int from = lastVisible - static_cast<int>(endMarker.length);
    if (from < 0)
        from = 0;
    if (from < length && Search(line + from, line + length, endMarker))
        highlighter.cutEndsComment = true;
}

int DrawHighlightedRow(DeviceContext dc, int x, int y, const char* text, int length,
                       bool continues) {
    MoveCurrentPosition(dc, x, y);
    if (!highlighter.definition) {
        DrawPlain(dc, text, text + length);
        return 1;
    }
    const char* end = text + (length > 0 ? length : 0);
    RowDrawing r = {dc, text, end, text, continues};
    const char* p = text;
    while (p < end) {
        switch (highlighter.state) {
        case kInString:
            p = ScanString(&r, p);
            break;
        case kLineComment:
            DrawComment(dc, r.drawn, end);
            r.drawn = p = end;
            if (!continues)
                highlighter.state = kNormalText;
            break;
        case kBlockComment:
            p = ScanBlockComment(&r, p);
            break;
        case kNormalText:
            p = ScanNormalText(&r, p);
            break;
        }
    }
    DrawPlain(dc, r.drawn, end);
    // A string or single-line comment ends with its line, also when its
    // opening quote or marker was the row's last byte.
    if (!continues && (highlighter.state == kInString || highlighter.state == kLineComment))
        highlighter.state = kNormalText;
    highlighter.cutEndsComment = false;
    return 1;
}
