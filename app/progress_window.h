// Seam: the progress window itself. progress_window_win32.cpp drives the
// dialog; the native tests record what it is told.
#pragma once

enum { kProgressBarWaiting = -1 };

// Creates the window hidden, placed over the window dialogs take as owner.
bool OpenProgressWindow();
void CloseProgressWindow();
void ShowProgressWindow();
void SetProgressCaption(const char* text);
void SetProgressFileLine(const char* text);
void ShowProgressFileLine(bool shown);
// 0 to 100, or kProgressBarWaiting for a bar without an end.
void SetProgressBar(int percent);
void SetProgressPercentText(const char* text);
