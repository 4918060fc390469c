// Resource numbers of KV480keys; shared by KV480keys.rc and the code.
#pragma once

#define IDD_KEYS_EDITOR 102
#define IDD_ADD_APPLICATION 103
#define IDD_WHICH_RULE 104
#define IDD_NAME 105
#define IDD_MENU_ENTRY 106
#define IDR_MAINFRAME 128
// The remote controls' pictures of the test dialog, at 1x, 1.5x and 2x.
#include "RemotePictures.h"

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
#define IDC_SHOW_ACTIONS 1043
#define IDC_IMPORT 1044
#define IDC_EXPORT 1045
#define IDC_ADD_MODE 1046
#define IDC_RENAME_MODE 1047
// What the running KV480 uses, and its restart at the user's level.
#define IDC_RESIDENT 1048
#define IDC_RESTART_RESIDENT 1049
#define IDC_ADD_MENU 1050
// The key's controls, hidden while a menu is selected.
#define IDC_KEY_LABEL 1051
#define IDC_KEY_GROUP 1052
#define IDC_PRESS_TITLE 1015
#define IDC_LONG_TITLE 1025
#define IDC_DOUBLE_TITLE 1035
// A selected menu's entries and scanning step, in the key's place.
#define IDC_MENU_ITEMS_LABEL 1053
#define IDC_MENU_ITEMS 1054
#define IDC_ITEM_ADD 1055
#define IDC_ITEM_CHANGE 1056
#define IDC_ITEM_REMOVE 1057
#define IDC_ITEM_UP 1058
#define IDC_ITEM_DOWN 1059
#define IDC_SCAN_LABEL 1060
#define IDC_SCAN 1061
// One row per form of a key (press, long, double): the kind, the value, the
// Repeat box, the Browse button, the value's label, and in the value's place
// what another entry decides for the form, with its own label.
#define IDC_PRESS_KIND 1010
#define IDC_PRESS_VALUE 1011
#define IDC_PRESS_REPEAT 1012
#define IDC_PRESS_BROWSE 1013
#define IDC_PRESS_LABEL 1014
#define IDC_PRESS_INHERITED 1018
#define IDC_PRESS_INHERITED_LABEL 1019
#define IDC_LONG_KIND 1020
#define IDC_LONG_VALUE 1021
#define IDC_LONG_REPEAT 1022
#define IDC_LONG_BROWSE 1023
#define IDC_LONG_LABEL 1024
#define IDC_LONG_INHERITED 1028
#define IDC_LONG_INHERITED_LABEL 1029
#define IDC_DOUBLE_KIND 1030
#define IDC_DOUBLE_VALUE 1031
#define IDC_DOUBLE_REPEAT 1032
#define IDC_DOUBLE_BROWSE 1033
#define IDC_DOUBLE_LABEL 1034
#define IDC_DOUBLE_INHERITED 1038
#define IDC_DOUBLE_INHERITED_LABEL 1039

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
// The name of a mode or a menu.
#define IDC_NAME 1111
#define IDC_NAME_NOTE 1113
#define IDC_NAME_LABEL 1114
#define IDC_WHICH_MODE 1112

// A menu's entry: its label, and its action as one form of a key.
#define IDC_ENTRY_LABEL 1120
#define IDC_ENTRY_KIND 1121
#define IDC_ENTRY_VALUE 1122
#define IDC_ENTRY_REPEAT 1123
#define IDC_ENTRY_BROWSE 1124
#define IDC_ENTRY_VALUE_LABEL 1125
#define IDC_ENTRY_INHERITED 1126
#define IDC_ENTRY_INHERITED_LABEL 1127

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
