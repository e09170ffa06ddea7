// The settings set per file of a batch and the batch's own set coming back.
#include "batch_settings.h"

#include "../common/bounded_text.h"
#include "../output/printer_selection.h"

namespace {

int DeviceCopies() {
    PrinterChoices choices;
    GetPrinterChoices(&choices);
    return choices.deviceCopies;
}

// The batch's own set as it was when the batch started, its printer selected
// again with the copies it had: selected afresh, the printer has its own
// count again, and /#: would hold only until the first file of another set.
void RestoreBatchSet(Batch* batch) {
    CurrentSettings = batch->set.settings;
    CopyText(CurrentSetName, sizeof CurrentSetName, batch->set.name);
    SelectSettingsPrinter();
    if (batch->set.copies > 0 && DeviceCopies() != batch->set.copies)
        SetDeviceCopies(batch->set.copies);
}

} // namespace

void BeginBatchSettings(Batch* batch) {
    CopyText(batch->set.name, sizeof batch->set.name, CurrentSetName);
    CopyText(batch->set.fileSetName, sizeof batch->set.fileSetName, CurrentSetName);
    batch->set.settings = CurrentSettings;
    batch->set.copies = DeviceCopies();
}

void UseFileSettings(Batch* batch, const char* path) {
    BatchSettings& set = batch->set;
    char found[sizeof set.fileSetName];
    // The batch's own set, bound to the file's extension or not, prints as
    // it is in force: Apply's values are in no file, and loading the set from
    // the file would print without them and then lose them.
    bool ownSet = !FindSettingsSetForFile(path, found, sizeof found) || SameSetName(found, set.name);
    if (!ownSet) {
        CopyText(set.fileSetName, sizeof set.fileSetName, found);
        LoadSettingsSet(set.fileSetName);
    } else if (!SameSetName(set.fileSetName, set.name)) {
        CopyText(set.fileSetName, sizeof set.fileSetName, set.name);
        RestoreBatchSet(batch);
    }
}

void EndBatchSettings(Batch* batch) {
    BatchSettings& set = batch->set;
    if (!SameSetName(set.fileSetName, set.name))
        RestoreBatchSet(batch);
    // The batch's set is in force again.
    CopyText(set.fileSetName, sizeof set.fileSetName, set.name);
}

