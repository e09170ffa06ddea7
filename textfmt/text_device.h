// Seam: the drawing a text job needs from a printer device context. The
// program draws through GDI (text_device_win32.cpp); the tests link a recorder
// that notes where everything went and answers with fixed font metrics.
#pragma once

// Opaque handles: HDC, HFONT and HPEN in the program.
typedef void* DeviceContext;
typedef void* FontRef;
typedef void* PenRef;

enum DeviceCap {
    kCapDpiX,       // LOGPIXELSX
    kCapDpiY,       // LOGPIXELSY
    kCapOffsetX,    // PHYSICALOFFSETX: unprintable strip at the left edge
    kCapOffsetY,    // PHYSICALOFFSETY
    kCapResX,       // HORZRES: printable width
    kCapResY,       // VERTRES
    kCapColours,    // colours the device can show (a large number for true colour)
    kCapPaperWidth, // PHYSICALWIDTH: the whole sheet, unprintable strips included
    kCapPaperHeight // PHYSICALHEIGHT
};

enum TextAlignMode {
    kAlignLeftTop,
    kAlignCentreTop,
    kAlignRightTop,
    kAlignUpdatePosition // each run continues where the previous one ended
};

// What a font is asked for: the fields of the platform's font record that
// text printing sets.
enum { kFaceNameChars = 31 };
struct TextFontSpec {
    char face[kFaceNameChars + 1];
    int height; // cell height in device units
    int width;  // 0: the width that matches the height
    int weight; // 900 bold, 0 the default weight
    bool italic;
    bool underline;
    int charSet; // 2 symbol, 0 ANSI
    int pitchAndFamily;
};

// Drawing on a null device context draws nothing: a walk through the rows
// that only learns where the next sheet begins.
int DeviceCaps(DeviceContext dc, DeviceCap cap);
// None when the platform refuses.
FontRef CreateFontFromSpec(const TextFontSpec& request);
void SelectTextFont(DeviceContext dc, FontRef font);
void DeleteTextFont(FontRef font);
// Advance width of "X" in the selected font; 0 when it cannot be measured.
int CharWidthOfX(DeviceContext dc);
// A solid black pen; selecting it also selects a hollow brush, so that frames
// draw only their outline.
PenRef CreateFramePen(int width);
void SelectFramePen(DeviceContext dc, PenRef pen);
void DeleteFramePen(PenRef pen);
void DrawFrame(DeviceContext dc, int left, int top, int right, int bottom);
// Everything drawn afterwards is shifted by (-x, -y).
void SetWindowOrigin(DeviceContext dc, int x, int y);
void SetTextAlignment(DeviceContext dc, TextAlignMode mode);
void MoveCurrentPosition(DeviceContext dc, int x, int y);
// Draws `length` bytes at (x, y); in kAlignUpdatePosition mode at the current
// position instead, which then moves past the text.
void DrawTextRun(DeviceContext dc, int x, int y, const char* text, int length);
// The same for `length` UTF-16 units, through the wide-character calls.
void DrawWideTextRun(DeviceContext dc, int x, int y, const char16_t* text, int length);
void SetTextColour(DeviceContext dc, unsigned long colour); // red + 256 green + 65536 blue
// output: "FILE:" or none.
bool StartDocument(DeviceContext dc, const char* name, const char* output);
bool StartPrintoutPage(DeviceContext dc);
void EndPrintoutPage(DeviceContext dc);
// False when the document could not be ended (the spooler did not take it).
bool EndDocument(DeviceContext dc);
void AbortDocument(DeviceContext dc);
void DeleteDeviceContext(DeviceContext dc);
