#include "settings_test_support.h"

#include "common/messages.h"

#include <cstring>

bool PrinterSelectable = true;
std::vector<std::string> SelectedPrinters;

bool SelectPrinterByName(const char* name) {
    SelectedPrinters.push_back(name);
    return PrinterSelectable;
}

static Settings Defaults() {
    Settings record;
    SetDefaultSettings(&record);
    return record;
}

static std::vector<std::string> SetNames(int size = 1024) {
    std::vector<char> buffer(size, '#');
    ListSettingsSets(buffer.data(), size);
    std::vector<std::string> names;
    for (const char* name = buffer.data(); *name; name += strlen(name) + 1)
        names.push_back(name);
    return names;
}

using SettingsStoreTest = SettingsFileTest;

TEST_F(SettingsStoreTest, FreshFileGivesEveryDefaultAndIsNotCreated) {
    const Settings& s = CurrentSettings;
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_STREQ("Default settings", DefaultSetName);
    EXPECT_STREQ("Use default", UseDefaultText);

    EXPECT_EQ(1, s.EnableTextPrint);
    EXPECT_EQ(0, s.EnablePrefsDD);
    EXPECT_EQ(0, s.EnableSpooler);
    EXPECT_EQ(1, s.ShowPrintDlg);
    EXPECT_EQ(0, s.QuitFromComLine);
    EXPECT_EQ(1, s.NameInHeader);
    EXPECT_EQ(0, s.ProgrBar);
    EXPECT_EQ(0, s.SavePos);
    EXPECT_EQ(0, s.SysTray);
    EXPECT_STREQ("", s.PrinterName);
    EXPECT_STREQ("", s.FileTypes);
    EXPECT_EQ(1, s.PSEOFChar);
    EXPECT_EQ(0, s.NUpPs);
    EXPECT_EQ(1, s.UseRange);
    EXPECT_EQ(0, s.DrvHead);
    EXPECT_EQ(1, s.WarnNonPS);
    EXPECT_STREQ("", s.PrologName);
    EXPECT_EQ(1, s.PlaceEPS);
    EXPECT_EQ(0, s.FrameEPS);
    EXPECT_EQ(0, s.NameEPS);
    EXPECT_EQ(2, s.Width);
    EXPECT_EQ(1, s.Height);
    EXPECT_EQ(1, s.Landscape);
    EXPECT_EQ(1, s.AdvHoriz);
    EXPECT_EQ(1, s.Frame);
    EXPECT_EQ(0.7f, s.LeftMarg);
    EXPECT_EQ(0.35f, s.RightMarg);
    EXPECT_EQ(0.35f, s.TopMarg);
    EXPECT_EQ(0.35f, s.BottomMarg);
    EXPECT_EQ(0.1f, s.xGutter);
    EXPECT_EQ(0.1f, s.yGutter);
    EXPECT_EQ(0.003f, s.FrameWidth);
    EXPECT_EQ(0, s.SizeOp);
    EXPECT_EQ(75, s.Lines);
    EXPECT_EQ(80, s.Chars);
    EXPECT_EQ(3, s.TabCount);
    EXPECT_EQ(0, s.LineNo);
    EXPECT_EQ(0, s.PrettyPrint);
    EXPECT_EQ(0, s.OEMTrans);
    EXPECT_EQ(0, s.WrapLines);
    EXPECT_STREQ("Courier", s.FontName);
    EXPECT_STREQ("&f&c&d&rPage &#(&t)", s.HeaderStr);
    EXPECT_STREQ("", s.FooterStr);
    EXPECT_EQ(0, s.PprBndHd);
    for (const ConversionSettings& c : s.conversion) {
        EXPECT_EQ(0, c.DoConv);
        EXPECT_EQ(0, c.ShowConvWind);
        EXPECT_EQ(0, c.ConvPrint);
        EXPECT_STREQ("", c.ConvCom);
    }
    EXPECT_EQ(10, s.SpoolRetries);
    EXPECT_STREQ("", s.SpoolFailedDir);

    EXPECT_EQ(std::vector<std::string>{"Default settings"}, SetNames());
    int type, onTop, left, top;
    EXPECT_FALSE(ReadWindowPlacement(&type, &onTop, &left, &top));
    EXPECT_EQ(std::vector<std::string>{""}, SelectedPrinters);
    EXPECT_FALSE(PathExists(file.c_str()));
}

