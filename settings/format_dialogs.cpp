// The format dialogs' rules, kept apart from their dialog procedures.
#include "format_dialogs.h"

#include "check_fields.h"
#include "dialog_fields.h"
#include "field_rules.h"
#include "../common/bounded_text.h"
#include "../common/messages.h"
#include "../resources/resource.h"

#include <cstring>

namespace {

const int kTextFormattingControls[] = {
    IDC_LINES,       IDC_CHARS,     IDC_FONT,      IDC_HEADER,       IDC_FOOTER,
    IDC_PAPER_BOUND, IDC_TAB_WIDTH, IDC_WRAP,      IDC_LINE_NUMBERS, IDC_PRETTY_PRINT,
    IDC_OEM_NEVER,   IDC_OEM_AUTO,  IDC_OEM_ALWAYS};

const CheckField kTextChecks[] = {{IDC_PAPER_BOUND, &Settings::PprBndHd},
                                  {IDC_WRAP, &Settings::WrapLines},
                                  {IDC_LINE_NUMBERS, &Settings::LineNo},
                                  {IDC_PRETTY_PRINT, &Settings::PrettyPrint}};

const CheckField kPostScriptChecks[] = {
    {IDC_PS_EOF, &Settings::PSEOFChar},      {IDC_USE_RANGE, &Settings::UseRange},
    {IDC_DRV_HEAD, &Settings::DrvHead},      {IDC_NUP_PS, &Settings::NUpPs},
    {IDC_WARN_NON_PS, &Settings::WarnNonPS}, {IDC_FRAME_EPS, &Settings::FrameEPS},
    {IDC_NAME_EPS, &Settings::NameEPS}};

const int kConversionControls[] = {IDC_CONV_PROGRAM, IDC_CONV_BROWSE, IDC_CONV_PARAMETERS,
                                   IDC_CONV_SHOW_WINDOW, IDC_CONV_PRINTS};

// Radio groups: consecutive ids, one per value from `first` on.
void CheckRadio(WindowRef dialog, int firstId, int count, int index) {
    for (int i = 0; i < count; ++i)
        SetFieldCheck(dialog, firstId + i, i == index);
}

// The checked button's index; `fallback` when none is checked.
int CheckedRadio(WindowRef dialog, int firstId, int count, int fallback) {
    for (int i = 0; i < count; ++i) {
        if (GetFieldCheck(dialog, firstId + i))
            return i;
    }
    return fallback;
}

void SetIntegerField(WindowRef dialog, int control, int value) {
    char text[16];
    FormatText(text, sizeof text, "%d", value);
    SetFieldText(dialog, control, text);
}

void SetCheck(WindowRef dialog, int control, int flag) {
    SetFieldCheck(dialog, control, flag != 0);
}

int Check(WindowRef dialog, int control) {
    return GetFieldCheck(dialog, control) ? 1 : 0;
}

// Reads the text sizes into `scratch`: lines, characters, tab width.
bool ReadTextSizes(WindowRef dialog, Settings* scratch) {
    char lines[kSettingTextSize];
    char chars[kSettingTextSize];
    GetFieldText(dialog, IDC_LINES, lines, sizeof lines);
    GetFieldText(dialog, IDC_CHARS, chars, sizeof chars);
    if (!lines[0] && !chars[0]) {
        ShowMessage(kTextSizeParameterRequired, "", 0, kMessageError);
        SelectFieldText(dialog, IDC_LINES);
        return false;
    }
    if (lines[0]) {
        scratch->SizeOp = chars[0] ? 2 : 0;
        if (!ReadIntegerField(dialog, IDC_LINES, 2, 500, kTextInvalidValue, &scratch->Lines))
            return false;
    } else {
        scratch->SizeOp = 1;
    }
    if (chars[0] &&
        !ReadIntegerField(dialog, IDC_CHARS, 2, 500, kTextInvalidValue, &scratch->Chars))
        return false;
    return ReadIntegerField(dialog, IDC_TAB_WIDTH, 1, 25, kTextInvalidValue, &scratch->TabCount);
}

struct LengthField {
    int control;
    float Settings::*field;
};

const LengthField kNupLengths[] = {
    {IDC_LEFT_MARGIN, &Settings::LeftMarg}, {IDC_RIGHT_MARGIN, &Settings::RightMarg},
    {IDC_TOP_MARGIN, &Settings::TopMarg},   {IDC_BOTTOM_MARGIN, &Settings::BottomMarg},
    {IDC_X_GUTTER, &Settings::xGutter},     {IDC_Y_GUTTER, &Settings::yGutter}};

bool ReadNupFields(WindowRef dialog, Settings* scratch) {
    if (!ReadIntegerField(dialog, IDC_PAGES_WIDE, 1, 100, kTextInvalidValue, &scratch->Width) ||
        !ReadIntegerField(dialog, IDC_PAGES_HIGH, 1, 100, kTextInvalidValue, &scratch->Height))
        return false;
    for (const LengthField& length : kNupLengths) {
        if (!ReadLengthField(dialog, length.control, -10, 10, kTextInvalidMargin,
                             &(scratch->*length.field)))
            return false;
    }
    // Entered in hundredths, so that the usual widths are whole numbers.
    float hundredths = 0;
    if (!ReadLengthField(dialog, IDC_FRAME_WIDTH, 0, 50, kTextInvalidFrameWidth, &hundredths))
        return false;
    scratch->FrameWidth = hundredths * 0.01f;
    return true;
}

// The conversion command "program?parameters" split at its first "?".
void SplitCommand(const char* command, char* program, char* parameters, size_t size) {
    program[0] = '\0';
    parameters[0] = '\0';
    const char* mark = std::strchr(command, '?');
    if (!mark)
        return;
    size_t length = static_cast<size_t>(mark - command);
    if (length >= size)
        length = size - 1;
    std::memcpy(program, command, length);
    program[length] = '\0';
    CopyText(parameters, size, mark + 1);
}

// The command of the shown kind into `conversion`; false (reported) when
// it is refused.
bool ReadConversionCommand(WindowRef dialog, ConversionSettings* conversion) {
    char program[kSettingTextSize];
    char parameters[kSettingTextSize];
    GetFieldText(dialog, IDC_CONV_PROGRAM, program, sizeof program);
    GetFieldText(dialog, IDC_CONV_PARAMETERS, parameters, sizeof parameters);
    if (!program[0]) {
        ShowMessage(kTextNoConversionProgram, "", 0, kMessageError);
        SelectFieldText(dialog, IDC_CONV_PROGRAM);
        return false;
    }
    if (!parameters[0])
        ShowMessage(kTextNoParameters, "", 0, kMessageWarning);
    char command[sizeof conversion->ConvCom];
    FormatText(command, sizeof command, "%s?%s", program, parameters);
    if (std::strlen(program) + 1 + std::strlen(parameters) > kSettingTextSize - 1) {
        ShowMessage(kTextConversionTooLong, "", 0, kMessageError);
        SelectFieldText(dialog, IDC_CONV_PARAMETERS);
        return false;
    }
    CopyText(conversion->ConvCom, sizeof conversion->ConvCom, command);
    conversion->ShowConvWind = Check(dialog, IDC_CONV_SHOW_WINDOW);
    conversion->ConvPrint = Check(dialog, IDC_CONV_PRINTS);
    return true;
}

} // namespace

