#include "text_device_recorder.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "common/utf8.h"

TextDeviceScript DeviceScript;
std::vector<DrawnText> DrawnTexts;
std::vector<DrawnFrame> DrawnFrames;
std::vector<RecordedFont> RecordedFonts;
std::vector<std::string> DeviceEvents;
long long DeviceCallCount = 0;
std::vector<std::string> DeviceCalls;

namespace {

struct DeviceState {
    int page = 0;
    int startPages = 0;
    int originX = 0, originY = 0;
    int currentX = 0, currentY = 0;
    int font = -1;
    int penWidth = 0;
    TextAlignMode align = kAlignLeftTop;
    unsigned long colour = 0;
};
DeviceState device;
int penWidths[64];
int pens = 0;

// One line of DeviceCalls; runs of text go in through NoteRun, since they
// may be longer than the line here. Callers look at DeviceScript.logCalls
// first, so that the benchmarks do not pay for the call.
__attribute__((format(printf, 1, 2))) void Note(const char* format, ...) {
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    DeviceCalls.push_back(line);
}

// Printable ASCII as it is, every other byte as \xNN: the line shows
// exactly what was drawn, NULs and line ends included.
std::string Quoted(const char* text, int length) {
    std::string out = "\"";
    for (int i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        char escaped[8];
        if (c >= 32 && c < 127 && c != '\\' && c != '"')
            out += static_cast<char>(c);
        else
            out.append(escaped,
                       static_cast<size_t>(snprintf(escaped, sizeof escaped, "\\x%02X", c)));
    }
    return out + "\"";
}

// The same for UTF-16 units: each outside printable ASCII as \uNNNN.
std::string QuotedUnits(const char16_t* text, int length) {
    std::string out = "\"";
    for (int i = 0; i < length; ++i) {
        unsigned c = text[i];
        char escaped[8];
        if (c >= 32 && c < 127 && c != '\\' && c != '"')
            out += static_cast<char>(c);
        else
            out.append(escaped,
                       static_cast<size_t>(snprintf(escaped, sizeof escaped, "\\u%04X", c)));
    }
    return out + "\"";
}

void NoteRun(const char* call, int x, int y, const std::string& quoted) {
    DeviceCalls.push_back(call + (" " + std::to_string(x) + "," + std::to_string(y) + " ") +
                          quoted);
}

void Event(const std::string& text) {
    ++DeviceCallCount;
    if (DeviceScript.logCalls)
        Note("%s", text.c_str());
    if (!DeviceScript.countOnly)
        DeviceEvents.push_back(text);
}

int FontIndex(FontRef font) {
    return static_cast<int>(reinterpret_cast<intptr_t>(font)) - 1;
}

int XWidthOf(int font) {
    if (font < 0 || font >= static_cast<int>(RecordedFonts.size()))
        return 0;
    const TextFontSpec& request = RecordedFonts[font].request;
    auto scripted = DeviceScript.xWidthForHeight.find(request.height);
    if (scripted != DeviceScript.xWidthForHeight.end())
        return scripted->second;
    return request.width > 0 ? request.width : request.height * 3 / 5;
}

} // namespace

void ResetTextDevice() {
    DeviceScript = TextDeviceScript();
    DrawnTexts.clear();
    DrawnFrames.clear();
    RecordedFonts.clear();
    DeviceEvents.clear();
    DeviceCallCount = 0;
    DeviceCalls.clear();
    device = DeviceState();
    pens = 0;
}

DeviceContext RecorderDevice() {
    return &DeviceScript;
}

// Like GDI, the recorder draws nothing on no device context: a walk through
// the rows leaves no trace.

namespace {

int ScriptedCap(DeviceCap cap) {
    switch (cap) {
    case kCapDpiX:
        return DeviceScript.dpiX;
    case kCapDpiY:
        return DeviceScript.dpiY;
    case kCapOffsetX:
        return DeviceScript.offX;
    case kCapOffsetY:
        return DeviceScript.offY;
    case kCapResX:
        return DeviceScript.resX;
    case kCapResY:
        return DeviceScript.resY;
    case kCapColours:
        return DeviceScript.colours;
    case kCapPaperWidth:
        return DeviceScript.paperWidth ? DeviceScript.paperWidth
                                       : DeviceScript.resX + 2 * DeviceScript.offX;
    case kCapPaperHeight:
        return DeviceScript.paperHeight ? DeviceScript.paperHeight
                                        : DeviceScript.resY + 2 * DeviceScript.offY;
    }
    return 0;
}

} // namespace

int DeviceCaps(DeviceContext, DeviceCap cap) {
    ++DeviceCallCount;
    int value = ScriptedCap(cap);
    if (DeviceScript.logCalls)
        Note("caps %d = %d", static_cast<int>(cap), value);
    return value;
}

FontRef CreateFontFromSpec(const TextFontSpec& request) {
    ++DeviceCallCount;
    RecordedFonts.push_back({request, false});
    if (DeviceScript.logCalls)
        Note("create font %d \"%s\" height %d width %d weight %d italic %d underline %d set %d "
             "family %d",
             static_cast<int>(RecordedFonts.size()) - 1, request.face, request.height,
             request.width, request.weight, request.italic, request.underline, request.charSet,
             request.pitchAndFamily);
    return reinterpret_cast<FontRef>(static_cast<intptr_t>(RecordedFonts.size()));
}

