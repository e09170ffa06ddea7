// The number fields of the settings dialogs and the rules of the four
// format dialogs, against recorded controls.
#include "settings/field_rules.h"
#include "settings/format_dialogs.h"
#include "settings/printer_prefs_dialog.h"

#include "common/messages.h"
#include "resources/resource.h"
#include "settings/dialog_fields.h"
#include "tests/doubles/dialog_fields_recorder.h"
#include "tests/doubles/printer_capabilities_double.h"
#include "tests/doubles/recorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

WindowRef const kDialog = nullptr;

std::string Length(float inches, bool metric) {
    char text[64];
    FormatLength(inches, metric, text, sizeof text);
    return text;
}

TEST(FieldRules, IntegersReadAsPercentIWithinTheirBounds) {
    int value = -1;
    EXPECT_TRUE(ParseInteger("0x10", 2, 500, &value));
    EXPECT_EQ(16, value);
    EXPECT_TRUE(ParseInteger("010", 2, 500, &value));
    EXPECT_EQ(8, value);
    EXPECT_TRUE(ParseInteger(" 75", 2, 500, &value));
    EXPECT_EQ(75, value);
    EXPECT_TRUE(ParseInteger("500", 2, 500, &value));
    EXPECT_TRUE(ParseInteger("2", 2, 500, &value));
    value = 42;
    for (const char* bad : {"", " ", "abc", "-1", "1", "501", "2147483648", "-2147483649",
                            "99999999999999999999999"}) {
        EXPECT_FALSE(ParseInteger(bad, 2, 500, &value)) << bad;
        EXPECT_EQ(42, value) << bad;
    }
}

TEST(FieldRules, LengthsReadInInchesOrMillimetres) {
    float inches = -1;
    EXPECT_TRUE(ParseLength("10", -10, 10, false, &inches));
    EXPECT_EQ(10.0f, inches);
    EXPECT_TRUE(ParseLength("-10", -10, 10, false, &inches));
    EXPECT_TRUE(ParseLength("0.35", -10, 10, false, &inches));
    EXPECT_EQ(0.35f, inches);
    // 254 mm is the largest margin, stored as 10 inches exactly.
    EXPECT_TRUE(ParseLength("254", -10, 10, true, &inches));
    EXPECT_EQ(10.0f, inches);
    inches = 7;
    for (const char* bad :
         {"", "mm", "10.01", "-10.5", "nan", "inf", "-inf", "2147483648", "1e300"}) {
        EXPECT_FALSE(ParseLength(bad, -10, 10, false, &inches)) << bad;
        EXPECT_EQ(7.0f, inches) << bad;
    }
    EXPECT_FALSE(ParseLength("255", -10, 10, true, &inches));
    EXPECT_EQ(7.0f, inches);
}

TEST(FieldRules, LengthsShownByTheirSize) {
    EXPECT_EQ("0.005", Length(0.005f, false));
    EXPECT_EQ("0.05", Length(0.05f, false));
    EXPECT_EQ("0.70", Length(0.7f, false));
    EXPECT_EQ("-0.500", Length(-0.5f, false)); // below 0.01, as any negative
    EXPECT_EQ("18", Length(0.7f, true));
    // The default frame width, shown in hundredths.
    EXPECT_EQ("0.30", Length(0.003f * 100.0f, false));
    EXPECT_EQ("8", Length(0.003f * 100.0f, true));
}

class FormatDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDoubles();
        ResetDialogFields();
        SetDefaultSettings(&working);
        MetricUnits = false;
    }
    void TearDown() override { MetricUnits = false; }

    void Type(int control, const std::string& text) { DialogFields[control].text = text; }
    const std::string& Shown(int control) { return DialogFields[control].text; }

    // OK is refused with `message`, the field is selected and nothing changed.
    void ExpectRefused(bool stored, const Settings& before, int control, const char* message) {
        EXPECT_FALSE(stored);
        ASSERT_EQ(1u, ShownBoxes.size());
        EXPECT_EQ(message, ShownBoxes[0].text);
        EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
        EXPECT_EQ(std::vector<int>{control}, SelectedFields);
        EXPECT_EQ(0, std::memcmp(&before, &working, sizeof working));
        ResetDoubles();
        SelectedFields.clear();
    }

    Settings working;
};

