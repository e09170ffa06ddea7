// Set by the printer dialog when the user chose a page range; cleared by the
// dispatcher when the file for which it was chosen is done.
#include "printer_selection.h"

bool PageRangeChosen = false;
