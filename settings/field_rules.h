// What the settings dialogs' number fields show and accept, and their units.
#pragma once

#include "../common/window_ref.h"

#include <cstddef>

// Millimetres per inch, for showing lengths, and its inverse for reading them.
const float kMillimetresPerInch = 25.4f;
const float kInchesPerMillimetre = 0.03937008f;

// The text of a length in inches: whole millimetres with metric units, else
// three decimals below 0.01 and two from there up.
void FormatLength(float inches, bool metric, char* text, size_t size);
// A length typed by the user, in inches; false when the text is empty, is
// not a number, or lies outside lowest..highest (inches) after conversion.
bool ParseLength(const char* text, int lowest, int highest, bool metric, float* inches);
// A whole number as "%i" reads it (0x hexadecimal, a leading 0 octal);
// false when the text is not a number or lies outside lowest..highest.
bool ParseInteger(const char* text, int lowest, int highest, int* value);

// The same on a dialog's field (dialog_fields.h). The readers report a
// refused value with `message` and select the field; the value is set only
// on success.
void ShowLengthField(WindowRef dialog, int control, float inches);
bool ReadLengthField(WindowRef dialog, int control, int lowest, int highest, int message,
                     float* inches);
bool ReadIntegerField(WindowRef dialog, int control, int lowest, int highest, int message,
                      int* value);