TEST_F(SettingsStoreTest, SavingTheDefaultsWritesOnlyVersionAndList) {
    TransferSettings(&CurrentSettings, kWriteSettings);
    EXPECT_EQ("[General]\nVersion=2.1.5\n[Settings List]\nDefault settings=1\n", Text());
}

TEST_F(SettingsStoreTest, SavingWritesWhatDiffersInTableOrderAndDeletesDefaults) {
    Settings record = Defaults();
    record.conversion[kConvBin].ConvPrint = 1;
    CopyText(record.FooterStr, sizeof record.FooterStr, "&p");
    record.Lines = 60;
    record.LeftMarg = 1.25f;
    record.FrameWidth = 0.01f;
    record.EnableTextPrint = -1;
    SaveAs("Work", record);
    EXPECT_EQ("[General]\nVersion=2.1.5\n"
              "[Settings List]\nDefault settings=1\nWork=1\n"
              "[Work]\nEnableTextPrint=-1\nLeftMarg=1.250000\nFrameWidth=0.010000\nLines=60\n"
              "FooterStr=&p\nConvPrintBin=1\n",
              Text());

    record.LeftMarg = 0.7f;
    record.EnableTextPrint = 1;
    CopyText(record.FooterStr, sizeof record.FooterStr, "");
    SaveAs("Work", record);
    EXPECT_EQ("[General]\nVersion=2.1.5\n"
              "[Settings List]\nDefault settings=1\nWork=1\n"
              "[Work]\nFrameWidth=0.010000\nLines=60\nConvPrintBin=1\n",
              Text());
}

TEST_F(SettingsStoreTest, ReadingBackGivesTheSavedRecord) {
    Settings record = Defaults();
    record.TopMarg = 0.123456f;
    record.Chars = 132;
    CopyText(record.PrinterName, sizeof record.PrinterName, "Office laser");
    CopyText(record.conversion[kConvTxt].ConvCom, sizeof record.conversion[kConvTxt].ConvCom,
             "conv.exe ? &i &o");
    SaveAs("Work", record);
    ASSERT_TRUE(LoadSettingsSet("Work"));
    EXPECT_EQ(0.123456f, CurrentSettings.TopMarg);
    EXPECT_EQ(132, CurrentSettings.Chars);
    EXPECT_STREQ("Office laser", CurrentSettings.PrinterName);
    EXPECT_STREQ("conv.exe ? &i &o", CurrentSettings.conversion[kConvTxt].ConvCom);
    EXPECT_EQ("Office laser", SelectedPrinters.back());
}

// The profile functions take blanks and one pair of quotes off a value.
TEST_F(SettingsStoreTest, TextsWithQuotesOrOuterBlanksSurviveASave) {
    Settings record = Defaults();
    const char* command = "\"C:\\Program Files\\gs\\gs.exe\" ? -q \"&i\"";
    CopyText(record.conversion[kConvPS].ConvCom, sizeof record.conversion[kConvPS].ConvCom,
             command);
    CopyText(record.HeaderStr, sizeof record.HeaderStr, "  &f  ");
    CopyText(record.FooterStr, sizeof record.FooterStr, "'x'");
    SaveAs("Work", record);
    ASSERT_TRUE(LoadSettingsSet("Work"));
    EXPECT_STREQ(command, CurrentSettings.conversion[kConvPS].ConvCom);
    EXPECT_STREQ("  &f  ", CurrentSettings.HeaderStr);
    EXPECT_STREQ("'x'", CurrentSettings.FooterStr);
}