// --- Text file settings ---------------------------------------------------------

void FillTextDialog(WindowRef dialog, const Settings& working) {
    // 1 print, 0 send, -1 ignore: the buttons stand in that order.
    CheckRadio(dialog, IDC_ACTION_PRINT, 3, 1 - working.EnableTextPrint);
    if (working.SizeOp == 0 || working.SizeOp == 2)
        SetIntegerField(dialog, IDC_LINES, working.Lines);
    else
        SetFieldText(dialog, IDC_LINES, "");
    if (working.SizeOp == 1 || working.SizeOp == 2)
        SetIntegerField(dialog, IDC_CHARS, working.Chars);
    else
        SetFieldText(dialog, IDC_CHARS, "");
    SetFieldText(dialog, IDC_FONT, working.FontName);
    SetFieldText(dialog, IDC_HEADER, working.HeaderStr);
    SetFieldText(dialog, IDC_FOOTER, working.FooterStr);
    SetIntegerField(dialog, IDC_TAB_WIDTH, working.TabCount);
    FillChecks(dialog, working, kTextChecks);
    CheckRadio(dialog, IDC_OEM_NEVER, 3, working.OEMTrans);
    UpdateTextDialogEnabling(dialog);
}

void UpdateTextDialogEnabling(WindowRef dialog) {
    bool formatted = GetFieldCheck(dialog, IDC_ACTION_PRINT);
    for (int control : kTextFormattingControls)
        EnableField(dialog, control, formatted);
}

bool StoreTextDialog(WindowRef dialog, Settings* working) {
    Settings scratch = *working;
    if (!ReadTextSizes(dialog, &scratch))
        return false;
    // A face that the display does not have (settings made on another
    // machine) leaves the list without a choice; OK must not wipe it.
    char font[sizeof scratch.FontName];
    GetFieldText(dialog, IDC_FONT, font, sizeof font);
    if (font[0])
        CopyText(scratch.FontName, sizeof scratch.FontName, font);
    GetFieldText(dialog, IDC_HEADER, scratch.HeaderStr, sizeof scratch.HeaderStr);
    GetFieldText(dialog, IDC_FOOTER, scratch.FooterStr, sizeof scratch.FooterStr);
    StoreChecks(dialog, &scratch, kTextChecks);
    scratch.OEMTrans = CheckedRadio(dialog, IDC_OEM_NEVER, 3, working->OEMTrans);
    scratch.EnableTextPrint =
        1 - CheckedRadio(dialog, IDC_ACTION_PRINT, 3, 1 - working->EnableTextPrint);
    *working = scratch;
    return true;
}

