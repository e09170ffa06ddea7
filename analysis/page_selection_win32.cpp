// The Select Pages dialog: the pages of the chosen range, listed by their
// labels, all selected at first.
#include "../common/help_topic.h"
#include "page_selection.h"

#include <windows.h>

#include "../common/dialog_owner.h"
#include "../common/program_instance_win32.h"
#include "../common/busy_status.h"
#include "../common/messages.h"
#include "../resources/resource.h"

namespace {

enum { kListExtent = 150 };

struct PageDialog {
    FILE* stream;
    int fromPage;
    int toPage;
    int maxPage;
};

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_PAGE_LIST);
}

int ItemCount(HWND dialog) {
    LRESULT count = SendMessageA(List(dialog), LB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

void SelectItems(HWND dialog, const std::vector<bool>& items) {
    for (size_t i = 0; i < items.size(); ++i)
        SendMessageA(List(dialog), LB_SETSEL, items[i] ? TRUE : FALSE, static_cast<LPARAM>(i));
}

bool Fill(HWND dialog, const PageDialog& pages) {
    SendMessageA(List(dialog), LB_SETHORIZONTALEXTENT, kListExtent, 0);
    ShowStatus(LoadText(kTextStatusSearching));
    std::vector<std::string> labels;
    if (!BuildPageIndex(pages.stream, pages.fromPage, pages.toPage, pages.maxPage, &labels))
        return false;
    for (const std::string& label : labels)
        SendMessageA(List(dialog), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(label.c_str()));
    SelectItems(dialog, std::vector<bool>(labels.size(), true));
    ShowStatus(LoadText(kTextStatusPreparing));
    return true;
}

void StoreChoice(HWND dialog, const PageDialog& pages) {
    std::vector<bool> chosen(static_cast<size_t>(ItemCount(dialog)));
    for (size_t i = 0; i < chosen.size(); ++i)
        chosen[i] = SendMessageA(List(dialog), LB_GETSEL, i, 0) > 0;
    StorePageSelection(pages.fromPage, chosen);
}

void OnCommand(HWND dialog, const PageDialog& pages, int id) {
    size_t count = static_cast<size_t>(ItemCount(dialog));
    switch (id) {
    case IDOK:
        StoreChoice(dialog, pages);
        EndDialog(dialog, 1);
        break;
    case IDCANCEL:
        EndDialog(dialog, 0);
        break;
    case IDC_PAGES_ALL:
        SelectItems(dialog, std::vector<bool>(count, true));
        break;
    case IDC_PAGES_ODD:
    case IDC_PAGES_EVEN:
        SelectItems(dialog, AlternateItems(count, id == IDC_PAGES_EVEN));
        break;
    case IDC_HELP_BUTTON:
        ShowHelpTopic(dialog, kHelpPageSelection);
        break;
    }
}

INT_PTR CALLBACK SelectPagesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        CenterWindow(dialog);
        if (!Fill(dialog, *reinterpret_cast<PageDialog*>(lParam)))
            EndDialog(dialog, 0);
        return TRUE;
    }
    auto* pages = reinterpret_cast<PageDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (message == WM_COMMAND && pages) {
        OnCommand(dialog, *pages, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool SelectPages(FILE* stream, int fromPage, int toPage, int maxPage) {
    PageDialog pages = {stream, fromPage, toPage, maxPage};
    return DialogBoxParamA(ProgramInstance, MAKEINTRESOURCEA(IDD_SELECT_PAGES),
                           static_cast<HWND>(VisibleWindow()), SelectPagesProc,
                           reinterpret_cast<LPARAM>(&pages)) == 1;
}
