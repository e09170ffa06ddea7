// Seam (Windows build): the program's module, from which every dialog, icon
// and text is loaded. Start-up sets it (app/main_win32.cpp).
#pragma once

#include <windows.h>

extern HINSTANCE ProgramInstance;
