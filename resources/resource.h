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
#define IDD_PROGRESS 111
#define IDD_SETTINGS 104
#define IDD_TEXT_SETTINGS 105
#define IDD_PS_SETTINGS 106
#define IDD_NUP_SETTINGS 107
#define IDD_CONV_SETTINGS 108
#define IDD_SELECT_PAGES 109
#define IDD_FILE_INFO 110
#define IDD_PRINTER_PREFS 112

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

/* The general settings dialog */
#define IDC_SET_NAME 2001
#define IDC_ENABLE_SPOOLER 2002
#define IDC_SHOW_PRINT_DLG 2003
#define IDC_PREFS_DD 2004
#define IDC_QUIT_COMMAND_LINE 2005
#define IDC_NAME_IN_HEADER 2006
#define IDC_SHOW_PROGRESS 2007
#define IDC_SAVE_POS 2008
#define IDC_SYS_TRAY 2009
#define IDC_FILE_TYPES 2010
#define IDC_PRINTER_LIST 2011
#define IDC_SAVE 2012
#define IDC_APPLY 2013
#define IDC_DELETE 2014
#define IDC_SHORTCUT 2015
#define IDC_TEXT_BUTTON 2016
#define IDC_PS_BUTTON 2017
#define IDC_NUP_BUTTON 2018
#define IDC_CONV_BUTTON 2019
#define IDC_PREFS_BUTTON 2020

/* Printer preferences */
#define IDC_PREFS_PRINTER 2801
#define IDC_SIDES 2802
#define IDC_PAPER_SOURCE 2803
#define IDC_PAPER_SIZE 2804
#define IDC_COLOR_MODE 2805

/* Text file settings */
#define IDC_ACTION_PRINT 2101
#define IDC_ACTION_SEND 2102
#define IDC_ACTION_IGNORE 2103
#define IDC_LINES 2104
#define IDC_CHARS 2105
#define IDC_FONT 2106
#define IDC_HEADER 2107
#define IDC_FOOTER 2108
#define IDC_PAPER_BOUND 2109
#define IDC_TAB_WIDTH 2110
#define IDC_WRAP 2111
#define IDC_LINE_NUMBERS 2112
#define IDC_PRETTY_PRINT 2113
#define IDC_OEM_NEVER 2114
#define IDC_OEM_AUTO 2115
#define IDC_OEM_ALWAYS 2116

/* PostScript settings */
#define IDC_PS_EOF 2201
#define IDC_USE_RANGE 2202
#define IDC_DRV_HEAD 2203
#define IDC_NUP_PS 2204
#define IDC_WARN_NON_PS 2205
#define IDC_PROLOG 2206
#define IDC_PROLOG_BROWSE 2207
#define IDC_EPS_KEEP 2208
#define IDC_EPS_CENTER 2209
#define IDC_EPS_SCALE 2210
#define IDC_FRAME_EPS 2211
#define IDC_NAME_EPS 2212

/* N-up settings */
#define IDC_PAGES_WIDE 2301
#define IDC_PAGES_HIGH 2302
#define IDC_LANDSCAPE 2303
#define IDC_PORTRAIT 2304
#define IDC_HORIZONTAL 2305
#define IDC_VERTICAL 2306
#define IDC_DRAW_FRAME 2307
#define IDC_FRAME_WIDTH 2308
#define IDC_FRAME_UNIT 2309
#define IDC_MARGIN_BOX 2310
#define IDC_LEFT_MARGIN 2311
#define IDC_RIGHT_MARGIN 2312
#define IDC_TOP_MARGIN 2313
#define IDC_BOTTOM_MARGIN 2314
#define IDC_X_GUTTER 2315
#define IDC_Y_GUTTER 2316

/* Conversion settings */
#define IDC_CONV_ENABLE 2401
#define IDC_CONV_KIND 2402
#define IDC_CONV_PROGRAM 2403
#define IDC_CONV_BROWSE 2404
#define IDC_CONV_PARAMETERS 2405
#define IDC_CONV_SHOW_WINDOW 2406
#define IDC_CONV_PRINTS 2407

/* Select Pages */
#define IDC_PAGE_LIST 2501
#define IDC_PAGES_ALL 2502
#define IDC_PAGES_ODD 2503
#define IDC_PAGES_EVEN 2504

/* File Information */
#define IDC_INFO_NAME 2601
#define IDC_INFO_DESCRIPTION 2602
#define IDC_INFO_PRINT 2603

/* Print preview */
#define IDD_PREVIEW 170
#define IDC_PRINT_PREVIEW 140 /* the popup menu's "Print Preview..." */
#define IDC_PREVIEW_FIRST 2701
#define IDC_PREVIEW_PREVIOUS 2702
#define IDC_PREVIEW_NEXT 2703
#define IDC_PREVIEW_LAST 2704
#define IDC_PREVIEW_WHOLE 2705
#define IDC_PREVIEW_WIDTH 2706
#define IDC_PREVIEW_ACTUAL 2707
#define IDC_PREVIEW_PAGES 2708
#define IDC_PREVIEW_PRINT 2709
#define IDC_PREVIEW_VIEW 2710
#define IDC_PREVIEW_STATUS 2711