TEST_F(SettingsStoreTest, HandEditedValuesThatDoNotScanKeepThePreviousSetsValues) {
    HandEdit("[Settings List]\nFirst=1\nSecond=1\n"
             "[First]\nLines=60\nLeftMarg=1.5\nTopMarg=1\nRightMarg=1\nTabCount=5\n"
             "[Second]\nLines=abc\nLeftMarg=nan\nTopMarg=0x1p3\nRightMarg=inf\n"
             "TabCount=  7  \nChars=12345678901\nxGutter=.5\n");
    ASSERT_TRUE(LoadSettingsSet("First"));
    ASSERT_TRUE(LoadSettingsSet("Second"));
    EXPECT_EQ(60, CurrentSettings.Lines);
    EXPECT_EQ(1.5f, CurrentSettings.LeftMarg);
    EXPECT_EQ(0.0f, CurrentSettings.TopMarg); // only the decimal "0" of "0x1p3" counts
    EXPECT_EQ(1.0f, CurrentSettings.RightMarg);
    EXPECT_EQ(7, CurrentSettings.TabCount);
    // At most nine characters are read, and 123456789 is beyond the range.
    EXPECT_EQ(500, CurrentSettings.Chars);
    EXPECT_EQ(0.5f, CurrentSettings.xGutter);
}

// A cut command, prolog or printer name would be some other one: a text
// that does not fit its field is refused whole and warned about once.
TEST_F(SettingsStoreTest, TextsTooLongForTheirFieldsReadAsDefaultsWithOneWarning) {
    HandEdit("[Settings List]\nWork=1\n"
             "[Default settings]\nHeaderStr=" +
             std::string(300, 'h') + "\nPrologName=" + std::string(400, 'p') +
             "\nFooterStr=" + std::string(254, 'f') + "\nFontName=" + std::string(255, 'n') +
             "\nPrinterName=\"" + std::string(255, 'q') + "\"\nConvComPS=" + std::string(255, 'c') +
             "\nConvComTxt=" + std::string(256, 't') +
             "\n[Work]\nConvComBin=" + std::string(1000, 'b') + "\nLines=60\n");
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    const Settings& s = CurrentSettings;
    EXPECT_STREQ("&f&c&d&rPage &#(&t)", s.HeaderStr);
    EXPECT_EQ(std::string(400, 'p'), s.PrologName); // its field holds a whole path
    EXPECT_EQ(std::string(254, 'f'), s.FooterStr);
    EXPECT_STREQ("Courier", s.FontName);
    // In quotes, one character too many would otherwise come back looking whole.
    EXPECT_STREQ("", s.PrinterName);
    EXPECT_EQ(std::string(255, 'c'), s.conversion[kConvPS].ConvCom);
    EXPECT_STREQ("", s.conversion[kConvTxt].ConvCom);
    ASSERT_EQ(4u, ShownBoxes.size());
    EXPECT_EQ(kMessageWarning, ShownBoxes[0].kind);
    EXPECT_EQ("The value of PrinterName (settings \"Default settings\") is too long and is not "
              "used; its default applies instead",
              ShownBoxes[0].text);
    EXPECT_NE(std::string::npos, ShownBoxes[1].text.find("FontName"));
    EXPECT_NE(std::string::npos, ShownBoxes[2].text.find("HeaderStr"));
    EXPECT_NE(std::string::npos, ShownBoxes[3].text.find("ConvComTxt"));

    // Reloading the same set says nothing new; another set speaks for itself.
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    EXPECT_EQ(4u, ShownBoxes.size());
    ASSERT_TRUE(LoadSettingsSet("Work"));
    EXPECT_STREQ("", CurrentSettings.conversion[kConvBin].ConvCom);
    EXPECT_EQ(60, CurrentSettings.Lines);
    ASSERT_EQ(5u, ShownBoxes.size());
    EXPECT_NE(std::string::npos, ShownBoxes[4].text.find("ConvComBin (settings \"Work\")"));
    ASSERT_TRUE(LoadSettingsSet("Work"));
    EXPECT_EQ(5u, ShownBoxes.size());
}

