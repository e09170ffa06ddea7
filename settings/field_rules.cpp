// The number fields of the settings dialogs.
#include "field_rules.h"

#include "dialog_fields.h"
#include "settings.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

void FormatLength(float inches, bool metric, char* text, size_t size) {
    if (metric)
        FormatText(text, size, "%.0f", static_cast<double>(inches * kMillimetresPerInch));
    else
        FormatText(text, size, inches < 0.01f ? "%.3f" : "%.2f", static_cast<double>(inches));
}

bool ParseLength(const char* text, int lowest, int highest, bool metric, float* inches) {
    char* end = nullptr;
    double number = std::strtod(text, &end);
    // "nan" and "inf" scan as numbers but compare with nothing, so they
    // would pass every bound; they are no length.
    if (end == text || !std::isfinite(number))
        return false;
    // In single precision, as the setting is kept: 254 mm is then exactly
    // 10 inches, the largest margin, and not a hair above it.
    float value = static_cast<float>(number);
    if (metric)
        value *= kInchesPerMillimetre;
    if (!(value >= static_cast<float>(lowest) && value <= static_cast<float>(highest)))
        return false;
    *inches = value;
    return true;
}

bool ParseInteger(const char* text, int lowest, int highest, int* value) {
    char* end = nullptr;
    errno = 0;
    long long number = std::strtoll(text, &end, 0);
    // A number beyond 64 bits would come back clamped; it is out of range
    // either way, but only a clean read may count as one.
    if (end == text || errno == ERANGE)
        return false;
    if (number < lowest || number > highest)
        return false;
    *value = static_cast<int>(number);
    return true;
}

void ShowLengthField(WindowRef dialog, int control, float inches) {
    char text[64];
    FormatLength(inches, MetricUnits, text, sizeof text);
    SetFieldText(dialog, control, text);
}

bool ReadLengthField(WindowRef dialog, int control, int lowest, int highest, int message,
                     float* inches) {
    char text[kSettingTextSize];
    GetFieldText(dialog, control, text, sizeof text);
    if (ParseLength(text, lowest, highest, MetricUnits, inches))
        return true;
    ShowMessage(message, "", 0, kMessageError);
    SelectFieldText(dialog, control);
    return false;
}

bool ReadIntegerField(WindowRef dialog, int control, int lowest, int highest, int message,
                      int* value) {
    char text[kSettingTextSize];
    GetFieldText(dialog, control, text, sizeof text);
    if (ParseInteger(text, lowest, highest, value))
        return true;
    ShowMessage(message, "", 0, kMessageError);
    SelectFieldText(dialog, control);
    return false;
}
