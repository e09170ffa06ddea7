// The dialog-field seam as the native tests see it: one dialog's controls,
// by id, with their text, check state and enabling. A control given entries
// behaves as a drop-down list: it shows only one of them, or nothing; unless
// it is one of the EditableFields (a combo box with an edit), which shows any
// text.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct FieldState {
    std::string text;
    bool checked = false;
    bool enabled = true;
};

extern std::map<int, FieldState> DialogFields;
extern std::map<int, std::vector<std::string>> DropDownEntries;
extern std::set<int> EditableFields;
// Fields put in focus with their text selected, in order.
extern std::vector<int> SelectedFields;

void ResetDialogFields();
