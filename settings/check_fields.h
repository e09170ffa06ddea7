// Check boxes bound to the integer flags of a settings record: one table per
// dialog says which box shows which field, and the same table fills the
// boxes and stores them back.
#pragma once

#include "dialog_fields.h"
#include "settings.h"

struct CheckField {
    int control;
    int Settings::*field;
};

template <size_t N>
void FillChecks(WindowRef dialog, const Settings& record, const CheckField (&checks)[N]) {
    for (const CheckField& check : checks)
        SetFieldCheck(dialog, check.control, record.*check.field != 0);
}

template <size_t N>
void StoreChecks(WindowRef dialog, Settings* record, const CheckField (&checks)[N]) {
    for (const CheckField& check : checks)
        record->*check.field = GetFieldCheck(dialog, check.control) ? 1 : 0;
}
