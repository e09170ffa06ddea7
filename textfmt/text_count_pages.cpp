// The page count of the file information: a counting-only job on a fresh
// device context for the current printer, in the paper orientation of the
// settings.
#include "text_print.h"

#include "../output/printer_selection.h"

int CountTextPages(FILE* file) {
    return file ? CountTextPagesOn(file, CreatePrinterDC(true)) : 0;
}
