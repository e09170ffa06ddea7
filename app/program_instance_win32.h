// The program's module, from which every dialog, icon and text is loaded.
#pragma once

#include <windows.h>

extern HINSTANCE ProgramInstance;
