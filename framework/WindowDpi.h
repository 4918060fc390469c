// The DPI a window is shown at and the size of a window frame at a DPI. The
// per-monitor functions exist from Windows 10 1607 on; before that (and where
// they are missing) both answer for the system DPI, which is then what every
// window of a DPI-aware program gets.
#pragma once

#include <windows.h>

namespace framework {

// The DPI of the window's monitor; the system DPI without per-monitor support.
UINT GetWindowDpi(HWND hWnd);

// Outer minus client size of a window of these styles at nDpi.
SIZE GetFrameSizeForDpi(DWORD dwStyle, DWORD dwExStyle, UINT nDpi);

} // namespace framework
