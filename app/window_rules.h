// Rules of the program's windows that need no window: where dialogs go, what
// the title says, how the Open dialog's filter list is laid out. Kept apart
// from the window code so that they can be tested on any platform.
#pragma once

#include <cstddef>

struct ScreenPoint {
    int x;
    int y;
};

// Every dialog's place: centred horizontally, its top a quarter of the way
// down the free height. A window larger than the screen keeps its caption
// on the screen.
ScreenPoint CenteredPosition(int screenWidth, int screenHeight, int width, int height);
// MiniWindow's home: flush with the top-right corner of the screen.
ScreenPoint TopRightPosition(int screenWidth, int width);

// The window title: `base`, then " " and `spoolerWord` when given, then
// " - " and `setName` when given. False when cut to fit.
bool BuildWindowTitle(char* title, size_t size, const char* base, const char* spoolerWord,
                      const char* setName);

// Turns a filter list whose entries end with "|" into the dialog's form:
// entries separated by NUL, ended by an empty one, blanks around each entry
// dropped. False (and an empty list) when it does not fit into `size`.
bool BuildOpenFilter(const char* list, char* out, size_t size);
// The filter entry (1-based) offered the first time: "All files" when text
// files are formatted by the program, else the first entry.
int InitialFilterIndex(int enableTextPrint);

// The version check at start-up: every NT-family Windows passes, the others
// from major version 4 on.
bool WindowsVersionSupported(bool ntFamily, int majorVersion);

// Where a saved window position puts a window of the given size: clamped so
// that the whole window is on the screen, the top-left corner winning when
// the window is larger than the screen.
ScreenPoint ClampedPosition(int left, int top, int width, int height, int screenWidth,
                            int screenHeight);
// The k-th (from 0) of NUL-separated names ending with an empty one; none
// when the list is shorter.
const char* NthListedName(const char* list, int k);
// A name as a menu item shows it: "&" doubled so that it is not taken for a
// mnemonic. False when cut to fit.
bool MenuItemText(const char* name, char* out, size_t size);
