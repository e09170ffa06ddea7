/* Ids of the program's resources and commands, shared by the resource script
   and the code. Plain #defines: the resource compiler reads this file too.
   Commands 1 and 2 are IDOK and IDCANCEL, so Enter on the main window prints
   and Escape or the close box exits, as a dialog's keyboard handling sends. */
#pragma once

/* Icons: the program icon has the lowest id, so the shell shows it. */
#define IDI_RAVLEN 1
#define IDI_BUSY 2

/* Dialogs */
#define IDD_MAIN 100
#define IDD_SPOOLER 101
#define IDD_MINI 102
#define IDD_ABOUT 103
#define IDD_PROGRESS 104

/* Menu and accelerators */
#define IDR_POPUP_MENU 200
#define IDR_ACCELERATORS 201

/* Commands: buttons, menu items and accelerators share these. */
#define IDC_PRINT_FILE 1 /* IDOK */
#define IDC_EXIT 2       /* IDCANCEL */
#define IDC_HELP_BUTTON 3
#define IDC_SETTINGS 4
#define IDC_ABOUT 5
#define IDC_PRINT_CLIPBOARD 120
#define IDC_FILE_INFO 126
#define IDC_TYPE_NORMAL 127
#define IDC_TYPE_MINIMAL 128
#define IDC_TYPE_FIXED_MINIMAL 129
#define IDC_ALWAYS_ON_TOP 131
#define IDC_HELP_MENU 132
#define IDC_STOP 1050
#define IDC_SETTINGS_SET_FIRST 10000 /* 10000 + k selects the k-th settings set */

/* Controls that are not commands */
#define IDC_STATUS_TEXT 1051
#define IDC_SPOOLER_TEXT 1052
#define IDC_PROGRAM_ICON 1053
#define IDC_VERSION_TEXT 1054
#define IDC_INFO_TEXT 1055

/* Installer, uninstaller and launcher shortcuts */
#define IDD_INSTALL 160
#define IDD_UNINSTALL 161
#define IDD_SHORTCUT 162
#define IDR_LAUNCHER_IMAGE 132 /* RCDATA: the launcher executable */
#define IDC_INSTALL_VERSION 1600
#define IDC_INSTALL_GROUP 1601
#define IDC_INSTALL_GROUP_NAME 1602
#define IDC_INSTALL_DESKTOP 1603
#define IDC_INSTALL_TYPES 1604
#define IDC_INSTALL_DIRECTORY 1605
#define IDC_UNINSTALL_SETTINGS 1610
#define IDC_SHORTCUT_NAME 1620
#define IDC_SHORTCUT_DESKTOP 1621
#define IDC_SHORTCUT_SENDTO 1622
#define IDC_SHORTCUT_DIRECTORY 1623
#define IDC_SHORTCUT_HELP 1624

/* Progress window */
#define IDC_PROGRESS_BAR 1056
#define IDC_PROGRESS_FILES 1057
#define IDC_PROGRESS_PERCENT 1058
