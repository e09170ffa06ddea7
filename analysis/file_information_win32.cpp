// The File Information command and its dialog.
#include "file_information.h"

#include <windows.h>

#include <cerrno>

#include "../app/job_runner.h"
#include "../app/main_window.h"
#include "../app/program_instance_win32.h"
#include "../app/shell_ui.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../common/paths.h"
#include "../resources/resource.h"
#include "../textfmt/text_print.h"

namespace {

enum { kPrintRequested = 2, kDescriptionSize = 1000 };

INT_PTR CALLBACK FileInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* analysis = reinterpret_cast<FileAnalysis*>(lParam);
        CenterWindow(dialog);
        SetDlgItemTextA(dialog, IDC_INFO_NAME, PathComponents(analysis->path, "name,ext"));
        char description[kDescriptionSize];
        DescribeFile(*analysis, description, sizeof description);
        SetDlgItemTextA(dialog, IDC_INFO_DESCRIPTION, description);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
    case IDCANCEL:
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDC_INFO_PRINT:
        EndDialog(dialog, kPrintRequested);
        return TRUE;
    }
    return FALSE;
}

} // namespace

void ShowFileInformation(WindowRef owner) {
    char path[kPathSize] = "";
    if (!ShowOpenDialog(owner, path, kPathChars, false))
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
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    INT_PTR result =
        DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_FILE_INFO), static_cast<HWND>(owner),
                        FileInfoProc, reinterpret_cast<LPARAM>(analysis));
    // Printing analyses the file afresh, as any other batch of one does.
    ReleaseFile(analysis, false);
    if (result == kPrintRequested)
        PrintEntry(path, owner, 1, 1);
    else
        SetBusy(false);
}
