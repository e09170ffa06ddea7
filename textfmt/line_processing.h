// Text file lines turned into rows: reading and page breaks, line ends, tabs,
// DOS characters, the word-wrap break rule and the truncation marker. Lines
// are looked at where they stand in the reader's block; the rows are made in
// place in one line buffer per job.
#pragma once

#include <cstdio>

#include "text_reader.h"

enum {
    kLineBufferSize = 1000,
    kLineLimit = 999,    // a longer file line arrives as several lines
    kExpandedLimit = 998 // tab expansion stops here
};

// The next line of at most kLineLimit bytes, with its line end, where it
// stands in the reader's block (until the reader reads on): its length in
// bytes (a zero byte inside it counts), or -1 at the end of the file. In
// UTF-8 text a sequence that would be cut at the limit is left for the next
// line.
int TakeTextLine(TextReader* reader, const char** line, bool utf8 = false);
// True when the line just taken is a page break. A form feed later in the
// line cuts it there (*length) and leaves the reader at the form feed; text
// after a form feed that starts a line is left to be read as the next line.
bool CutAtFormFeed(TextReader* reader, const char* line, int* length);
// Length without the CRs and LFs at the end.
int RemoveLineEnds(const char* line, int length);
// Expands tabs in place (the line buffer holds kLineBufferSize bytes); the new
// length, at most kExpandedLimit. A tab width below 1 counts as 1. In UTF-8
// text tab stops count characters, and a sequence is never cut at the limit.
int ExpandTabs(char* line, int length, int tabWidth, bool utf8 = false);
// A byte from 128 to 164: the text is in a DOS code page.
bool HasOemCharacters(const char* line, int length);
// Bytes to put in the current row, or 0 when the text fits. The width counts
// bytes, or in UTF-8 text characters (a malformed byte is one character).
int FindBreak(const char* text, int length, int width, bool utf8 = false);
int CountRows(const char* text, int length, int width, bool utf8 = false);

struct RowOptions {
    int charsPerLine; // below 1 counts as 1
    int tabWidth;
    bool wrapLines;
    bool lineNumbers;
    bool translateOem;
    bool highlighting; // tell the highlighter about cut-off comment ends
    bool utf8;         // count characters, not bytes
};

struct RowSource {
    TextReader reader;
    RowOptions options;
    char line[kLineBufferSize];
    int start;  // where the pending remainder begins
    int length; // end of the text in line
    bool pending;
    int lineNumber;
    bool finished;
    int lineBytes; // what the line in the buffer took from the file
};

enum RowKind {
    kRowText,      // a row to draw
    kRowSkipped,   // a page break before any text: the row position stays empty
    kRowPageBreak, // the logical page ends here
    kRowEndOfFile
};

struct Row {
    const char* text;
    int length;
    int lineNumber; // 0: no number (a continuation row, or numbers off)
    bool continues; // the line goes on in the next row
};

// Starts a copy at the file's position: nothing pending, line number 0.
void ResetRowSource(RowSource* source, FILE* file, const RowOptions& options);
RowKind NextRow(RowSource* source, Row* row);
// Nothing left to print: no row pending and no byte left to read.
bool RowSourceAtEnd(RowSource* source);

// Where a row source stands between two rows, small enough to keep one for
// every sheet of a long file: the file position of the next line, or, with a
// wrapped remainder pending, where its line began and where the remainder
// starts in it.
struct RowRestart {
    long long offset;
    int remainderStart; // -1: nothing pending
    int lineNumber;
};

RowRestart RowRestartPoint(const RowSource* source);
// Puts a fresh source where `restart` was taken; a pending remainder is read
// and prepared again. False when the file no longer holds that line.
bool ResumeRowSource(RowSource* source, FILE* file, const RowOptions& options,
                     const RowRestart& restart);

struct CountOptions {
    int charsPerLine;
    int tabWidth;
    int linesPerPage;
    bool wrapLines;
    bool detectOem;
    bool utf8;
};

// Rows the file takes from its current position to its end, as the printing
// places them: page breaks end the page (a break at the top of a page makes
// an empty one), a break before any text takes one row. *oemDetected is set by
// the first line with DOS characters when detectOem is on.
long long CountTextRows(FILE* file, const CountOptions& options, bool* oemDetected);
// The same a few lines at a time: counts on from the file's position for at
// most `lines` lines (all when negative) and leaves the file after the last
// line counted; true at the end of the file.
struct RowCount {
    long long rows;
    bool textSeen;
    bool oemDetected;
};
bool CountMoreTextRows(FILE* file, const CountOptions& options, RowCount* count, long long lines);
