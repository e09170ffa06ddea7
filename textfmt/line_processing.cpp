#include "line_processing.h"

#include <cstring>

#include "highlighting.h"
#include "../common/file_system.h"
#include "oem_text.h"
#include "text_encoding.h"

int TakeTextLine(TextReader* reader, const char** text, bool utf8) {
    int available = reader->end - reader->next;
    if (available < kLineLimit)
        available = FillTextReader(reader, kLineLimit);
    const char* from = reader->block + reader->next;
    int length = available < kLineLimit ? available : kLineLimit;
    const void* newline = memchr(from, '\n', static_cast<size_t>(length));
    if (newline)
        length = static_cast<int>(static_cast<const char*>(newline) - from) + 1;
    reader->lineStart = reader->next;
    reader->next += length;
    if (utf8 && length == kLineLimit && from[length - 1] != '\n') {
        int tail = Utf8UnfinishedTail(from, length);
        UnreadText(reader, tail);
        length -= tail;
    }
    *text = from;
    return length > 0 ? length : -1;
}

bool CutAtFormFeed(TextReader* reader, const char* line, int* length) {
    if (!TakenLineHasFormFeed(reader, *length))
        return false;
    const char* feed = static_cast<const char*>(memchr(line, '\f', static_cast<size_t>(*length)));
    int at = static_cast<int>(feed - line);
    if (at > 0) {
        UnreadText(reader, *length - at);
        *length = at;
        return false;
    }
    // Text right after a page break is printed on the new page. Bytes from
    // 128 up are text too, not control characters.
    bool textFollows = *length > 1 && static_cast<unsigned char>(line[1]) >= 32;
    if (textFollows)
        UnreadText(reader, *length - 1);
    *length = 0;
    return true;
}

int RemoveLineEnds(const char* line, int length) {
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n'))
        --length;
    return length;
}

namespace {

// Blanks from here to the next tab stop, no further than the limit.
int BlanksToStop(int column, int position, int tabWidth) {
    int blanks = tabWidth - column % tabWidth;
    return blanks < kExpandedLimit - position ? blanks : kExpandedLimit - position;
}

// Copies [from, to) to out, or as many whole sequences of it as fit in
// `room` bytes; the bytes copied. *characters grows by the characters copied,
// which a run that fits whole and ends the line need not count: no tab stop
// comes after it.
int CopyWholeSequences(char* out, const char* from, const char* to, int room, bool lineEnds,
                       int* characters) {
    int n = static_cast<int>(to - from);
    if (n <= room) {
        memcpy(out, from, static_cast<size_t>(n));
        if (!lineEnds)
            *characters += Utf8CharacterCount(from, n);
        return n;
    }
    int copied = 0;
    for (const char* p = from; p < to;) {
        int length = Utf8SequenceLength(p, to);
        if (copied + length > room)
            break;
        memcpy(out + copied, p, static_cast<size_t>(length));
        copied += length;
        ++*characters;
        p += length;
    }
    return copied;
}

// Expands the tabs of `line` into `expanded` (kLineBufferSize bytes, not
// overlapping the line) and ends it with a zero; the new length. The text
// between tabs is copied a run at a time, the tabs become blanks up to their
// stops. In UTF-8 text the stops count characters, and a sequence that does
// not fit before the limit is left out with all after it.
int ExpandRuns(const char* line, int length, int tabWidth, bool utf8, char* expanded) {
    if (tabWidth < 1)
        tabWidth = 1;
    int position = 0; // bytes
    int column = 0;   // characters
    const char* p = line;
    const char* end = line + length;
    while (p < end && position < kExpandedLimit) {
        const char* tab = static_cast<const char*>(memchr(p, '\t', static_cast<size_t>(end - p)));
        const char* runEnd = tab ? tab : end;
        int room = kExpandedLimit - position;
        int run = 0;
        if (utf8) {
            run = CopyWholeSequences(expanded + position, p, runEnd, room, !tab, &column);
        } else {
            run = static_cast<int>(runEnd - p) < room ? static_cast<int>(runEnd - p) : room;
            memcpy(expanded + position, p, static_cast<size_t>(run));
            column += run;
        }
        position += run;
        p += run;
        if (p != tab)
            break; // the end of the line, or the limit
        int blanks = BlanksToStop(column, position, tabWidth);
        memset(expanded + position, ' ', static_cast<size_t>(blanks));
        position += blanks;
        column += blanks;
        ++p;
    }
    expanded[position] = '\0';
    return position;
}

} // namespace

