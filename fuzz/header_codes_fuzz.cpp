// Arbitrary header and footer texts through the once-per-document codes and
// the drawing of runs. The first byte picks the page number.
#include "doubles/recorder.h"
#include "doubles/text_device_recorder.h"
#include "textfmt/header_codes.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    int page = data[0] * 1000003;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    char line[kHeaderTextSize];
    size_t length = strnlen(text.c_str(), kHeaderTextSize - 1);
    memcpy(line, text.c_str(), length);
    line[length] = '\0';
    ResetDoubles();
    ResetTextDevice();
    DeviceScript.countOnly = true;
    ExpandDocumentCodes(line, "/tmp/some dir/R&D &c&p.txt", page);
    if (strlen(line) >= kHeaderTextSize)
        __builtin_trap();
    DrawHeaderLine(RecorderDevice(), line, page, 10, 20, 2000, nullptr);
    // A text with no codes left draws the same way.
    DrawHeaderLine(RecorderDevice(), text.c_str(), -page, 0, 0, 0, nullptr);
    return 0;
}