TEST_F(FormatDialogTest, TextSizesChooseTheSizeOperation) {
    FillTextDialog(kDialog, working);
    EXPECT_EQ("75", Shown(IDC_LINES));
    EXPECT_EQ("", Shown(IDC_CHARS)); // SizeOp 0: lines only
    EXPECT_EQ("3", Shown(IDC_TAB_WIDTH));
    EXPECT_TRUE(DialogFields[IDC_ACTION_PRINT].checked);
    EXPECT_TRUE(DialogFields[IDC_OEM_NEVER].checked);

    // Characters only: the lines keep their value and show blank again.
    Type(IDC_LINES, "");
    Type(IDC_CHARS, "0x50");
    ASSERT_TRUE(StoreTextDialog(kDialog, &working));
    EXPECT_EQ(1, working.SizeOp);
    EXPECT_EQ(80, working.Chars);
    EXPECT_EQ(75, working.Lines);
    FillTextDialog(kDialog, working);
    EXPECT_EQ("", Shown(IDC_LINES));
    EXPECT_EQ("80", Shown(IDC_CHARS));

    Type(IDC_LINES, "60");
    ASSERT_TRUE(StoreTextDialog(kDialog, &working));
    EXPECT_EQ(2, working.SizeOp);
    EXPECT_EQ(60, working.Lines);
    EXPECT_TRUE(ShownBoxes.empty());

    // Neither size: message 105.
    Settings before = working;
    Type(IDC_LINES, "");
    Type(IDC_CHARS, "");
    ExpectRefused(StoreTextDialog(kDialog, &working), before, IDC_LINES,
                  "At least one size parameter has to be specified");
}

TEST_F(FormatDialogTest, FontMissingFromTheDisplayIsKept) {
    DropDownEntries[IDC_FONT] = {"Courier New", "Lucida Console"};
    FillTextDialog(kDialog, working);
    EXPECT_EQ("", Shown(IDC_FONT)); // "Courier" is not installed
    ASSERT_TRUE(StoreTextDialog(kDialog, &working));
    EXPECT_STREQ("Courier", working.FontName);
    SetFieldText(kDialog, IDC_FONT, "Lucida Console");
    ASSERT_TRUE(StoreTextDialog(kDialog, &working));
    EXPECT_STREQ("Lucida Console", working.FontName);
}

TEST_F(FormatDialogTest, RefusedTextFieldsChangeNothing) {
    FillTextDialog(kDialog, working);
    working.EnableTextPrint = 1;
    Settings before = working;
    struct Case {
        int control;
        std::vector<std::string> bad;
    };
    const std::string big = "2147483648";
    const Case cases[] = {{IDC_LINES, {"", "x", "-1", "0", "1", "501", big}},
                          {IDC_CHARS, {"x", "-1", "0", "1", "501", big}},
                          {IDC_TAB_WIDTH, {"", "x", "-1", "0", "26", big}}};
    for (const Case& c : cases) {
        for (const std::string& text : c.bad) {
            FillTextDialog(kDialog, working);
            Type(IDC_CHARS, "80");
            // Checks and texts that would change if anything were stored.
            Type(IDC_HEADER, "changed");
            DialogFields[IDC_WRAP].checked = true;
            Type(c.control, text);
            if (c.control == IDC_LINES && text.empty())
                continue; // characters alone are a valid size
            SCOPED_TRACE(std::to_string(c.control) + " " + text);
            ExpectRefused(StoreTextDialog(kDialog, &working), before, c.control, "Invalid value");
        }
    }
}

TEST_F(FormatDialogTest, FormattingControlsFollowTheTextAction) {
    FillTextDialog(kDialog, working);
    EXPECT_TRUE(DialogFields[IDC_FONT].enabled);
    DialogFields[IDC_ACTION_PRINT].checked = false;
    DialogFields[IDC_ACTION_SEND].checked = true;
    UpdateTextDialogEnabling(kDialog);
    for (int control : {IDC_LINES, IDC_CHARS, IDC_FONT, IDC_HEADER, IDC_FOOTER, IDC_PAPER_BOUND,
                        IDC_TAB_WIDTH, IDC_WRAP, IDC_LINE_NUMBERS, IDC_PRETTY_PRINT, IDC_OEM_NEVER,
                        IDC_OEM_AUTO, IDC_OEM_ALWAYS})
        EXPECT_FALSE(DialogFields[control].enabled) << control;
    EXPECT_TRUE(DialogFields[IDC_ACTION_PRINT].enabled);
    // The values are still read and stored: the action says what is used.
    DialogFields[IDC_OEM_NEVER].checked = false;
    DialogFields[IDC_OEM_ALWAYS].checked = true;
    ASSERT_TRUE(StoreTextDialog(kDialog, &working));
    EXPECT_EQ(0, working.EnableTextPrint);
    EXPECT_EQ(2, working.OEMTrans);
}