int ExpandTabs(char* line, int length, int tabWidth, bool utf8) {
    char expanded[kLineBufferSize];
    length = ExpandRuns(line, length, tabWidth, utf8, expanded);
    memcpy(line, expanded, static_cast<size_t>(length) + 1);
    return length;
}

bool HasOemCharacters(const char* line, int length) {
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(line[i]);
        if (c >= 0x80 && c <= 0xA4)
            return true;
    }
    return false;
}

int FindBreak(const char* text, int length, int width, bool utf8) {
    if (width < 1)
        width = 1;
    if (length <= width)
        return 0;
    if (utf8) {
        // From here on width is the byte offset of the first character that
        // does not fit; blanks are single bytes, so the search stays the same.
        width = Utf8OffsetOfCharacter(text, length, width);
        if (width >= length)
            return 0;
    }
    if (text[width] == ' ')
        return width;
    for (int k = width - 1; k >= 0; --k)
        if (text[k] == ' ')
            return k + 1;
    return width;
}

int CountRows(const char* text, int length, int width, bool utf8) {
    if (width < 1)
        width = 1;
    int rows = 1;
    for (;;) {
        int cut = FindBreak(text, length, width, utf8);
        if (cut == 0)
            return rows;
        ++rows;
        text += cut;
        length -= cut;
    }
}

void ResetRowSource(RowSource* source, FILE* file, const RowOptions& options) {
    StartTextReader(&source->reader, file);
    source->options = options;
    if (source->options.charsPerLine < 1)
        source->options.charsPerLine = 1;
    source->start = 0;
    source->length = 0;
    source->line[0] = '\0';
    source->pending = false;
    source->lineNumber = 0;
    source->finished = false;
    source->lineBytes = 0;
}

// Reads the next file line into the buffer; kRowText when there is one.
static RowKind ReadNextLine(RowSource* source, Row* row) {
    const char* text = nullptr;
    int length = TakeTextLine(&source->reader, &text, source->options.utf8);
    if (length < 0) {
        source->finished = true;
        return kRowEndOfFile;
    }
    if (CutAtFormFeed(&source->reader, text, &length))
        return source->lineNumber == 0 ? kRowSkipped : kRowPageBreak;
    ++source->lineNumber;
    source->lineBytes = length; // a line cut at a form feed ends there in the file too
    length = RemoveLineEnds(text, length);
    // Out of the reader's block into the buffer where the rows are made,
    // with the tabs expanded on the way.
    if (TakenLineHasTab(&source->reader, length)) {
        length =
            ExpandRuns(text, length, source->options.tabWidth, source->options.utf8, source->line);
    } else {
        memcpy(source->line, text, static_cast<size_t>(length));
        source->line[length] = '\0';
    }
    if (source->options.translateOem)
        TranslateOemText(source->line, length);
    source->start = 0;
    source->length = length;
    if (source->options.lineNumbers)
        row->lineNumber = source->lineNumber;
    return kRowText;
}

// The row of a UTF-8 line without wrapping: a line longer than the row ends
// in the marker, which takes the place of the last character that fits. The
// buffer's spare bytes hold the marker's second byte even on a full line.
static int TruncateUtf8Row(char* text, int length, int width, bool highlighting) {
    if (length <= width)
        return length; // no more characters than bytes
    int last = Utf8OffsetOfCharacter(text, length, width - 1);
    if (last >= length || last + Utf8SequenceLength(text + last, text + length) >= length)
        return length;
    if (highlighting)
        NoteTruncation(text, length, last);
    text[last] = static_cast<char>(0xC2); // U+00BB, the right-pointing double angle
    text[last + 1] = static_cast<char>(0xBB);
    return last + 2;
}

