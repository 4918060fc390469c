// Where the programs keep their settings: one key under HKEY_LOCAL_MACHINE,
// the autostart entry under the Run key, and each user's own choices under
// HKEY_CURRENT_USER.
#pragma once

namespace settings {

// Settings key and its values.
constexpr const char* SETTINGS_KEY = "SOFTWARE\\VEKO\\KV480";
constexpr const char* VALUE_ADDRESS = "Address";                     // REG_DWORD, 0 to 65535
constexpr const char* VALUE_COMM_PORT = "CommPort";                  // REG_DWORD, n of COMn
constexpr const char* VALUE_RC_TYPE = "RC_type";                     // REG_DWORD, RcType
constexpr const char* VALUE_RUN_AFTER_START = "RunAfterStartSystem"; // REG_DWORD, 1 or 0
constexpr const char* VALUE_PATH = "Path"; // REG_SZ, install directory with trailing backslash
constexpr const char* VALUE_LIRC_PORT = "LircPort"; // REG_DWORD, TCP port; absent 8765, 0 none

// Autostart: REG_SZ holding Path followed by the program file name.
constexpr const char* RUN_KEY = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* RUN_VALUE = "Veko - Remote Control";

// Each user's own choices, which need no administrator: KV480 reads them at
// every key, so a change counts from the next one.
constexpr const char* USER_KEY = "Software\\VEKO\\KV480";
constexpr const char* VALUE_SHOW_ACTIONS = "ShowActions"; // REG_DWORD, 1: the on-screen note
// The on-screen menu: its text's height in percent of the monitor's (absent:
// 3), the seconds an untouched menu stays (absent: 30; 0: until closed), and
// the keyboard's scan step in milliseconds (absent or 0: no scanning).
constexpr const char* VALUE_MENU_TEXT_HEIGHT = "MenuTextHeight"; // REG_DWORD
constexpr const char* VALUE_MENU_TIMEOUT = "MenuTimeout";        // REG_DWORD
constexpr const char* VALUE_KEYBOARD_SCAN = "KeyboardScan";      // REG_DWORD

// Stored in VALUE_RC_TYPE.
enum RcType : unsigned int { RC_TYPE_VEKO = 0, RC_TYPE_ZELMAR_OVI = 1 };

} // namespace settings