TEST_F(FormatDialogTest, NupFieldsInInchesAndMillimetres) {
    FillNupDialog(kDialog, working);
    EXPECT_EQ("2", Shown(IDC_PAGES_WIDE));
    EXPECT_EQ("0.70", Shown(IDC_LEFT_MARGIN));
    EXPECT_EQ("0.30", Shown(IDC_FRAME_WIDTH));
    EXPECT_EQ("", Shown(IDC_MARGIN_BOX)); // the dialog's own "Margins in inches"
    EXPECT_TRUE(DialogFields[IDC_LANDSCAPE].checked);
    EXPECT_TRUE(DialogFields[IDC_HORIZONTAL].checked);

    Type(IDC_FRAME_WIDTH, "50");
    Type(IDC_LEFT_MARGIN, "-10");
    DialogFields[IDC_LANDSCAPE].checked = false;
    DialogFields[IDC_PORTRAIT].checked = true;
    ASSERT_TRUE(StoreNupDialog(kDialog, &working));
    EXPECT_FLOAT_EQ(0.5f, working.FrameWidth);
    EXPECT_EQ(-10.0f, working.LeftMarg);
    EXPECT_EQ(0, working.Landscape);

    MetricUnits = true;
    FillNupDialog(kDialog, working);
    EXPECT_EQ("Margins in mm", Shown(IDC_MARGIN_BOX));
    EXPECT_EQ("mm/100", Shown(IDC_FRAME_UNIT));
    EXPECT_EQ("9", Shown(IDC_RIGHT_MARGIN)); // 0.35 inch
    Type(IDC_LEFT_MARGIN, "254");
    ASSERT_TRUE(StoreNupDialog(kDialog, &working));
    EXPECT_EQ(10.0f, working.LeftMarg);
    Settings before = working;
    Type(IDC_LEFT_MARGIN, "255");
    ExpectRefused(StoreNupDialog(kDialog, &working), before, IDC_LEFT_MARGIN,
                  "Invalid margin value");
}

TEST_F(FormatDialogTest, RefusedNupFieldsChangeNothing) {
    FillNupDialog(kDialog, working);
    Settings before = working;
    const std::string big = "2147483648";
    struct Case {
        int control;
        std::vector<std::string> bad;
        const char* message;
    };
    const Case cases[] = {{IDC_PAGES_WIDE, {"", "x", "-1", "0", "101", big}, "Invalid value"},
                          {IDC_PAGES_HIGH, {"", "x", "-1", "0", "101", big}, "Invalid value"},
                          {IDC_LEFT_MARGIN, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_RIGHT_MARGIN, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_TOP_MARGIN, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_BOTTOM_MARGIN, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_X_GUTTER, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_Y_GUTTER, {"", "x", "-11", "11", big}, "Invalid margin value"},
                          {IDC_FRAME_WIDTH, {"", "x", "-1", "51", big}, "Invalid frame width"}};
    for (const Case& c : cases) {
        for (const std::string& text : c.bad) {
            FillNupDialog(kDialog, working);
            DialogFields[IDC_VERTICAL].checked = true;
            DialogFields[IDC_HORIZONTAL].checked = false;
            Type(c.control, text);
            SCOPED_TRACE(std::to_string(c.control) + " " + text);
            ExpectRefused(StoreNupDialog(kDialog, &working), before, c.control, c.message);
        }
    }
}

TEST_F(FormatDialogTest, FrameWidthIsCheckedEvenWhenDisabled) {
    working.Frame = 0;
    FillNupDialog(kDialog, working);
    EXPECT_FALSE(DialogFields[IDC_FRAME_WIDTH].enabled);
    DialogFields[IDC_DRAW_FRAME].checked = true;
    UpdateNupDialogEnabling(kDialog);
    EXPECT_TRUE(DialogFields[IDC_FRAME_WIDTH].enabled);
    DialogFields[IDC_DRAW_FRAME].checked = false;
    UpdateNupDialogEnabling(kDialog);
    Settings before = working;
    Type(IDC_FRAME_WIDTH, "51");
    ExpectRefused(StoreNupDialog(kDialog, &working), before, IDC_FRAME_WIDTH,
                  "Invalid frame width");
}