void SelectTextFont(DeviceContext dc, FontRef font) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.font = FontIndex(font);
    if (DeviceScript.logCalls)
        Note("select font %d", device.font);
}

void DeleteTextFont(FontRef font) {
    ++DeviceCallCount;
    int index = FontIndex(font);
    if (DeviceScript.logCalls)
        Note("delete font %d", index);
    if (index >= 0 && index < static_cast<int>(RecordedFonts.size()))
        RecordedFonts[index].deleted = true;
}

int CharWidthOfX(DeviceContext) {
    ++DeviceCallCount;
    int width = XWidthOf(device.font);
    if (DeviceScript.logCalls)
        Note("width of X = %d", width);
    return width;
}

PenRef CreateFramePen(int width) {
    ++DeviceCallCount;
    if (pens >= 64)
        return nullptr;
    penWidths[pens++] = width;
    if (DeviceScript.logCalls)
        Note("create pen %d width %d", pens - 1, width);
    return &penWidths[pens - 1];
}

void SelectFramePen(DeviceContext dc, PenRef pen) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.penWidth = pen ? *static_cast<int*>(pen) : 0;
    if (DeviceScript.logCalls)
        Note("select pen width %d", device.penWidth);
}

void DeleteFramePen(PenRef pen) {
    if (pen)
        Event("delete pen");
}

void DrawFrame(DeviceContext dc, int left, int top, int right, int bottom) {
    if (!dc)
        return;
    ++DeviceCallCount;
    if (DeviceScript.logCalls)
        Note("frame %d,%d %d,%d", left, top, right, bottom);
    if (!DeviceScript.countOnly)
        DrawnFrames.push_back({device.page, left - device.originX, top - device.originY,
                               right - device.originX, bottom - device.originY, device.penWidth});
}

void SetWindowOrigin(DeviceContext dc, int x, int y) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.originX = x;
    device.originY = y;
    if (DeviceScript.logCalls)
        Note("origin %d,%d", x, y);
}

void SetTextAlignment(DeviceContext dc, TextAlignMode mode) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.align = mode;
    if (DeviceScript.logCalls)
        Note("align %d", static_cast<int>(mode));
}

void MoveCurrentPosition(DeviceContext dc, int x, int y) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.currentX = x;
    device.currentY = y;
    if (DeviceScript.logCalls)
        Note("move %d,%d", x, y);
}

void DrawTextRun(DeviceContext dc, int x, int y, const char* text, int length) {
    if (!dc)
        return;
    ++DeviceCallCount;
    if (DeviceScript.logCalls)
        NoteRun("text", x, y, Quoted(text, length));
    if (device.align == kAlignUpdatePosition) {
        x = device.currentX;
        y = device.currentY;
        device.currentX += length * XWidthOf(device.font);
    }
    if (!DeviceScript.countOnly)
        DrawnTexts.push_back({device.page, x - device.originX, y - device.originY,
                              std::string(text, static_cast<size_t>(length)), device.font,
                              device.align, device.colour});
}

void DrawWideTextRun(DeviceContext dc, int x, int y, const char16_t* text, int length) {
    if (!dc)
        return;
    ++DeviceCallCount;
    if (DeviceScript.logCalls)
        NoteRun("wide text", x, y, QuotedUnits(text, length));
    if (device.align == kAlignUpdatePosition) {
        x = device.currentX;
        y = device.currentY;
        device.currentX += length * XWidthOf(device.font);
    }
    if (DeviceScript.countOnly)
        return;
    // Unit by unit, so that a NUL the text holds is recorded too.
    std::string utf8;
    for (int i = 0; i < length; ++i) {
        unsigned code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        char bytes[4];
        utf8.append(bytes, EncodeUtf8(code, bytes));
    }
    DrawnText drawn = {device.page, x - device.originX, y - device.originY, utf8,
                       device.font, device.align,       device.colour};
    drawn.wide = true;
    DrawnTexts.push_back(drawn);
}

void SetTextColour(DeviceContext dc, unsigned long colour) {
    if (!dc)
        return;
    ++DeviceCallCount;
    device.colour = colour;
    if (DeviceScript.logCalls)
        Note("colour %lu", colour);
}

bool StartDocument(DeviceContext, const char* name, const char* output) {
    Event(std::string("start doc ") + name + (output ? std::string(" to ") + output : ""));
    return !DeviceScript.startDocFails;
}

bool StartPrintoutPage(DeviceContext) {
    ++device.startPages;
    if (device.startPages == DeviceScript.startPageFailsAt)
        return false;
    ++device.page;
    Event("start page");
    return true;
}

void EndPrintoutPage(DeviceContext) {
    Event("end page");
}
bool EndDocument(DeviceContext) {
    Event("end doc");
    return !DeviceScript.endDocFails;
}
void AbortDocument(DeviceContext) {
    Event("abort doc");
}
void DeleteDeviceContext(DeviceContext dc) {
    if (dc)
        Event("delete dc");
}
