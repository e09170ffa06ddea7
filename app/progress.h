// The progress window of a batch: which file of how many is printing, how far
// its output has got, and a Cancel button that stops the batch. The job runner
// opens and moves it; the output paths report how far they are.
#pragma once

#include "../common/progress_report.h"

// Prepares the window for a batch of `count` files; it stays hidden until the
// first report. Inside a running batch (a list file) it only starts counting
// afresh.
void ProgressBegin(int count);
void ProgressNextFile(const char* fileName);
void ProgressEnd();
