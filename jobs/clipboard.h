// Seam: the platform's clipboard. clipboard_win32.cpp reads CF_TEXT, or
// CF_UNICODETEXT where the ANSI code page lacks some of its characters.
#pragma once

#include <string>

// The clipboard's text, without its terminating zero: in the ANSI code page
// where that holds all of it, else UTF-8 after a byte-order mark. True with an empty
// text when the clipboard holds no text; false when it cannot be opened or
// its text cannot be read.
bool ReadClipboardText(std::string* text);
