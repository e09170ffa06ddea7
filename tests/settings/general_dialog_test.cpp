// The general settings dialog's rules against a settings file of the test's
// own: previewing, saving, applying and deleting sets.
#include "settings/general_dialog.h"

#include "common/bounded_text.h"
#include "common/messages.h"
#include "resources/resource.h"
#include "settings_test_support.h"
#include "tests/doubles/dialog_fields_recorder.h"

namespace {

WindowRef const kDialog = nullptr;

class GeneralDialog : public SettingsFileTest {
  protected:
    void SetUp() override {
        SettingsFileTest::SetUp();
        ResetDialogFields();
        Settings work;
        SetDefaultSettings(&work);
        work.Lines = 50;
        work.ShowPrintDlg = 0;
        CopyText(work.PrinterName, sizeof work.PrinterName, "Gone printer");
        SaveAs("Work", work);
        Settings defaults;
        SetDefaultSettings(&defaults);
        SaveAs(DefaultSetName, defaults);
        ASSERT_TRUE(LoadSettingsSet(DefaultSetName));
        DropDownEntries[IDC_PRINTER_LIST] = {UseDefaultText, "Capture"};
        Open();
    }

    void Open() {
        BeginSettingsDialog(startName, sizeof startName);
        FillGeneralDialog(kDialog);
    }

