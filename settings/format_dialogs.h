// The rules of the text, PostScript, n-up and conversion settings dialogs:
// what each shows from the working settings, which controls are enabled, and
// what OK stores. Each Store function reads its checked fields into a scratch
// copy and changes `working` only when every field passed, so a refused OK
// changes nothing; it returns false (the dialog stays open) after reporting.
#pragma once

#include "settings.h"
#include "../common/window_ref.h"

void FillTextDialog(WindowRef dialog, const Settings& working);
void UpdateTextDialogEnabling(WindowRef dialog);
bool StoreTextDialog(WindowRef dialog, Settings* working);

void FillPostScriptDialog(WindowRef dialog, const Settings& working);
bool StorePostScriptDialog(WindowRef dialog, Settings* working);

void FillNupDialog(WindowRef dialog, const Settings& working);
void UpdateNupDialogEnabling(WindowRef dialog);
bool StoreNupDialog(WindowRef dialog, Settings* working);

// The conversion dialog shows one kind at a time.
void FillConversionDialog(WindowRef dialog, const Settings& working, ConversionKind kind);
void UpdateConversionDialogEnabling(WindowRef dialog);
bool StoreConversionDialog(WindowRef dialog, Settings* working, ConversionKind kind);

// Opens the format dialog of the general dialog's button `button`
// (IDC_TEXT_BUTTON ...) on WorkingSettings (format_dialogs_win32.cpp).
bool ShowFormatDialog(WindowRef owner, int button);
