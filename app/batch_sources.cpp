// Batches from the Open dialog and from drops.
#include "batch_sources.h"

#include "shell_ui.h"
#include "../jobs/job_runner.h"
#include "../settings/settings.h"
#include "../settings/settings_dialog.h"

bool PrintOpenSelection(const char* buffer, WindowRef owner) {
    BatchSource source;
    if (!source.claimed)
        return false;
    // The batch holds its own copy: the window's buffer can be freed (Exit)
    // or refilled while the batch runs.
    Batch batch = OpenSelectionBatch(buffer, owner);
    return !batch.entries.empty() && RunBatch(&batch);
}

void PrintDroppedFiles(WindowRef window, const std::vector<std::string>& names) {
    BatchSource source;
    if (!source.claimed)
        return;
    BringWindowToTop(window);
    if (CurrentSettings.EnablePrefsDD && !ShowSettingsDialog(window))
        return;
    Batch batch = DroppedFilesBatch(names, window);
    RunBatch(&batch);
}
