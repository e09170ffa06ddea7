// Rules of the progress window that need no window: the percentage shown for
// a fraction, where the window goes, and when a batch gets one at all.
#pragma once

#include "window_rules.h"

// The whole percent nearest to `fraction` (1.0 is complete), kept within
// 0..100 however far outside the fraction lies.
int ProgressPercentOf(double fraction);

// Centred over the reference window, then moved back onto the screen; the
// left and top edges win when the window is larger than the screen.
ScreenPoint PlaceOverReference(int left, int top, int right, int bottom, int width, int height,
                               int screenWidth, int screenHeight);

// A batch shows a progress window only when the settings ask for one, and
// never in spooler mode, where nobody watches and a settings set loaded for
// one file may bring the stored ProgrBar back.
bool ProgressWindowWanted(int progrBar, bool spoolerMode);
