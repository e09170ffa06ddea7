// Recorder of the text drawing seam: a fake printer with scripted device
// quantities and fixed font metrics ("X" is 3/5 of the font's height unless
// the font has an explicit width), noting every run of text, frame and page.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "textfmt/text_device.h"

struct TextDeviceScript {
    int dpiX = 300, dpiY = 300;
    int offX = 0, offY = 0;
    int resX = 2400, resY = 3300;
    int paperWidth = 0, paperHeight = 0; // 0: the printable size and both strips
    int colours = 2;
    std::map<int, int> xWidthForHeight; // overrides the metrics of fonts of a height
    bool startDocFails = false;
    int startPageFailsAt = 0; // the n-th StartPage fails (0: none)
    bool endDocFails = false;
    bool countOnly = false; // count calls only (benchmarks)
    bool logCalls = false;  // every call with its arguments in DeviceCalls
};

struct DrawnText {
    int page; // printout page, from 1
    int x, y; // on the sheet: the window origin taken off
    std::string text;
    int font; // index into RecordedFonts
    TextAlignMode align;
    unsigned long colour;
    bool wide = false; // drawn as UTF-16 (text holds it as UTF-8 again)
};

struct DrawnFrame {
    int page;
    int left, top, right, bottom; // on the sheet
    int penWidth;
};

struct RecordedFont {
    TextFontSpec request;
    bool deleted;
};

extern TextDeviceScript DeviceScript;
extern std::vector<DrawnText> DrawnTexts;
extern std::vector<DrawnFrame> DrawnFrames;
extern std::vector<RecordedFont> RecordedFonts;
extern std::vector<std::string> DeviceEvents; // documents, pages, deletions
extern long long DeviceCallCount;
// One line per call, in order, while DeviceScript.logCalls is on: what two
// revisions of the formatter are compared by.
extern std::vector<std::string> DeviceCalls;

void ResetTextDevice();
// A device context for the recorder; any non-null value would do.
DeviceContext RecorderDevice();
