// Arbitrary text files through the row producer at arbitrary widths, the
// counting pass, and a whole text job on the recorder with settings taken from
// the first bytes of the input.
#include "common/stop_request.h"
#include "doubles/recorder.h"
#include "doubles/text_device_recorder.h"
#include "settings/settings.h"
#include "textfmt/line_processing.h"
#include "textfmt/text_print.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

enum { kHeaderBytes = 12 };

void ProduceRows(FILE* file, const uint8_t* h) {
    RowOptions options = RowOptions();
    options.charsPerLine = static_cast<int8_t>(h[0]) * 9;
    options.tabWidth = static_cast<int8_t>(h[1]);
    options.wrapLines = h[2] & 1;
    options.lineNumbers = h[2] & 2;
    options.translateOem = h[2] & 4;
    options.highlighting = false;
    options.utf8 = h[2] & 8;
    RowSource source;
    ResetRowSource(&source, file, options);
    for (;;) {
        Row row;
        RowKind kind = NextRow(&source, &row);
        if (kind == kRowEndOfFile)
            break;
        if (kind == kRowText && (row.length < 0 || row.length > kLineLimit))
            __builtin_trap();
    }
    rewind(file);
    CountOptions count = {
        options.charsPerLine, options.tabWidth, static_cast<int8_t>(h[3]), options.wrapLines, true,
        options.utf8};
    bool oem = false;
    CountTextRows(file, count, &oem);
}

void PrintJob(FILE* file, const uint8_t* h) {
    Settings& s = CurrentSettings;
    SetDefaultSettings(&s);
    s.Width = h[4] % 4;
    s.Height = (h[4] >> 2) % 4;
    s.AdvHoriz = (h[4] >> 4) & 1;
    s.Frame = (h[4] >> 5) & 1;
    s.PprBndHd = (h[4] >> 6) & 1;
    s.SizeOp = h[5] % 3;
    s.Lines = static_cast<int8_t>(h[6]) * 3;
    s.Chars = static_cast<int8_t>(h[7]) * 5;
    s.TabCount = static_cast<int8_t>(h[8]);
    s.LineNo = h[9] & 1;
    s.WrapLines = (h[9] >> 1) & 1;
    s.OEMTrans = (h[9] >> 2) % 3;
    s.LeftMarg = static_cast<int8_t>(h[10]) / 20.0f;
    s.TopMarg = static_cast<int8_t>(h[11]) / 20.0f;
    if (h[9] & 0x40)
        strcpy(s.HeaderStr, "&f&c&d&rPage &#(&t)");
    else
        s.HeaderStr[0] = '\0';
    strcpy(s.FooterStr, (h[9] & 0x80) ? "&#/&t" : "");
    DeviceScript.countOnly = true;
    DeviceScript.xWidthForHeight[h[10]] = h[11] % 7;
    PrintTextFile(file, "fuzz.txt", RecorderDevice(), 1 + (h[3] & 1), nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kHeaderBytes)
        return 0;
    const uint8_t* text = data + kHeaderBytes;
    size_t textSize = size - kHeaderBytes;
    FILE* file = textSize ? fmemopen(const_cast<uint8_t*>(text), textSize, "rb") : tmpfile();
    if (!file)
        return 0;
    ResetDoubles();
    ResetTextDevice();
    StopRequested = false;
    ProduceRows(file, data);
    PrintJob(file, data);
    fclose(file);
    return 0;
}