// The printer preferences are stored by name; what the file holds that no
// driver could mean is refused once and reads as the printer is set.
TEST_F(SettingsStoreTest, PrinterPreferencesAreNamesAndBadOnesReadAsThePrinterIsSet) {
    const struct {
        const char* lines; // of the set's section
        int sides, colorMode;
        const char *source, *size;
        const char* refused; // the key of the one warning, if any
    } cases[] = {
        {"Sides=two-sided-long-edge\nColorMode=monochrome\nPaperSource=Tray 2\nPaperSize=A4\n",
         kSidesTwoSidedLongEdge, kColorMonochrome, "Tray 2", "A4", nullptr},
        {"Sides=Two-Sided-Short-Edge\nColorMode=COLOR\n", kSidesTwoSidedShortEdge, kColorColor, "",
         "", nullptr},
        {"Sides=one-sided\nColorMode=printer\nPaperSize=10x14\n", kSidesOneSided, kColorPrinter, "",
         "10x14", nullptr},
        {"Sides=duplex\n", kSidesPrinter, kColorPrinter, "", "", "Sides"},
        {"Sides=2\n", kSidesPrinter, kColorPrinter, "", "", "Sides"},
        {"ColorMode=grey\n", kSidesPrinter, kColorPrinter, "", "", "ColorMode"},
        {"Sides=\n", kSidesPrinter, kColorPrinter, "", "", nullptr},
        {"PaperSize=9\n", kSidesPrinter, kColorPrinter, "", "", "PaperSize"},
        {"PaperSource=-260\n", kSidesPrinter, kColorPrinter, "", "", "PaperSource"},
        {"PaperSize=21.0\n", kSidesPrinter, kColorPrinter, "", "", "PaperSize"},
        {"PaperSource=Upper tray of the second finisher\n", kSidesPrinter, kColorPrinter, "", "",
         "PaperSource"},
        {"PaperSize=A very long paper name that a driver would never give to any form, no\n",
         kSidesPrinter, kColorPrinter, "", "", "PaperSize"},
        {"Sides=two-sided-long-edge-twice-over-and-more\n", kSidesPrinter, kColorPrinter, "", "",
         "Sides"},
    };
    int set = 0;
    for (const auto& c : cases) {
        // A set of its own for each case: each refusal is reported once per set.
        std::string name = "Case " + std::to_string(++set);
        HandEdit("[Settings List]\n" + name + "=1\n[" + name + "]\n" + c.lines);
        ShownBoxes.clear();
        ASSERT_TRUE(LoadSettingsSet(name.c_str()));
        const Settings& s = CurrentSettings;
        EXPECT_EQ(c.sides, s.Sides) << c.lines;
        EXPECT_EQ(c.colorMode, s.ColorMode) << c.lines;
        EXPECT_STREQ(c.source, s.PaperSource) << c.lines;
        EXPECT_STREQ(c.size, s.PaperSize) << c.lines;
        if (!c.refused) {
            EXPECT_TRUE(ShownBoxes.empty()) << c.lines;
            continue;
        }
        ASSERT_EQ(1u, ShownBoxes.size()) << c.lines;
        EXPECT_EQ(kMessageWarning, ShownBoxes[0].kind);
        EXPECT_NE(std::string::npos,
                  ShownBoxes[0].text.find(std::string("The value of ") + c.refused +
                                          " (settings \"" + name + "\") is "))
            << ShownBoxes[0].text;
        ASSERT_TRUE(LoadSettingsSet(name.c_str()));
        EXPECT_EQ(1u, ShownBoxes.size()) << c.lines;
    }

    // Saved by name, in the letter case of the names, after every other key;
    // a preference left to the printer is not written.
    Settings record = Defaults();
    record.Sides = kSidesTwoSidedShortEdge;
    record.ColorMode = kColorColor;
    CopyText(record.PaperSource, sizeof record.PaperSource, "Manual Feed");
    SaveAs("Prefs", record);
    EXPECT_NE(std::string::npos, Text().find("[Prefs]\nSides=two-sided-short-edge\n"
                                             "PaperSource=Manual Feed\nColorMode=color\n"));
    ASSERT_TRUE(LoadSettingsSet("Prefs"));
    EXPECT_EQ(kSidesTwoSidedShortEdge, CurrentSettings.Sides);
    EXPECT_STREQ("Manual Feed", CurrentSettings.PaperSource);
    record.Sides = kSidesPrinter;
    record.ColorMode = kColorPrinter;
    record.PaperSource[0] = '\0';
    SaveAs("Prefs", record);
    std::string text = Text();
    std::string section = text.substr(text.find("[Prefs]"));
    EXPECT_EQ(std::string::npos, section.find("Sides=")) << section;
    EXPECT_EQ(std::string::npos, section.find("ColorMode=")) << section;
}

