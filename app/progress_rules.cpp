#include "progress_rules.h"

int ProgressPercentOf(double fraction) {
    // Compared before the conversion: a fraction far outside the range (or
    // not a number at all) has no integer to convert to.
    double percent = fraction * 100.0 + 0.5;
    if (!(percent >= 0.0))
        return 0;
    if (percent >= 100.0)
        return 100;
    return static_cast<int>(percent);
}

// One axis: centred over [low, high], then pulled back onto the screen.
static int PlaceOnAxis(int low, int high, int own, int screen) {
    // Summed wide: a reference window parked far off the screen (minimised
    // windows are) must not overflow.
    int place = static_cast<int>((static_cast<long long>(low) + high) / 2) - own / 2;
    if (place >= screen - own)
        place = screen - own;
    if (place < 0)
        place = 0;
    return place;
}

ScreenPoint PlaceOverReference(int left, int top, int right, int bottom, int width, int height,
                               int screenWidth, int screenHeight) {
    ScreenPoint p = {PlaceOnAxis(left, right, width, screenWidth),
                     PlaceOnAxis(top, bottom, height, screenHeight)};
    return p;
}

bool ProgressWindowWanted(int progrBar, bool spoolerMode) {
    return progrBar != 0 && !spoolerMode;
}