// --- PostScript settings ----------------------------------------------------------

void FillPostScriptDialog(WindowRef dialog, const Settings& working) {
    FillChecks(dialog, working, kPostScriptChecks);
    SetFieldText(dialog, IDC_PROLOG, working.PrologName);
    CheckRadio(dialog, IDC_EPS_KEEP, 3, working.PlaceEPS);
}

bool StorePostScriptDialog(WindowRef dialog, Settings* working) {
    StoreChecks(dialog, working, kPostScriptChecks);
    GetFieldText(dialog, IDC_PROLOG, working->PrologName, sizeof working->PrologName);
    working->PlaceEPS = CheckedRadio(dialog, IDC_EPS_KEEP, 3, working->PlaceEPS);
    return true;
}

// --- N-up settings -------------------------------------------------------------------

void FillNupDialog(WindowRef dialog, const Settings& working) {
    if (MetricUnits) {
        SetFieldText(dialog, IDC_MARGIN_BOX, LoadText(kTextLabelMarginsMm));
        SetFieldText(dialog, IDC_FRAME_UNIT, LoadText(kTextLabelMmHundredths));
    }
    SetIntegerField(dialog, IDC_PAGES_WIDE, working.Width);
    SetIntegerField(dialog, IDC_PAGES_HIGH, working.Height);
    // Landscape 1 and horizontal 1 are the first buttons of their groups.
    CheckRadio(dialog, IDC_LANDSCAPE, 2, working.Landscape ? 0 : 1);
    CheckRadio(dialog, IDC_HORIZONTAL, 2, working.AdvHoriz ? 0 : 1);
    SetCheck(dialog, IDC_DRAW_FRAME, working.Frame);
    ShowLengthField(dialog, IDC_FRAME_WIDTH, working.FrameWidth * 100.0f);
    for (const LengthField& length : kNupLengths)
        ShowLengthField(dialog, length.control, working.*length.field);
    UpdateNupDialogEnabling(dialog);
}

void UpdateNupDialogEnabling(WindowRef dialog) {
    EnableField(dialog, IDC_FRAME_WIDTH, GetFieldCheck(dialog, IDC_DRAW_FRAME));
}

bool StoreNupDialog(WindowRef dialog, Settings* working) {
    Settings scratch = *working;
    if (!ReadNupFields(dialog, &scratch))
        return false;
    scratch.Landscape = GetFieldCheck(dialog, IDC_LANDSCAPE) ? 1 : 0;
    scratch.AdvHoriz = GetFieldCheck(dialog, IDC_HORIZONTAL) ? 1 : 0;
    scratch.Frame = Check(dialog, IDC_DRAW_FRAME);
    *working = scratch;
    return true;
}

// --- Conversion settings -------------------------------------------------------------

void FillConversionDialog(WindowRef dialog, const Settings& working, ConversionKind kind) {
    const ConversionSettings& conversion = working.conversion[kind];
    char program[kSettingTextSize];
    char parameters[kSettingTextSize];
    SplitCommand(conversion.ConvCom, program, parameters, sizeof program);
    SetCheck(dialog, IDC_CONV_ENABLE, conversion.DoConv);
    SetFieldText(dialog, IDC_CONV_PROGRAM, program);
    SetFieldText(dialog, IDC_CONV_PARAMETERS, parameters);
    SetCheck(dialog, IDC_CONV_SHOW_WINDOW, conversion.ShowConvWind);
    SetCheck(dialog, IDC_CONV_PRINTS, conversion.ConvPrint);
    UpdateConversionDialogEnabling(dialog);
}

void UpdateConversionDialogEnabling(WindowRef dialog) {
    bool enabled = GetFieldCheck(dialog, IDC_CONV_ENABLE);
    for (int control : kConversionControls)
        EnableField(dialog, control, enabled);
}

bool StoreConversionDialog(WindowRef dialog, Settings* working, ConversionKind kind) {
    ConversionSettings scratch = working->conversion[kind];
    scratch.DoConv = Check(dialog, IDC_CONV_ENABLE);
    if (scratch.DoConv && !ReadConversionCommand(dialog, &scratch))
        return false;
    working->conversion[kind] = scratch;
    return true;
}
