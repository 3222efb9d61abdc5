// Identifiers shared between the program's code and its resources.
#pragma once

// The program's name on the host: its folders, its files' headers, its desktop window's class.
#define PROGRAM_NAME "quorix"

// Strings
#define IDS_APP_TITLE 1
#define IDS_WINDOW_CLASS 3
#define IDS_HELP 40014
#define IDS_EXIT 40016
// The texts of IDS_APP_TITLE and IDS_WINDOW_CLASS: quorix-send finds the running window by them.
#define STR_APP_TITLE TEXT("Quorix V3.12")
#define STR_WINDOW_CLASS TEXT("MYQUORIX")

// Accelerators, icon, menus, dialogs
#define IDR_ACCELERATORS 3
#define IDI_APPICON 101
#define IDR_MAINMENU 102
#define IDD_ABOUTBOX 103
#define IDD_CALC 112

// Key bitmaps
#define IDB_KEY_DIGIT 105
#define IDB_KEY_CLEAR 106
#define IDB_KEY_FUNC 107
#define IDB_KEY_PRESSED 108
#define IDB_KEY_EQUALS 109
#define IDB_KEY_MODE 110

// Main window commands
#define IDM_ABOUT 40003
#define IDM_EXIT 40004
#define IDM_HELP_CONTENTS 40006
#define IDM_UNINSTALL 40008
#define IDM_HELP_MENU 40012
// Shortcut-only commands (Ctrl+C, Ctrl+V): no menu item carries them.
#define IDM_COPY 40020
#define IDM_PASTE 40021

// Face controls. 1000..1015 stay consecutive: the digit is id - 1000.
#define IDC_DIGIT_0 1000
#define IDC_DIGIT_F 1015
#define IDC_DISPLAY_STORE 1017
#define IDC_SUB 1018
#define IDC_ADD 1019
#define IDC_MUL 1020
#define IDC_DIV 1021
#define IDC_POINT 1022
#define IDC_BASE_HEX 1023
#define IDC_BASE_DEC 1024
#define IDC_BASE_BIN 1026
#define IDC_CLEAR 1029
#define IDC_EQUALS 1030
#define IDC_MEM_CLEAR 1031
#define IDC_MEM_RECALL 1032
#define IDC_MEM_ADD 1033
#define IDC_MEM_SUB 1034
#define IDC_LOG 1035
#define IDC_LN 1036
#define IDC_BACKSPACE 1037
#define IDC_NEGATE 1038
#define IDC_SINH 1040
#define IDC_TANH 1041
#define IDC_COSH 1042
#define IDC_ANGLE_UNIT 1044
#define IDC_FACTORIAL 1046
#define IDC_AND 1048
#define IDC_OR 1049
#define IDC_XOR 1050
#define IDC_PI 1051
#define IDC_MOD 1052
#define IDC_SQUARE 1056
#define IDC_POWER 1057
#define IDC_SIN 1058
#define IDC_COS 1059
#define IDC_TAN 1060
#define IDC_SQRT 1061
#define IDC_TRIG_PANEL 1062
#define IDC_ASIN 1063
#define IDC_ACOS 1064
#define IDC_ATAN 1065
#define IDC_EXP 1066
#define IDC_POW10 1067
#define IDC_NOT 2031
