// Seam: the platform's message box and warning beep. message_box_win32.cpp
// shows the real box; the native tests link a recorder that answers as told.
#pragma once

// kind as in messages.h; returns a MessageAnswer.
int PlatformMessageBox(const char* text, const char* title, int kind);
void PlatformBeep(int kind);
