// The progress window of a batch. Until it is built, a batch shows its
// progress only in the main window's status line, so these have nothing to do.
#include "progress.h"

void ProgressBegin(int) {}
void ProgressNextFile(const char*) {}
void ProgressPercent(double) {}
void ProgressEnd() {}
