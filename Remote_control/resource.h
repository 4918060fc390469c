// Resource numbers of KV480; shared by KV480.rc and the code.
#pragma once

// Hidden main dialog.
#define IDD_RC_DIALOG 102
// Popup menu of the tray icon.
#define IDR_TRAY_MENU 129
// Tray image of a receiver that is not ready (16 x 16 only).
#define IDI_NOT_READY 133
// Program icon; also the tray image of a ready receiver.
#define IDR_MAINFRAME 134

// About box, with its link to the user guide and its version label.
#define IDD_ABOUTBOX 130
#define IDC_LINK 1008
#define IDC_VERSION 1011
// Test dialog and the pictures of the two remote controls it shows.
#define IDD_TEST_DIALOG 135
// The picture's name for screen readers: the key received and what it does.
#define IDC_TEST_KEY_TEXT 1020
#include "RemotePictures.h"

// Commands of the tray menu.
#define ID_TEST_REMOTE_CONTROL 32785
#define ID_ABOUT 32788
#define ID_APP_EXIT 32790
