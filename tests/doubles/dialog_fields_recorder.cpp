// Recorder of the dialog-field seam.
#include "dialog_fields_recorder.h"

#include "settings/dialog_fields.h"

#include <algorithm>
#include <cstring>

std::map<int, FieldState> DialogFields;
std::map<int, std::vector<std::string>> DropDownEntries;
std::set<int> EditableFields;
std::vector<int> SelectedFields;

void ResetDialogFields() {
    DialogFields.clear();
    DropDownEntries.clear();
    EditableFields.clear();
    SelectedFields.clear();
}

void GetFieldText(WindowRef, int control, char* buffer, size_t size) {
    if (size == 0)
        return;
    const std::string& text = DialogFields[control].text;
    size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

void SetFieldText(WindowRef, int control, const char* text) {
    auto entries = DropDownEntries.find(control);
    bool listed =
        entries == DropDownEntries.end() || EditableFields.count(control) ||
        std::find(entries->second.begin(), entries->second.end(), text) != entries->second.end();
    DialogFields[control].text = listed ? text : "";
}

void AddFieldEntry(WindowRef, int control, const char* text) {
    DropDownEntries[control].push_back(text);
}

bool GetFieldCheck(WindowRef, int control) {
    return DialogFields[control].checked;
}

void SetFieldCheck(WindowRef, int control, bool on) {
    DialogFields[control].checked = on;
}

void EnableField(WindowRef, int control, bool on) {
    DialogFields[control].enabled = on;
}

void SelectFieldText(WindowRef, int control) {
    SelectedFields.push_back(control);
}
