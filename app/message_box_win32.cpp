#include "../common/message_box.h"

#include <windows.h>

#include "../common/messages.h"
#include "../common/wide_names_win32.h"

void PlatformBeep(int kind) {
    MessageBeep(kind < kMessageWarning ? MB_ICONHAND : MB_ICONEXCLAMATION);
}

int PlatformMessageBox(const char* text, const char* title, int kind) {
    UINT style = MB_ICONHAND | MB_OK;
    if (kind == kMessageWarning)
        style = MB_ICONEXCLAMATION | MB_OK;
    else if (kind >= kMessageQuestion)
        style = MB_ICONEXCLAMATION | MB_YESNO | MB_DEFBUTTON2; // No is the safe answer
    // The wide call: the text usually holds a file name, in its own characters.
    return MessageBoxW(GetActiveWindow(), WideText(text).c_str(), WideText(title).c_str(), style);
}
