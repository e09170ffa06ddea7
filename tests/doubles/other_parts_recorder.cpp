// Doubles of the parts the application shell calls into: output, printer
// selection, progress window, installer, settings dialog, spooler timer.
// (The capture doubles are in capture_recorder.cpp, so that the real capture
// can be tested.) Each records its call and answers from OtherParts.
#include "analysis/file_analysis.h"
#include "app/progress.h"
#include "common/file_system.h"
#include "app/preview_window.h"
#include "app/spooler.h"
#include "install/setup.h"
#include "output/dispatch.h"
#include "output/printer_selection.h"
#include "settings/settings.h"
#include "settings/settings_dialog.h"
#include "recorder.h"

static void Record(const std::string& line) {
    RecordedCalls.push_back(line);
}

bool DispatchFile(FileAnalysis* analysis) {
    Record(std::string("dispatch ") + analysis->path + " with " + CurrentSetName);
    OtherParts.dispatchedBytes.clear();
    OtherParts.dispatchedKinds.push_back(analysis->kind);
    if (FILE* file = OpenStream(analysis->path, "rb")) {
        char block[4096];
        size_t count;
        while ((count = fread(block, 1, sizeof block, file)) > 0)
            OtherParts.dispatchedBytes.append(block, count);
        fclose(file);
    }
    if (!OtherParts.holdDuringDispatch.empty() &&
        std::string(analysis->path).find(OtherParts.holdDuringDispatch) != std::string::npos)
        OtherParts.heldFile = OpenStream(analysis->path, "rb");
    if (OtherParts.stopDuringDispatch)
        StopRequested = true;
    if (!OtherParts.dispatchFailsFor.empty() &&
        std::string(analysis->path).find(OtherParts.dispatchFailsFor) != std::string::npos)
        return false;
    return OtherParts.dispatchSucceeds;
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
    return true;
}
bool ShowPrinterDialog(WindowRef, FileAnalysis* analysis) {
    Record(std::string("printer dialog ") + (analysis ? analysis->path : ""));
    return OtherParts.printerDialogConfirmed;
}
void SetDeviceCopies(int copies) {
    Record("copies " + std::to_string(copies));
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
