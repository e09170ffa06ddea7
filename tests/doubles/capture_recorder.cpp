// Capture double: the command-line tests see which capture was asked for.
#include "jobs/capture.h"
#include "recorder.h"

bool PrintClipboard(Batch, const char* fileName) {
    RecordedCalls.push_back(std::string("print clipboard ") + (fileName ? fileName : "(none)"));
    return true;
}

bool PrintStandardInput(Batch, const char* fileName) {
    RecordedCalls.push_back(std::string("print stdin ") + (fileName ? fileName : "(none)"));
    return true;
}
