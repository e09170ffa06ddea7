// Progress window double: records what the window is told, so that tests can
// read it as a person would read the window.
#include "app/progress_window.h"
#include "recorder.h"

#include <string>

static void Record(const std::string& line) {
    RecordedCalls.push_back(line);
}

bool OpenProgressWindow() {
    Record("window open");
    return true;
}
void CloseProgressWindow() {
    Record("window closed");
}
void ShowProgressWindow() {
    Record("window shown");
}
void SetProgressCaption(const char* text) {
    Record(std::string("caption ") + text);
}
void SetProgressFileLine(const char* text) {
    Record(std::string("line ") + text);
}
void ShowProgressFileLine(bool shown) {
    Record(shown ? "line shown" : "line hidden");
}
void SetProgressBar(int percent) {
    Record(percent == kProgressBarWaiting ? "bar waiting" : "bar " + std::to_string(percent));
}
void SetProgressPercentText(const char* text) {
    Record(std::string("percent ") + text);
}
