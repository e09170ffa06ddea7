// Seam: where every dialog of the program goes. The shell's windows decide
// (app/main_window_win32.cpp): the owner is the window the user sees, and a
// dialog sits in the place all of the program's dialogs take.
#pragma once

#include "window_ref.h"

// The window dialogs take as owner: MainWindow for the Normal type, else
// MiniWindow.
WindowRef VisibleWindow();
// Moves a window, unsized and not activated, to its place on the screen.
void CenterWindow(WindowRef window);
