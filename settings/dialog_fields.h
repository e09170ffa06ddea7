// The controls of an open dialog, by id. The settings dialogs keep their
// rules (what a field shows, what it accepts, what OK stores) in portable
// code that reaches the controls only through these calls; the Windows side
// is dialog_fields_win32.cpp, and the native tests put in a recorder.
#pragma once

#include "../common/window_ref.h"

#include <cstddef>

// The control's text, cut to size - 1 characters.
void GetFieldText(WindowRef dialog, int control, char* buffer, size_t size);
// Sets an edit's text; a drop-down list selects the entry equal to the text,
// or none when there is no such entry.
void SetFieldText(WindowRef dialog, int control, const char* text);
// Adds an entry to the list of a combo box.
void AddFieldEntry(WindowRef dialog, int control, const char* text);
bool GetFieldCheck(WindowRef dialog, int control);
void SetFieldCheck(WindowRef dialog, int control, bool on);
void EnableField(WindowRef dialog, int control, bool on);
// Puts the focus on the control with its whole text selected, so that the
// user retypes a refused value at once.
void SelectFieldText(WindowRef dialog, int control);
