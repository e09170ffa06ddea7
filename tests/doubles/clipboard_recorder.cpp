// Clipboard double: the text comes from OtherParts.
#include "jobs/clipboard.h"
#include "recorder.h"

bool ReadClipboardText(std::string* text) {
    RecordedCalls.push_back("read clipboard");
    *text = OtherParts.clipboardReadable ? OtherParts.clipboardText : std::string();
    return OtherParts.clipboardReadable;
}
