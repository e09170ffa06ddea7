#include "message_box.h"

#include <windows.h>

#include "messages.h"

void PlatformBeep(int kind) {
    MessageBeep(kind < kMessageWarning ? MB_ICONHAND : MB_ICONEXCLAMATION);
}

int PlatformMessageBox(const char* text, const char* title, int kind) {
    UINT style = MB_ICONHAND | MB_OK;
    if (kind == kMessageWarning)
        style = MB_ICONEXCLAMATION | MB_OK;
    else if (kind >= kMessageQuestion)
        style = MB_ICONEXCLAMATION | MB_YESNO | MB_DEFBUTTON2; // No is the safe answer
    return MessageBoxA(GetActiveWindow(), text, title, style);
}
