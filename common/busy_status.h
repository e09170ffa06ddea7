// Seam: what long work asks of the program's window while it runs: the busy
// state, the status line, and a turn of the message pump, which is where the
// user can ask to stop. The shell drives the real window (shell_ui_win32.cpp);
// the native tests record the calls.
#pragma once

// Busy: buttons other than Stop disabled, Stop enabled, "Preparing...", busy
// icon. Idle: the reverse, "Idle". Both directions pump messages.
void SetBusy(bool on);
// Shows `text` in the status line, pumps messages, returns StopRequested.
bool ShowStatus(const char* text);
// Handles every waiting message without waiting for more; returns StopRequested.
bool PumpMessages();
