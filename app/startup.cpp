// The windows program's start from its command line. The grammar is the
// jobs layer's, shared with the console program; what the words lead to
// here (dialogs, windows, the preview) is this program's own.
#include "startup.h"

#include "preview_window.h"
#include "shell_state.h"
#include "shell_ui.h"
#include "../install/service_setup.h"
#include "../install/setup.h"
#include "../jobs/capture.h"
#include "../jobs/job_runner.h"
#include "../settings/settings.h"
#include "../common/messages.h"
#include "../settings/settings_dialog.h"

namespace {

AfterCommandLine AfterFiles(const CommandLine& line, size_t count) {
    if (line.quitAfterCommandLine || (count > 0 && CurrentSettings.QuitFromComLine))
        return kQuitNow;
    return kEnterMessageLoop;
}

} // namespace

StartOutcome StartFromCommandLine(const std::vector<std::string>& arguments, CommandLine* line,
                                  int* exitCode) {
    if (ParseCommandLine(arguments, line, exitCode) == kParseEnd)
        return kStartEnd;
    switch (line->first) {
    case kFirstInstall:
        *exitCode = RunInstaller();
        return kStartEnd;
    case kFirstUninstall:
        *exitCode = RunUninstaller();
        return kStartEnd;
    case kFirstService: {
        std::string listing;
        *exitCode = RunServiceCommand(line->serviceArguments, &listing);
        if (!listing.empty())
            ShowInformation(LoadText(kTextServiceListTitle), listing.c_str());
        return kStartEnd;
    }
    case kNoFirstWord:
        break;
    }
    // A capture prints before any window exists, so its dialogs have none
    // to own them.
    const char* name = line->captureName.empty() ? nullptr : line->captureName.c_str();
    if (line->capture == kCaptureClipboard) {
        PrintClipboard(Batch(), name);
        return kStartEnd;
    }
    if (line->capture == kCaptureStdin) {
        PrintStandardInput(Batch(), name);
        return kStartEnd;
    }
    return kStartWindows;
}

AfterCommandLine PrintCommandLineFiles(const CommandLine& line) {
    Batch batch = CommandLineBatch(line.files, MainWindow, line.deleteAfterPrint);
    if (line.previewFiles) {
        for (const BatchEntry& entry : batch.entries)
            RunPreview(MainWindow, entry.name.c_str());
        return AfterFiles(line, line.files.size());
    }
    BatchSource source;
    if (!source.claimed)
        return AfterFiles(line, 0);
    if (!batch.entries.empty() && CurrentSettings.EnablePrefsDD && !ShowSettingsDialog(MainWindow))
        return line.quitAfterCommandLine ? kQuitNow : kEnterMessageLoop;
    RunBatch(&batch);
    return AfterFiles(line, batch.entries.size());
}