TEST_F(FormatDialogTest, PostScriptDialogStoresEveryControl) {
    FillPostScriptDialog(kDialog, working);
    EXPECT_TRUE(DialogFields[IDC_PS_EOF].checked);
    EXPECT_TRUE(DialogFields[IDC_EPS_CENTER].checked);
    DialogFields[IDC_DRV_HEAD].checked = true;
    DialogFields[IDC_EPS_CENTER].checked = false;
    DialogFields[IDC_EPS_SCALE].checked = true;
    std::string prolog = "C:\\" + std::string(700, 'p') + ".ps";
    Type(IDC_PROLOG, prolog);
    ASSERT_TRUE(StorePostScriptDialog(kDialog, &working));
    EXPECT_EQ(1, working.DrvHead);
    EXPECT_EQ(2, working.PlaceEPS);
    EXPECT_EQ(prolog, working.PrologName);
}

TEST_F(FormatDialogTest, ConversionCommandOfTheShownKind) {
    std::strcpy(working.conversion[kConvPS].ConvCom, "C:\\gs\\gs.exe?-q &i ?x");
    std::strcpy(working.conversion[kConvBin].ConvCom, "no mark");
    FillConversionDialog(kDialog, working, kConvPS);
    EXPECT_EQ("C:\\gs\\gs.exe", Shown(IDC_CONV_PROGRAM));
    EXPECT_EQ("-q &i ?x", Shown(IDC_CONV_PARAMETERS));
    EXPECT_FALSE(DialogFields[IDC_CONV_PROGRAM].enabled);
    FillConversionDialog(kDialog, working, kConvBin);
    EXPECT_EQ("", Shown(IDC_CONV_PROGRAM));
    EXPECT_EQ("", Shown(IDC_CONV_PARAMETERS));

    // No program: message 58, the program field selected.
    DialogFields[IDC_CONV_ENABLE].checked = true;
    UpdateConversionDialogEnabling(kDialog);
    EXPECT_TRUE(DialogFields[IDC_CONV_BROWSE].enabled);
    Settings before = working;
    ExpectRefused(StoreConversionDialog(kDialog, &working, kConvBin), before, IDC_CONV_PROGRAM,
                  "No convertion program specified");

    // Too long together: message 57, the stored command stays.
    Type(IDC_CONV_PROGRAM, std::string(200, 'p'));
    Type(IDC_CONV_PARAMETERS, std::string(54, 'a'));
    ExpectRefused(StoreConversionDialog(kDialog, &working, kConvBin), before, IDC_CONV_PARAMETERS,
                  "Conversion command is too long");
    Type(IDC_CONV_PARAMETERS, std::string(53, 'a'));
    ASSERT_TRUE(StoreConversionDialog(kDialog, &working, kConvBin));
    EXPECT_EQ(254u, std::strlen(working.conversion[kConvBin].ConvCom));

    // No parameters: warning 60, then the program and "?".
    Type(IDC_CONV_PROGRAM, "conv.exe");
    Type(IDC_CONV_PARAMETERS, "");
    DialogFields[IDC_CONV_PRINTS].checked = true;
    ASSERT_TRUE(StoreConversionDialog(kDialog, &working, kConvBin));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("No parameters specified", ShownBoxes[0].text);
    EXPECT_EQ(kMessageWarning, ShownBoxes[0].kind);
    EXPECT_STREQ("conv.exe?", working.conversion[kConvBin].ConvCom);
    EXPECT_EQ(1, working.conversion[kConvBin].DoConv);
    EXPECT_EQ(1, working.conversion[kConvBin].ConvPrint);

    // Unchecked: only DoConv changes, whatever the fields hold.
    DialogFields[IDC_CONV_ENABLE].checked = false;
    Type(IDC_CONV_PROGRAM, "");
    DialogFields[IDC_CONV_PRINTS].checked = false;
    ASSERT_TRUE(StoreConversionDialog(kDialog, &working, kConvBin));
    EXPECT_EQ(0, working.conversion[kConvBin].DoConv);
    EXPECT_STREQ("conv.exe?", working.conversion[kConvBin].ConvCom);
    EXPECT_EQ(1, working.conversion[kConvBin].ConvPrint);
    EXPECT_STREQ("C:\\gs\\gs.exe?-q &i ?x", working.conversion[kConvPS].ConvCom);
}

