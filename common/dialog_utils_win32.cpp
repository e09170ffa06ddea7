#include "dialog_utils.h"

#include <windows.h>

int CheckedButtonIndex(void* dialog, int first, int end) {
    HWND window = static_cast<HWND>(dialog);
    for (int id = first; id < end; ++id) {
        if (IsDlgButtonChecked(window, id) == BST_CHECKED)
            return id - first;
    }
    return end - first;
}
