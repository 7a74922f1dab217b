#pragma once

// Identifiers shared by the resource scripts and the code.

// The program's icon: the window's, and the notification area's.
#define IDI_KIV 1

// The input box dialog and its controls.
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102

// The Options dialog of a task and its controls.
#define IDD_TASK_OPTIONS 110
#define IDC_OPTIONS_WAIT_LABEL 111
#define IDC_OPTIONS_WAIT 112
#define IDC_OPTIONS_WAIT_SPIN 113
#define IDC_OPTIONS_HAS_TIME_LIMIT 114
#define IDC_OPTIONS_TIME_LIMIT 115
#define IDC_OPTIONS_TIME_LIMIT_SPIN 116
#define IDC_OPTIONS_HAS_CATCH_UP 117
#define IDC_OPTIONS_CATCH_UP 118
#define IDC_OPTIONS_CATCH_UP_SPIN 119
#define IDC_OPTIONS_LOCKED_NOTE 120
#define IDC_OPTIONS_BACKUPS_LABEL 121
#define IDC_OPTIONS_BACKUPS 122
#define IDC_OPTIONS_BACKUPS_SPIN 123
#define IDC_OPTIONS_FOLDER_LABEL 124
#define IDC_OPTIONS_FOLDER 125