// The lists come from the printer, "as the printer is set" first; what the
// set holds and the printer lacks stays shown, so that OK keeps it.
TEST_F(FormatDialogTest, PrinterPreferencesOfferThePrintersListsAndKeepTheSetsNames) {
    EditableFields = {IDC_PAPER_SOURCE, IDC_PAPER_SIZE};
    const std::vector<std::string> capture = {"as the printer is set",
                                              "Automatically Select",
                                              "Default",
                                              "Tray 1",
                                              "Tray 2",
                                              "Tray 3",
                                              "Manual Feed"};
    FillPrinterPrefsDialog(kDialog, working, CapturePrinter());
    EXPECT_EQ("Capture", Shown(IDC_PREFS_PRINTER));
    EXPECT_EQ((std::vector<std::string>{"as the printer is set", "one-sided", "two-sided-long-edge",
                                        "two-sided-short-edge"}),
              DropDownEntries[IDC_SIDES]);
    EXPECT_EQ((std::vector<std::string>{"as the printer is set", "color", "monochrome"}),
              DropDownEntries[IDC_COLOR_MODE]);
    EXPECT_EQ(capture, DropDownEntries[IDC_PAPER_SOURCE]);
    EXPECT_EQ(6u, DropDownEntries[IDC_PAPER_SIZE].size());
    for (int control : {IDC_SIDES, IDC_PAPER_SOURCE, IDC_PAPER_SIZE, IDC_COLOR_MODE})
        EXPECT_EQ("as the printer is set", Shown(control));

    Type(IDC_SIDES, "two-sided-long-edge");
    Type(IDC_PAPER_SOURCE, "Tray 2");
    Type(IDC_PAPER_SIZE, "  A4 ");
    Type(IDC_COLOR_MODE, "monochrome");
    ASSERT_TRUE(StorePrinterPrefsDialog(kDialog, &working));
    EXPECT_EQ(kSidesTwoSidedLongEdge, working.Sides);
    EXPECT_STREQ("Tray 2", working.PaperSource);
    EXPECT_STREQ("A4", working.PaperSize);
    EXPECT_EQ(kColorMonochrome, working.ColorMode);

    // A printer with one side and black only offers neither, but the set's
    // choices stay; so does a bin typed for another printer.
    ResetDialogFields();
    EditableFields = {IDC_PAPER_SOURCE, IDC_PAPER_SIZE};
    working.ColorMode = kColorColor;
    CopyText(working.PaperSource, sizeof working.PaperSource, "Tray 9");
    PrinterCapabilities plain;
    CopyText(plain.printer, sizeof plain.printer, "Plain");
    plain.twoSided = plain.color = false;
    FillPrinterPrefsDialog(kDialog, working, plain);
    EXPECT_EQ(
        (std::vector<std::string>{"as the printer is set", "one-sided", "two-sided-long-edge"}),
        DropDownEntries[IDC_SIDES]);
    EXPECT_EQ((std::vector<std::string>{"as the printer is set", "color", "monochrome"}),
              DropDownEntries[IDC_COLOR_MODE]);
    EXPECT_EQ("two-sided-long-edge", Shown(IDC_SIDES));
    EXPECT_EQ("Tray 9", Shown(IDC_PAPER_SOURCE));
    EXPECT_EQ("A4", Shown(IDC_PAPER_SIZE));
    Type(IDC_PAPER_SIZE, "As the printer is set");
    Type(IDC_SIDES, "as the printer is set");
    ASSERT_TRUE(StorePrinterPrefsDialog(kDialog, &working));
    EXPECT_STREQ("Tray 9", working.PaperSource);
    EXPECT_STREQ("", working.PaperSize);
    EXPECT_EQ(kSidesPrinter, working.Sides);
    EXPECT_EQ(kColorColor, working.ColorMode);

    // A number is no name; nor is a name longer than the settings keep.
    Settings before = working;
    Type(IDC_PAPER_SIZE, "9");
    ExpectRefused(StorePrinterPrefsDialog(kDialog, &working), before, IDC_PAPER_SIZE,
                  "A paper source is a name of at most 24 characters, a paper size one of at "
                  "most 64, and neither is a number: \"9\"");
    Type(IDC_PAPER_SIZE, "");
    Type(IDC_PAPER_SOURCE, std::string(25, 't'));
    ExpectRefused(StorePrinterPrefsDialog(kDialog, &working), before, IDC_PAPER_SOURCE,
                  ("A paper source is a name of at most 24 characters, a paper size one of at "
                   "most 64, and neither is a number: \"" +
                   std::string(25, 't') + "\"")
                      .c_str());
}

} // namespace
