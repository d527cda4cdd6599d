#pragma once
// Numeric resource and control ids of the setup program.

// Dialog templates
#define IDD_FOLDER_CHOOSER   102
#define IDD_WELCOME          107
#define IDD_PROGRESS         108
#define IDD_START_FOLDER     109
#define IDD_LICENSE          111
#define IDD_READY            112
#define IDD_EXIT_SETUP       113
#define IDD_PROGRAM_DIR      114
#define IDD_ASSOCIATIONS     115

// Page titles (string table)
#define IDS_TITLE_LICENSE      1
#define IDS_TITLE_WELCOME      2
#define IDS_TITLE_START_FOLDER 3
#define IDS_TITLE_PROGRESS     4
#define IDS_TITLE_READY        5
#define IDS_TITLE_PROGRAM_DIR  6
#define IDS_TITLE_ASSOCIATIONS 7

// Bitmaps and icon
#define IDB_SIDE_PICTURE     101
#define IDB_STEP_CURRENT     105
#define IDB_STEP_SKIPPED     106
#define IDB_STEP_DONE        107
#define IDI_SETUP            1

// Controls
#define IDC_NETWORK            3
#define IDC_START_FOLDER_EDIT  1000
#define IDC_PATH_EDIT          1000
#define IDC_FOLDER_LIST        1001
#define IDC_EXISTING_FOLDERS   1001
#define IDC_DRIVE_LIST         1003
#define IDC_EXIT               1004
#define IDC_PATH_LABEL         1005
#define IDC_RESUME             1006
#define IDC_LICENSE_TEXT       1009
#define IDC_RESULT_LINE        1010
#define IDC_SUMMARY_TEXT       1011
#define IDC_PROGRAM_DIR_TEXT   1014
#define IDC_BROWSE             1015
#define IDC_PROGRESS_BAR       1016
#define IDC_COPYING_TEXT       1017
#define IDC_WELCOME_HEADING    1018
#define IDC_WELCOME_INTRO      1019
#define IDC_ASSOC_YES          1020
#define IDC_ASSOC_NO           1022
#define IDC_STEP_MARK_BASE     1050  // step n is shown by control 1050 + n
#define IDC_STEP_MARK_1        1051
#define IDC_STEP_MARK_2        1052
#define IDC_STEP_MARK_3        1053
#define IDC_STEP_MARK_4        1054
#define IDC_STEP_MARK_5        1055
#define IDC_STEP_MARK_6        1056
