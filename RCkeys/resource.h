// Resource numbers of KV480keys; shared by KV480keys.rc and the code.
#pragma once

#define IDD_KEYS_EDITOR 102
#define IDD_ADD_APPLICATION 103
#define IDD_WHICH_RULE 104
#define IDR_MAINFRAME 128
// The remote controls' pictures of the test dialog, at 1x, 1.5x and 2x.
#define IDB_REMOTE_VEKO 146
#define IDB_REMOTE_VEKO_150 147
#define IDB_REMOTE_VEKO_200 148
#define IDB_REMOTE_ZELMAR_OVI 145
#define IDB_REMOTE_ZELMAR_OVI_150 149
#define IDB_REMOTE_ZELMAR_OVI_200 150

// The editor's window.
#define IDC_APPS 1001
#define IDC_MOVE_UP 1002
#define IDC_MOVE_DOWN 1003
#define IDC_ADD_APP 1004
#define IDC_REMOVE_APP 1005
#define IDC_REMOTE 1006
#define IDC_RC_TYPE 1007
#define IDC_KEY 1008
#define IDC_STATUS 1040
#define IDC_WHICH 1041
#define IDC_SAVE 1042
// One row per form of a key (press, long, double): IDC_FORM_ROW + 10 * form
// + one of the offsets.
#define IDC_FORM_ROW 1010
#define FORM_KIND 0
#define FORM_VALUE 1
#define FORM_REPEAT 2
#define FORM_BROWSE 3
#define FORM_VALUE_LABEL 4

// Adding an application, and which rule answers.
#define IDC_FINDER 1101
#define IDC_WINDOWS 1102
#define IDC_READY_MADE 1103
#define IDC_APP_NAME 1104
#define IDC_APP_PROGRAM 1105
#define IDC_APP_CLASS 1106
#define IDC_APP_WINDOW 1107
#define IDC_USE_CLASS 1108
#define IDC_USE_WINDOW 1109
#define IDC_ANSWERS 1110

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
