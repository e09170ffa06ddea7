// The progress window of a batch: which file of how many is printing, how far
// its output has got, and a Cancel button that stops the batch. The job runner
// opens and moves it; the output paths report how far they are.
#pragma once

// Prepares the window for a batch of `count` files; it stays hidden until the
// first report. Inside a running batch (a list file) it only starts counting
// afresh.
void ProgressBegin(int count);
void ProgressNextFile(const char* fileName);
// Shows the window with the share of the current file's output that is done
// (1.0 complete); the windows are served meanwhile.
void ProgressPercent(double fraction);
// Shows the window with a bar that runs without an end in sight: the output
// waits for something it cannot measure, such as a conversion program.
void ProgressWaiting();
void ProgressEnd();
