// Doubles of the parts the application shell calls into: printer selection,
// installer, settings dialog, preview. Each records its call and answers
// from OtherParts. (The progress report and the spooler's timer are in
// progress_recorder.cpp, the capture's in capture_recorder.cpp and the
// dispatcher's in dispatch_recorder.cpp, so that the real ones, or a front
// end's own, can be tested.)
#include "analysis/file_analysis.h"
#include "app/preview_window.h"
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

void RunPreview(WindowRef, const char* path) {
    Record(std::string("preview ") + path);
}
