#pragma once

// Identifiers shared by the resource scripts and the code.

// The program's icon: the window's, and the notification area's.
#define IDI_KIV 1

// The input box dialog and its controls.
#define IDD_INPUT_BOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102
