// The progress window's behaviour: when a batch gets one, what it says, and
// when it shows. The window itself is behind the progress_window seam.
#include "progress.h"

#include "progress_rules.h"
#include "progress_window.h"
#include "shell_state.h"
#include "shell_ui.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../settings/settings.h"

namespace {

// The window's own texts are at most this long.
enum { kProgressTextSize = 255 };

bool windowOpen = false;
int total = 0;
int current = 0;

} // namespace

void ProgressBegin(int count) {
    if (!ProgressWindowWanted(CurrentSettings.ProgrBar, SpoolerMode))
        return;
    total = count;
    current = 0;
    if (!windowOpen)
        windowOpen = OpenProgressWindow();
    if (windowOpen)
        ShowProgressFileLine(count >= 2);
}

void ProgressNextFile(const char* fileName) {
    if (!windowOpen)
        return;
    char text[kProgressTextSize];
    SetProgressBar(0);
    FormatText(text, sizeof text, LoadText(kTextProgressTitle), fileName);
    SetProgressCaption(text);
    ++current;
    FormatText(text, sizeof text, LoadText(kTextProgressFileOf), current, total);
    SetProgressFileLine(text);
}

void ProgressPercent(double fraction) {
    if (!windowOpen)
        return;
    int percent = ProgressPercentOf(fraction);
    char text[kProgressTextSize];
    ShowProgressWindow();
    SetProgressBar(percent);
    FormatText(text, sizeof text, LoadText(kTextProgressPercent), percent);
    SetProgressPercentText(text);
    PumpMessages();
}

void ProgressWaiting() {
    if (!windowOpen)
        return;
    ShowProgressWindow();
    SetProgressBar(kProgressBarWaiting);
    // No share is known: a percentage left from an earlier file would lie.
    SetProgressPercentText("");
    PumpMessages();
}

void ProgressEnd() {
    if (!windowOpen)
        return;
    CloseProgressWindow();
    windowOpen = false;
}
