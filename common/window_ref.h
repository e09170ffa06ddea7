// An opaque window handle: the platform's HWND in the Windows build. Every
// layer passes windows around as this, without <windows.h>.
#pragma once

typedef void* WindowRef;
