// Seam: how far a batch and the output of its current file have got. Each
// front end shows it its own way (the windows program in its progress
// window, app/progress.cpp); the job runner moves from file to file and the
// output paths report their share.
#pragma once

// A batch of `count` files begins; nothing shows until the first report.
// Inside a running batch (a list file) only the counting starts afresh.
void ProgressBegin(int count);
void ProgressNextFile(const char* fileName);
void ProgressEnd();
// The share of the current file's output that is done (1.0 complete); the
// front end is served meanwhile.
void ProgressPercent(double fraction);
// Output that waits for something it cannot measure, such as a conversion
// program.
void ProgressWaiting();
