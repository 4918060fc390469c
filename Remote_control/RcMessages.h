// Private window messages of KV480, between its own windows and threads.
#pragma once

#include <windows.h>

// Tray icon callback to the main dialog; lParam is the mouse message.
constexpr UINT WM_RC_TRAY = WM_USER + 1;
// Watch thread to main dialog, sent: wParam the thread's read buffer, lParam
// the number of bytes in it.
constexpr UINT WM_RC_DATA = WM_USER + 2;
// Watch thread to main dialog, posted: wParam the failing call's error code,
// lParam the number of the link (the open of the port) that failed.
constexpr UINT WM_RC_ERROR = WM_USER + 3;
// The key pipeline to the test dialog, posted: wParam key number, lParam repeat flag.
constexpr UINT WM_RC_TESTKEY = WM_USER + 4;
// The same, posted when the decoder ends a hold: wParam key number.
constexpr UINT WM_RC_TESTRELEASE = WM_USER + 5;
// Port opener's thread to main dialog, posted: wParam the number of the open
// that ended (CPortOpener).
constexpr UINT WM_RC_OPENED = WM_USER + 10;
// LIRC server thread to main dialog, posted once: its port is held by another
// program. wParam the port.
constexpr UINT WM_RC_LIRC_PORT_TAKEN = WM_USER + 20;
// A PC action's thread to main dialog, posted when Windows refused the
// action: wParam the action (CKeyAction::Pc), lParam Windows' error code.
constexpr UINT WM_RC_PC_REFUSED = WM_USER + 21;
// A Run line's thread to main dialog, posted when it has something to tell
// (CRunWarnings holds the text).
constexpr UINT WM_RC_RUN_WARNING = WM_USER + 22;
