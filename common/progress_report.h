// Seam: how far the output of the current file has got. The shell shows it in
// its progress window (app/progress.cpp); the output paths report.
#pragma once

// Shows the window with the share of the current file's output that is done
// (1.0 complete); the windows are served meanwhile.
void ProgressPercent(double fraction);
// Shows the window with a bar that runs without an end in sight: the output
// waits for something it cannot measure, such as a conversion program.
void ProgressWaiting();
