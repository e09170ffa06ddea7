// Capture double: the command-line tests see which capture was asked for.
#include "app/capture.h"
#include "recorder.h"

bool PrintClipboard(WindowRef, const char* fileName) {
    RecordedCalls.push_back(std::string("print clipboard ") + (fileName ? fileName : "(none)"));
    return true;
}

bool PrintStandardInput(WindowRef, const char* fileName) {
    RecordedCalls.push_back(std::string("print stdin ") + (fileName ? fileName : "(none)"));
    return true;
}
