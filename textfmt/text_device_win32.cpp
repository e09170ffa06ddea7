// The drawing seam through GDI.
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "text_device.h"
#include "../common/wide_names_win32.h"

static HDC Dc(DeviceContext dc) {
    return static_cast<HDC>(dc);
}

int DeviceCaps(DeviceContext dc, DeviceCap cap) {
    switch (cap) {
    case kCapDpiX:
        return GetDeviceCaps(Dc(dc), LOGPIXELSX);
    case kCapDpiY:
        return GetDeviceCaps(Dc(dc), LOGPIXELSY);
    case kCapOffsetX:
        return GetDeviceCaps(Dc(dc), PHYSICALOFFSETX);
    case kCapOffsetY:
        return GetDeviceCaps(Dc(dc), PHYSICALOFFSETY);
    case kCapResX:
        return GetDeviceCaps(Dc(dc), HORZRES);
    case kCapResY:
        return GetDeviceCaps(Dc(dc), VERTRES);
    case kCapPaperWidth:
        return GetDeviceCaps(Dc(dc), PHYSICALWIDTH);
    case kCapPaperHeight:
        return GetDeviceCaps(Dc(dc), PHYSICALHEIGHT);
    case kCapColours: {
        // Devices of more than 8 bits a pixel answer -1 to NUMCOLORS; they
        // are the most colourful of all.
        int colours = GetDeviceCaps(Dc(dc), NUMCOLORS);
        if (colours >= 0)
            return colours;
        int bits = GetDeviceCaps(Dc(dc), BITSPIXEL) * GetDeviceCaps(Dc(dc), PLANES);
        return bits >= 31 ? INT_MAX : (bits > 1 ? 1 << bits : 2);
    }
    }
    return 0;
}

FontRef CreateFontFromSpec(const TextFontSpec& request) {
    LOGFONTA font;
    memset(&font, 0, sizeof font);
    font.lfHeight = request.height;
    font.lfWidth = request.width;
    font.lfWeight = request.weight;
    font.lfItalic = request.italic ? 1 : 0;
    font.lfUnderline = request.underline ? 1 : 0;
    font.lfCharSet = static_cast<BYTE>(request.charSet);
    font.lfPitchAndFamily = static_cast<BYTE>(request.pitchAndFamily);
    lstrcpynA(font.lfFaceName, request.face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void SelectTextFont(DeviceContext dc, FontRef font) {
    // No font: the stock one, so that a font about to be deleted is free.
    SelectObject(Dc(dc), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
}

void DeleteTextFont(FontRef font) {
    if (font)
        DeleteObject(static_cast<HGDIOBJ>(font));
}

int CharWidthOfX(DeviceContext dc) {
    INT width = 0;
    if (!GetCharWidthA(Dc(dc), 'X', 'X', &width))
        return 0;
    return width;
}

PenRef CreateFramePen(int width) {
    return CreatePen(PS_SOLID, width, RGB(0, 0, 0));
}

void SelectFramePen(DeviceContext dc, PenRef pen) {
    SelectObject(Dc(dc), static_cast<HGDIOBJ>(pen));
    SelectObject(Dc(dc), GetStockObject(NULL_BRUSH));
}

void DeleteFramePen(PenRef pen) {
    if (pen)
        DeleteObject(static_cast<HGDIOBJ>(pen));
}

void DrawFrame(DeviceContext dc, int left, int top, int right, int bottom) {
    Rectangle(Dc(dc), left, top, right, bottom);
}

void SetWindowOrigin(DeviceContext dc, int x, int y) {
    SetWindowOrgEx(Dc(dc), x, y, nullptr);
}

void SetTextAlignment(DeviceContext dc, TextAlignMode mode) {
    UINT align = TA_LEFT | TA_TOP;
    if (mode == kAlignCentreTop)
        align = TA_CENTER | TA_TOP;
    else if (mode == kAlignRightTop)
        align = TA_RIGHT | TA_TOP;
    else if (mode == kAlignUpdatePosition)
        align = TA_UPDATECP | TA_LEFT | TA_TOP;
    SetTextAlign(Dc(dc), align);
}

void MoveCurrentPosition(DeviceContext dc, int x, int y) {
    MoveToEx(Dc(dc), x, y, nullptr);
}

void DrawTextRun(DeviceContext dc, int x, int y, const char* text, int length) {
    if (length > 0)
        TextOutA(Dc(dc), x, y, text, length);
}

void DrawWideTextRun(DeviceContext dc, int x, int y, const char16_t* text, int length) {
    if (length > 0)
        TextOutW(Dc(dc), x, y, reinterpret_cast<const wchar_t*>(text), length);
}

void SetTextColour(DeviceContext dc, unsigned long colour) {
    SetTextColor(Dc(dc), static_cast<COLORREF>(colour));
}

bool StartDocument(DeviceContext dc, const char* name, const char* output) {
    // The document name shows the file's name in its own characters.
    std::wstring wideName = WideText(name);
    std::wstring wideOutput = WideName(output ? output : "");
    DOCINFOW info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    info.lpszDocName = wideName.c_str();
    info.lpszOutput = wideOutput.empty() ? nullptr : wideOutput.c_str();
    return StartDocW(Dc(dc), &info) > 0;
}

bool StartPrintoutPage(DeviceContext dc) {
    return StartPage(Dc(dc)) > 0;
}
void EndPrintoutPage(DeviceContext dc) {
    EndPage(Dc(dc));
}
bool EndDocument(DeviceContext dc) {
    return EndDoc(Dc(dc)) > 0;
}
void AbortDocument(DeviceContext dc) {
    AbortDoc(Dc(dc));
}

void DeleteDeviceContext(DeviceContext dc) {
    if (dc)
        DeleteDC(Dc(dc));
}
