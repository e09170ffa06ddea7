// The File Information dialog.
#include "file_information.h"

#include <windows.h>

#include "../common/dialog_owner.h"
#include "../common/program_instance_win32.h"
#include "../common/paths.h"
#include "../common/wide_names_win32.h"
#include "../resources/resource.h"

namespace {

enum { kPrintRequested = 2, kDescriptionSize = 1000 };

INT_PTR CALLBACK FileInfoProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* analysis = reinterpret_cast<FileAnalysis*>(lParam);
        CenterWindow(dialog);
        // The name is UTF-8, in its own characters.
        SetWindowName(GetDlgItem(dialog, IDC_INFO_NAME),
                      PathComponents(analysis->path, "name,ext"));
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

bool ShowInformationDialog(WindowRef owner, FileAnalysis* analysis) {
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_FILE_INFO),
                           static_cast<HWND>(owner), FileInfoProc,
                           reinterpret_cast<LPARAM>(analysis)) == kPrintRequested;
}