// Extreme numbers once made the n-up page loop overflow and never end.
TEST_F(SettingsStoreTest, NumbersBeyondTheirRangeTakeTheNearestBound) {
    HandEdit("[Default settings]\nWidth=715827883\nHeight=0\nLines=1\nChars=9999\n"
             "TabCount=0\nPlaceEPS=-3\nEnableTextPrint=-5\nSizeOp=3\nOEMTrans=9\nFrame=7\n"
             "LineNo=-1\nDoConvPS=2\nLeftMarg=-1\nRightMarg=1e3\nTopMarg=50.5\n"
             "xGutter=-0.5\nFrameWidth=5\nSpoolRetries=-2\n");
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    const Settings& s = CurrentSettings;
    EXPECT_EQ(100, s.Width);
    EXPECT_EQ(1, s.Height);
    EXPECT_EQ(2, s.Lines);
    EXPECT_EQ(500, s.Chars);
    EXPECT_EQ(1, s.TabCount);
    EXPECT_EQ(0, s.PlaceEPS);
    EXPECT_EQ(-1, s.EnableTextPrint);
    EXPECT_EQ(2, s.SizeOp);
    EXPECT_EQ(2, s.OEMTrans);
    EXPECT_EQ(1, s.Frame);
    EXPECT_EQ(0, s.LineNo);
    EXPECT_EQ(1, s.conversion[kConvPS].DoConv);
    EXPECT_EQ(0.0f, s.LeftMarg);
    EXPECT_EQ(50.0f, s.RightMarg);
    EXPECT_EQ(50.0f, s.TopMarg);
    EXPECT_EQ(0.0f, s.xGutter);
    EXPECT_EQ(1.0f, s.FrameWidth);
    EXPECT_EQ(0, s.SpoolRetries);
    EXPECT_TRUE(ShownBoxes.empty());

    // The bounds themselves are kept as they are.
    HandEdit("[Default settings]\nWidth=100\nHeight=1\nLines=500\nChars=2\nTabCount=25\n"
             "EnableTextPrint=-1\nLeftMarg=0\nRightMarg=50\nFrameWidth=1\n");
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    EXPECT_EQ(100, s.Width);
    EXPECT_EQ(500, s.Lines);
    EXPECT_EQ(2, s.Chars);
    EXPECT_EQ(25, s.TabCount);
    EXPECT_EQ(-1, s.EnableTextPrint);
    EXPECT_EQ(50.0f, s.RightMarg);
    EXPECT_EQ(1.0f, s.FrameWidth);
}

TEST_F(SettingsStoreTest, OnlyListedSetsOrNamesWithTheDefaultNameLoad) {
    HandEdit("[Settings List]\nWork=1\nHalf=\n"
             "[Work]\nLines=60\n[Half]\nLines=61\n[Old Default settings]\nLines=62\n");
    EXPECT_FALSE(LoadSettingsSet("Missing"));
    EXPECT_FALSE(LoadSettingsSet("Half"));
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_EQ(75, CurrentSettings.Lines);

    EXPECT_TRUE(LoadSettingsSet("work"));
    EXPECT_STREQ("work", CurrentSetName);
    EXPECT_EQ(60, CurrentSettings.Lines);
    EXPECT_TRUE(LoadSettingsSet("Old Default settings"));
    EXPECT_EQ(62, CurrentSettings.Lines);
    ASSERT_TRUE(LoadSettingsSet("Default settings"));
    EXPECT_TRUE(LoadSettingsSet("old DEFAULT SETTINGS"));
    EXPECT_EQ(62, CurrentSettings.Lines);
    EXPECT_TRUE(LoadSettingsSet("Default settings, unsaved"));
    EXPECT_EQ(75, CurrentSettings.Lines);
}

// A cut name would be some other set, a cut file name some other file.
TEST_F(SettingsStoreTest, NamesLongerThanTheirBuffersAreRefused) {
    std::string longName = "Default settings " + std::string(250, 'n');
    EXPECT_FALSE(LoadSettingsSet(longName.c_str()));
    EXPECT_STREQ("Default settings", CurrentSetName);
    std::string fitting = "Default settings " + std::string(238, 'n');
    EXPECT_TRUE(LoadSettingsSet(fitting.c_str()));

    std::string longFile = directory + "\\" + std::string(300, 'f') + ".ini";
    EXPECT_FALSE(SelectSettingsFile(longFile.c_str()));
    EXPECT_EQ(file, SettingsFileName);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(kMessageError, ShownBoxes[0].kind);
}

