// Seam: what the job runner and long operations ask of the main window.
// main_window_win32.cpp drives the real window; the native tests record calls.
#pragma once

#include "shell_state.h"

// Busy: buttons other than Stop disabled, Stop enabled, "Preparing...", busy
// icon. Idle: the reverse, "Idle". Both directions pump messages.
void SetBusy(bool on);
// Shows `text` in the status line, pumps messages, returns StopRequested.
bool ShowStatus(const char* text);
// Handles every waiting message without waiting for more; returns StopRequested.
bool PumpMessages();
// Brings a window (the drop target) to the top.
void BringWindowToTop(WindowRef window);
