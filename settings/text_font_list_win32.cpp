#include <windows.h>

#include "text_font_list.h"

// TMPF_FIXED_PITCH set means the opposite of its name: a variable pitch.
static int CALLBACK AddFixedPitchFace(const LOGFONTA* font, const TEXTMETRICA* metrics, DWORD,
                                      LPARAM comboBox) {
    if (!(metrics->tmPitchAndFamily & TMPF_FIXED_PITCH))
        SendMessageA(reinterpret_cast<HWND>(comboBox), CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(font->lfFaceName));
    return 1;
}

void FillFontList(WindowRef comboBox) {
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    if (!display)
        return;
    EnumFontsA(display, nullptr, reinterpret_cast<FONTENUMPROCA>(AddFixedPitchFace),
               reinterpret_cast<LPARAM>(comboBox));
    DeleteDC(display);
}
