#include <windows.h>

#include "oem_text.h"

void TranslateOemText(char* text, int length) {
    if (length > 0)
        OemToCharBuffA(text, text, static_cast<DWORD>(length));
}