TEST_F(SettingsStoreTest, SetsAreListedInFileOrderAndDeletedWithTheirSection) {
    SaveAs("Zeta", Defaults());
    Settings changed = Defaults();
    changed.Lines = 10;
    SaveAs("Alpha", changed);
    EXPECT_EQ((std::vector<std::string>{"Default settings", "Zeta", "Alpha"}), SetNames());

    DeleteSettingsSet("alpha");
    EXPECT_EQ((std::vector<std::string>{"Default settings", "Zeta"}), SetNames());
    EXPECT_EQ(std::string::npos, Text().find("Alpha"));
    EXPECT_EQ(std::string::npos, Text().find("Lines"));
}

// The menu walks the names to the empty one; a name cut at the end of the
// buffer would not load.
TEST_F(SettingsStoreTest, ASmallListBufferHoldsWholeNamesOnly) {
    SaveAs("Second set", Defaults());
    EXPECT_EQ((std::vector<std::string>{"Default settings"}), SetNames(24));
    // Filling the buffer to its last two bytes looks the same as a cut name.
    EXPECT_EQ((std::vector<std::string>{"Default settings"}), SetNames(29));
    EXPECT_EQ((std::vector<std::string>{"Default settings", "Second set"}), SetNames(30));
    EXPECT_EQ((std::vector<std::string>{}), SetNames(2));
}

TEST_F(SettingsStoreTest, WindowPlacementIsKeptOnlyWithSavePos) {
    SaveWindowPlacement(127, 1, 10, 20);
    EXPECT_EQ("(none)", Text());

    CurrentSettings.SavePos = 1;
    TransferSettings(&CurrentSettings, kWriteSettings);
    SaveWindowPlacement(128, 5, -10, 20);
    int type, onTop, left, top;
    ASSERT_TRUE(ReadWindowPlacement(&type, &onTop, &left, &top));
    EXPECT_EQ(128, type);
    EXPECT_EQ(1, onTop);
    EXPECT_EQ(-10, left);
    EXPECT_EQ(20, top);
    EXPECT_NE(std::string::npos, Text().find("DlgPos=128 5 -10 20\n"));

    CurrentSettings.SavePos = 0;
    TransferSettings(&CurrentSettings, kWriteSettings);
    EXPECT_EQ(std::string::npos, Text().find("DlgPos"));
}

TEST_F(SettingsStoreTest, IncompletePlacementsReadAsNone) {
    int type, onTop, left, top;
    for (const char* value : {"1 2 3", "a b c d", "1 2 3 99999999999", "129,0,1,2"}) {
        HandEdit(std::string("[Default settings]\nDlgPos=") + value + "\n");
        EXPECT_FALSE(ReadWindowPlacement(&type, &onTop, &left, &top)) << value;
    }
    HandEdit("[Default settings]\nDlgPos=  129 0 -5 7 trailing\n");
    EXPECT_TRUE(ReadWindowPlacement(&type, &onTop, &left, &top));
    EXPECT_EQ(129, type);
    EXPECT_EQ(0, onTop);
}

TEST_F(SettingsStoreTest, APrinterThatCannotBeUsedIsAWarningAndTheSetStays) {
    HandEdit("[Settings List]\nWork=1\n[Work]\nPrinterName=Gone printer\nLines=50\n");
    PrinterSelectable = false;
    EXPECT_TRUE(LoadSettingsSet("Work"));
    EXPECT_EQ(50, CurrentSettings.Lines);
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ(kMessageWarning, ShownBoxes[0].kind);
    EXPECT_NE(std::string::npos, ShownBoxes[0].text.find("Failed to use printer \"Gone printer\""));
}

TEST_F(SettingsStoreTest, ABareFileNameLivesInTheWindowsDirectory) {
    char windows[kPathSize];
    ASSERT_TRUE(WindowsDirectory(windows, sizeof windows));
    std::string name = std::string(FileNameOf(directory.c_str())) + ".ini";
    ASSERT_TRUE(SelectSettingsFile(name.c_str()));
    TransferSettings(&CurrentSettings, kWriteSettings);
    std::string expected = std::string(windows) + "\\" + name;
    EXPECT_TRUE(PathExists(expected.c_str()));
    RemoveFile(expected.c_str());
}