    char startName[256];
};

TEST_F(GeneralDialog, ListsTheSetsAndTheCurrentName) {
    EXPECT_EQ((std::vector<std::string>{"Default settings", "Work"}), SettingsSetEntries());
    CopyText(CurrentSetName, sizeof CurrentSetName, "work"); // listed, in other letters
    EXPECT_EQ(2u, SettingsSetEntries().size());
    CopyText(CurrentSetName, sizeof CurrentSetName, "Applied");
    EXPECT_EQ((std::vector<std::string>{"Default settings", "Work", "Applied"}),
              SettingsSetEntries());
}

TEST_F(GeneralDialog, PreviewShowsAnotherSetWithoutTakingIt) {
    EXPECT_TRUE(DialogFields[IDC_SHOW_PRINT_DLG].checked);
    EXPECT_EQ("Use default", DialogFields[IDC_PRINTER_LIST].text);
    PreviewSettingsSet(kDialog, "Work");
    EXPECT_STREQ("Work", CurrentSetName);
    EXPECT_EQ(50, WorkingSettings.Lines);
    EXPECT_FALSE(DialogFields[IDC_SHOW_PRINT_DLG].checked);
    // A printer that is not installed leaves the box without a choice.
    EXPECT_EQ("", DialogFields[IDC_PRINTER_LIST].text);
    EXPECT_EQ(75, CurrentSettings.Lines);

    CancelSettingsDialog(startName);
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_EQ(75, CurrentSettings.Lines);
}

TEST_F(GeneralDialog, SaveWritesTheWorkingValuesUnderTheTypedName) {
    PreviewSettingsSet(kDialog, "Work");
    WorkingSettings.TabCount = 7; // as a format dialog leaves it
    DialogFields[IDC_SYS_TRAY].checked = true;
    DialogFields[IDC_FILE_TYPES].text = ".lst;";
    ASSERT_TRUE(CommitSettingsDialog(kDialog, "Letters", true));
    EXPECT_STREQ("Letters", CurrentSetName);
    EXPECT_EQ(50, CurrentSettings.Lines);
    EXPECT_EQ(7, CurrentSettings.TabCount);
    EXPECT_EQ(1, CurrentSettings.SysTray);
    // The printer that was not in the list is saved as the default printer.
    EXPECT_STREQ("", CurrentSettings.PrinterName);
    ASSERT_FALSE(SelectedPrinters.empty());
    EXPECT_EQ("", SelectedPrinters.back());
    std::string text = Text();
    EXPECT_NE(std::string::npos, text.find("Letters=1"));
    EXPECT_NE(std::string::npos,
              text.find("[Letters]\nShowPrintDlg=0\nSysTray=1\nFileTypes=.lst;\n"));
    EXPECT_NE(std::string::npos, text.find("Lines=50\nTabCount=7\n"));
}

TEST_F(GeneralDialog, ApplyPutsTheValuesInForceWithoutWriting) {
    std::string before = Text();
    DialogFields[IDC_PRINTER_LIST].text = "Capture";
    DialogFields[IDC_SHOW_PRINT_DLG].checked = false;
    ASSERT_TRUE(CommitSettingsDialog(kDialog, "Applied", false));
    EXPECT_STREQ("Applied", CurrentSetName);
    EXPECT_STREQ("Capture", CurrentSettings.PrinterName);
    EXPECT_EQ(0, CurrentSettings.ShowPrintDlg);
    EXPECT_EQ("Capture", SelectedPrinters.back());
    EXPECT_EQ(before, Text());
}

TEST_F(GeneralDialog, EmptyNameIsRefused) {
    Settings before = CurrentSettings;
    DialogFields[IDC_SHOW_PRINT_DLG].checked = false;
    EXPECT_FALSE(CommitSettingsDialog(kDialog, "", true));
    EXPECT_FALSE(DeleteSettingsCommand(kDialog, "", startName, sizeof startName));
    ASSERT_EQ(2u, ShownBoxes.size());
    EXPECT_EQ("The settings must have a name", ShownBoxes[0].text);
    EXPECT_EQ(ShownBoxes[0].text, ShownBoxes[1].text);
    EXPECT_EQ(before.ShowPrintDlg, CurrentSettings.ShowPrintDlg);
    EXPECT_STREQ("Default settings", CurrentSetName);
}

TEST_F(GeneralDialog, DefaultSetsCannotBeDeleted) {
    std::string before = Text();
    for (const char* name :
         {"Default settings", "Old Default settings 2", "default SETTINGS", "old DEFAULT Settings"})
        EXPECT_FALSE(DeleteSettingsCommand(kDialog, name, startName, sizeof startName));
    ASSERT_EQ(4u, ShownBoxes.size());
    for (const ShownBox& box : ShownBoxes)
        EXPECT_EQ("The default settings can not be deleted", box.text);
    EXPECT_EQ(before, Text());
}

// Names that the settings file would keep as something else than a set of
// their own, or not keep at all.
TEST_F(GeneralDialog, NamesTheFileCannotHoldAsASetAreRefusedEverywhere) {
    const std::string kRefused[] = {"General", "settings LIST", "INSTALL",   "a=b",
                                    "Draft]",  "[Draft",        ";Draft",    " Draft",
                                    "Draft ",  "Dr\taft",       "Draft\x7f", std::string(50, 'n')};
    std::string before = Text();
    for (const std::string& name : kRefused) {
        ResetDoubles();
        EXPECT_FALSE(CommitSettingsDialog(kDialog, name.c_str(), true)) << name;
        EXPECT_FALSE(CommitSettingsDialog(kDialog, name.c_str(), false)) << name;
        QueueMessageAnswer(kAnswerYes);
        EXPECT_FALSE(DeleteSettingsCommand(kDialog, name.c_str(), startName, sizeof startName));
        ASSERT_EQ(3u, ShownBoxes.size()) << name; // no question before the delete
        EXPECT_EQ("A settings name has at most 49 characters, no [ ] = or control characters, no "
                  "; first and no blank at either end, and is not General, Settings List or "
                  "Install: \"" +
                      name + "\"",
                  ShownBoxes[2].text);
        EXPECT_STREQ("Default settings", CurrentSetName);
    }
    EXPECT_EQ(before, Text());

    // Such characters elsewhere, and a name that fills the field, are kept.
    ResetDoubles();
    for (const std::string& name : {std::string("Draft; A4 (General)"), std::string(49, 'n')}) {
        ASSERT_TRUE(CommitSettingsDialog(kDialog, name.c_str(), true)) << name;
        ASSERT_TRUE(LoadSettingsSet(name.c_str())) << name;
    }
    EXPECT_TRUE(ShownBoxes.empty());
}

TEST_F(GeneralDialog, DeleteKnowsTheStartingSetInOtherLetters) {
    ASSERT_TRUE(LoadSettingsSet("Work"));
    Open();
    QueueMessageAnswer(kAnswerYes);
    EXPECT_TRUE(DeleteSettingsCommand(kDialog, "WORK", startName, sizeof startName));
    EXPECT_EQ(std::string::npos, Text().find("Work"));
    EXPECT_STREQ("Default settings", startName);
    // Choosing the set in force in other letters keeps the edits made so far.
    WorkingSettings.Lines = 33;
    PreviewSettingsSet(kDialog, "default settings");
    EXPECT_EQ(33, WorkingSettings.Lines);
}

TEST_F(GeneralDialog, DeleteAsksFirstAndShowsTheDefaultSet) {
    PreviewSettingsSet(kDialog, "Work");
    std::string before = Text();
    // No is the default answer.
    EXPECT_FALSE(DeleteSettingsCommand(kDialog, "Work", startName, sizeof startName));
    ASSERT_EQ(1u, ShownBoxes.size());
    EXPECT_EQ("Are you sure that you want to delete settings: Work ?", ShownBoxes[0].text);
    EXPECT_EQ(kMessageQuestion, ShownBoxes[0].kind);
    EXPECT_EQ(before, Text());

    QueueMessageAnswer(kAnswerYes);
    EXPECT_TRUE(DeleteSettingsCommand(kDialog, "Work", startName, sizeof startName));
    EXPECT_EQ(std::string::npos, Text().find("Work"));
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_EQ(75, WorkingSettings.Lines);
    EXPECT_TRUE(DialogFields[IDC_SHOW_PRINT_DLG].checked);
}

TEST_F(GeneralDialog, DeletingTheStartingSetThenCancelKeepsItsValues) {
    ASSERT_TRUE(LoadSettingsSet("Work"));
    Open();
    QueueMessageAnswer(kAnswerYes);
    EXPECT_TRUE(DeleteSettingsCommand(kDialog, "Work", startName, sizeof startName));
    EXPECT_STREQ("Default settings", startName);
    CancelSettingsDialog(startName);
    EXPECT_STREQ("Default settings", CurrentSetName);
    EXPECT_EQ(50, CurrentSettings.Lines); // in force until another set is loaded
}

} // namespace