RowKind NextRow(RowSource* source, Row* row) {
    row->text = nullptr;
    row->length = 0;
    row->lineNumber = 0;
    row->continues = false;
    if (source->finished)
        return kRowEndOfFile;
    if (!source->pending) {
        RowKind kind = ReadNextLine(source, row);
        if (kind != kRowText)
            return kind;
    }
    char* text = source->line + source->start;
    int n = source->length - source->start;
    int width = source->options.charsPerLine;
    if (source->options.wrapLines) {
        int cut = FindBreak(text, n, width, source->options.utf8);
        source->pending = cut > 0;
        if (source->pending)
            n = cut;
    } else if (source->options.utf8) {
        n = TruncateUtf8Row(text, n, width, source->options.highlighting);
    } else if (n > width) {
        if (source->options.highlighting)
            NoteTruncation(text, n, width - 1);
        text[width - 1] = static_cast<char>(0xBB); // the ANSI right-pointing double angle
        n = width;
    }
    row->text = text;
    row->length = n;
    row->continues = source->pending;
    if (source->pending)
        source->start += n;
    return kRowText;
}

bool RowSourceAtEnd(RowSource* source) {
    if (source->finished)
        return true;
    return !source->pending && PeekText(&source->reader) == EOF;
}

RowRestart RowRestartPoint(const RowSource* source) {
    long long position = TextReaderPosition(&source->reader);
    if (source->pending)
        return {position - source->lineBytes, source->start, source->lineNumber - 1};
    return {position, -1, source->lineNumber};
}

bool ResumeRowSource(RowSource* source, FILE* file, const RowOptions& options,
                     const RowRestart& restart) {
    bool sought = SeekStream(file, restart.offset, SEEK_SET);
    ResetRowSource(source, file, options);
    if (!sought)
        return false;
    source->lineNumber = restart.lineNumber;
    if (restart.remainderStart < 0)
        return true;
    Row row;
    if (ReadNextLine(source, &row) != kRowText || restart.remainderStart > source->length)
        return false;
    source->start = restart.remainderStart;
    source->pending = true;
    return true;
}

bool CountMoreTextRows(FILE* file, const CountOptions& options, RowCount* count, long long lines) {
    int linesPerPage = options.linesPerPage < 1 ? 1 : options.linesPerPage;
    TextReader reader;
    StartTextReader(&reader, file);
    char line[kLineBufferSize];
    const char* text = nullptr;
    int length = 0;
    // The lines are looked at where they stand in the reader's block; only
    // one with tabs to expand is copied.
    for (; lines != 0 && (length = TakeTextLine(&reader, &text, options.utf8)) >= 0; --lines) {
        // Page breaks count the row positions the printing gives them, or a
        // header's page total would not match the pages printed: one before
        // any text leaves its row empty, and one at the top of a page ends
        // that page with nothing on it.
        if (CutAtFormFeed(&reader, text, &length)) {
            if (!count->textSeen)
                count->rows += 1;
            else
                count->rows = (count->rows / linesPerPage + 1) * linesPerPage;
            continue;
        }
        count->textSeen = true;
        length = RemoveLineEnds(text, length);
        if (options.detectOem && !count->oemDetected && HasOemCharacters(text, length))
            count->oemDetected = true;
        if (options.wrapLines) {
            if (TakenLineHasTab(&reader, length)) {
                length = ExpandRuns(text, length, options.tabWidth, options.utf8, line);
                text = line;
            }
            count->rows += CountRows(text, length, options.charsPerLine, options.utf8);
        } else {
            count->rows += 1;
        }
    }
    SettleTextFile(&reader);
    return length < 0;
}

long long CountTextRows(FILE* file, const CountOptions& options, bool* oemDetected) {
    RowCount count = {0, false, *oemDetected};
    CountMoreTextRows(file, options, &count, -1);
    *oemDetected = count.oemDetected;
    return count.rows;
}
