// Doubles of the parts the application shell calls into: printer selection,
// progress window, installer, settings dialog, spooler timer. (The capture
// doubles are in capture_recorder.cpp, so that the real capture can be
// tested, and the dispatcher's in dispatch_recorder.cpp, so that the real one
// can be.) Each records its call and answers from OtherParts.
#include "analysis/file_analysis.h"
#include "common/progress_report.h"
#include "app/preview_window.h"
#include "jobs/spooler.h"
#include "install/setup.h"
#include "output/printer_selection.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "recorder.h"

static void Record(const std::string& line) {
    RecordedCalls.push_back(line);
}

bool InitPrinterSelection() {
    Record("init printer selection");
    return true;
}
void FreePrinterSelection() {
    Record("free printer selection");
}
bool SelectPrinterByName(const char* name) {
    Record(std::string("select printer ") + name);
    OtherParts.deviceCopies = 1; // the printer's own count
    return true;
}
bool ShowPrinterDialog(WindowRef, FileAnalysis* analysis, PrinterChoices* chosen) {
    *chosen = PrinterChoices();
    Record(std::string("printer dialog ") + (analysis ? analysis->path : ""));
    return OtherParts.printerDialogConfirmed;
}
void SetDeviceCopies(int copies) {
    Record("copies " + std::to_string(copies));
    OtherParts.deviceCopies = copies;
}
void LockCopyControls() {
    Record("lock copies");
}

void ProgressBegin(int count) {
    Record("progress begin " + std::to_string(count));
}
void ProgressNextFile(const char* fileName) {
    Record(std::string("progress file ") + fileName);
}
void ProgressPercent(double) {}
void ProgressWaiting() {}
void ProgressEnd() {
    Record("progress end");
}

int RunInstaller() {
    Record("installer");
    return 0;
}
int RunUninstaller() {
    Record("uninstaller");
    return 0;
}

bool ShowSettingsDialog(WindowRef) {
    Record("settings dialog");
    return OtherParts.settingsDialogConfirmed;
}

void SetSpoolerTimer(bool on) {
    Record(on ? "spooler timer on" : "spooler timer off");
}

void RunPreview(WindowRef, const char* path) {
    Record(std::string("preview ") + path);
}
