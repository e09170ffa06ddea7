// The Printer Preferences dialog's rules.
#include "printer_prefs_dialog.h"

#include "dialog_fields.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../resources/resource.h"

#include <cstring>

namespace {

// The first entry of every list: the preference is left to the printer.
const char* AsPrinterIsSet() {
    return LoadText(kTextAsPrinterIsSet);
}

// The entries of a list of choices: the first stands for the printer,
// the others are the choices' names, those the printer cannot do left out
// unless the set asks for them already (so that OK keeps them).
void FillChoices(WindowRef dialog, int control, int count, const char* (*name)(int),
                 bool (*offered)(const PrinterCapabilities&, int),
                 const PrinterCapabilities& printer, int current) {
    char first[kMessageSize];
    CopyText(first, sizeof first, AsPrinterIsSet());
    AddFieldEntry(dialog, control, first);
    for (int choice = 1; choice < count; ++choice)
        if (offered(printer, choice) || choice == current)
            AddFieldEntry(dialog, control, name(choice));
    SetFieldText(dialog, control, current > 0 && current < count ? name(current) : first);
}

bool SidesOffered(const PrinterCapabilities& printer, int choice) {
    return choice == kSidesOneSided || printer.twoSided;
}

bool ColorModeOffered(const PrinterCapabilities& printer, int choice) {
    return choice == kColorMonochrome || printer.color;
}

// The choice shown in a list; `current` when none is.
int ShownChoice(WindowRef dialog, int control, int count, const char* (*name)(int), int current) {
    char text[kMessageSize];
    GetFieldText(dialog, control, text, sizeof text);
    if (CompareNoCase(text, AsPrinterIsSet()) == 0)
        return 0;
    for (int choice = 1; choice < count; ++choice)
        if (std::strcmp(text, name(choice)) == 0)
            return choice;
    return current;
}

// A typed or chosen name into `field` (maxChars long at most): empty for
// "as the printer is set". Blanks round it go, as the settings file drops
// them. False after the message when it is no name a driver gives.
bool ReadPrinterName(WindowRef dialog, int control, char* field, size_t maxChars) {
    char text[kSettingTextSize];
    GetFieldText(dialog, control, text, sizeof text);
    char* start = text;
    while (*start == ' ' || *start == '\t')
        start++;
    size_t length = std::strlen(start);
    while (length > 0 && (start[length - 1] == ' ' || start[length - 1] == '\t'))
        start[--length] = '\0';
    if (CompareNoCase(start, AsPrinterIsSet()) == 0)
        start[0] = '\0';
    if (!UsablePrinterName(start, maxChars)) {
        ShowMessage(kTextPrinterNameUnusable, start, 0, kMessageError);
        SelectFieldText(dialog, control);
        return false;
    }
    return CopyText(field, maxChars + 1, start);
}

} // namespace

void FillPrinterPrefsDialog(WindowRef dialog, const Settings& working,
                            const PrinterCapabilities& printer) {
    SetFieldText(dialog, IDC_PREFS_PRINTER, printer.printer);
    FillChoices(dialog, IDC_SIDES, kSidesChoices, SidesName, SidesOffered, printer, working.Sides);
    FillChoices(dialog, IDC_COLOR_MODE, kColorModeChoices, ColorModeName, ColorModeOffered, printer,
                working.ColorMode);
    char first[kMessageSize];
    CopyText(first, sizeof first, AsPrinterIsSet());
    AddFieldEntry(dialog, IDC_PAPER_SOURCE, first);
    for (const PrinterBin& bin : printer.bins)
        AddFieldEntry(dialog, IDC_PAPER_SOURCE, bin.name);
    SetFieldText(dialog, IDC_PAPER_SOURCE, working.PaperSource[0] ? working.PaperSource : first);
    AddFieldEntry(dialog, IDC_PAPER_SIZE, first);
    for (const PrinterPaper& paper : printer.papers)
        AddFieldEntry(dialog, IDC_PAPER_SIZE, paper.name);
    SetFieldText(dialog, IDC_PAPER_SIZE, working.PaperSize[0] ? working.PaperSize : first);
}

bool StorePrinterPrefsDialog(WindowRef dialog, Settings* working) {
    Settings scratch = *working;
    if (!ReadPrinterName(dialog, IDC_PAPER_SOURCE, scratch.PaperSource, kPaperSourceChars) ||
        !ReadPrinterName(dialog, IDC_PAPER_SIZE, scratch.PaperSize, kPaperSizeChars))
        return false;
    scratch.Sides = ShownChoice(dialog, IDC_SIDES, kSidesChoices, SidesName, working->Sides);
    scratch.ColorMode =
        ShownChoice(dialog, IDC_COLOR_MODE, kColorModeChoices, ColorModeName, working->ColorMode);
    *working = scratch;
    return true;
}
