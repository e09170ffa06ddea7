// The File Information command: ask for a file, count and describe it, and
// print it when the user asks. The dialogs are behind ShowOpenDialog and
// ShowInformationDialog.
#include "file_information_command.h"

#include <cerrno>

#include "../jobs/job_runner.h"
#include "main_window.h"
#include "shell_ui.h"
#include "../analysis/file_information.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../output/printer_selection.h"
#include "../textfmt/text_print.h"

namespace {

// Counted on the selected printer's device context, as printing would lay
// the file out: the count must match the printout.
int CountTextPages(FILE* file) {
    return file ? CountTextPagesOn(file, CreatePrinterDC(true)) : 0;
}

} // namespace

void ShowFileInformation(WindowRef owner) {
    char path[kPathSize] = "";
    if (!ShowOpenDialog(owner, path, kPathChars, false))
        return;
    // One command at a time, as a batch is: the count pumps messages, and a
    // batch started by a drop meanwhile would lay out its own text over the
    // layout that the count reads.
    BatchSource source;
    if (!source.claimed)
        return;
    SetBusy(true);
    ShowStatus(LoadText(kTextStatusAnalyzing));
    FileAnalysis* analysis = AnalyzeFile(path);
    if (!analysis) {
        ShowMessage(kTextCouldNotOpen, path, errno, kMessageError);
        SetBusy(false);
        return;
    }
    if (analysis->kind == Text)
        analysis->pageCount = static_cast<unsigned>(CountTextPages(analysis->file));
    bool print = ShowInformationDialog(owner, analysis);
    // Printing analyses the file afresh, as any other batch of one does.
    ReleaseFile(analysis, false);
    if (print) {
        Batch batch = SingleFileBatch(path, owner);
        RunBatch(&batch);
    } else {
        SetBusy(false);
    }
}
