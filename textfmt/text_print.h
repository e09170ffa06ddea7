// The program's own typesetter for text files: page layout, fonts, headers
// and footers, n-up cells, wrapping and highlighting, drawn on a printer
// device context.
#pragma once

#include <cstdio>

#include "text_device.h"
#include "text_layout.h"

// What PrintTextFile did with the file.
enum TextJobResult {
    kTextJobFailed = 0,  // no file or device, or the document could not be made
    kTextJobPrinted = 1, // (up to a stop request, which ends the document early)
    kTextJobTooSmall = 2 // the text would be too small: reported, nothing printed
};

// Formats and prints `file` (open for binary reading) on `dc`, which the job
// takes over and deletes. fileName is shown in headers and picks the
// pretty-print definition; copies may be 0 (an empty document); outputTarget
// is "FILE:" or none. Returns a TextJobResult.
int PrintTextFile(FILE* file, const char* fileName, DeviceContext dc, int copies,
                  const char* outputTarget);
// Logical pages `file` takes with the current settings on `dc` (taken over
// and deleted); 0 when the text would be too small (reported) or there is no
// device context.
int CountTextPagesOn(FILE* file, DeviceContext dc);
// The layout of the last job, for the file information and the tests.
const TextLayout& LastTextLayout();
// What the last job's last copy drew: its logical pages and printout pages.
struct TextPrintout {
    int logicalPages;
    int sheets;
};
const TextPrintout& LastTextPrintout();
