// Seam: the platform's clipboard. clipboard_win32.cpp reads CF_TEXT.
#pragma once

#include <string>

// The clipboard's text, without its terminating zero. True with an empty
// text when the clipboard holds no text; false when it cannot be opened or
// its text cannot be read.
bool ReadClipboardText(std::string* text);
