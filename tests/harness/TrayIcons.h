// The icons in the notification area, as Wine shows them on a display without
// a tray host: each icon is a window of class "__winex11_tray_icon" inside
// Wine's own "Wine System Tray" window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

// Number of icons currently in the notification area (of any program).
int CountTrayIcons();

// Whether an icon in the notification area shows at least a few pixels of
// exactly this colour (a COLORREF), as read from the screen.
bool TrayIconShowsColour(unsigned long colour);
// The window of the first icon, or nullptr: Wine makes a new one each time an
// icon is added, so a changed handle shows that the icon was replaced.
HWND FirstTrayIcon();

// The texts of the visible balloons: Wine shows a balloon as a tooltip
// window of its tray. KV480 breaks a balloon's lines at spaces, and these
// texts have those breaks as spaces again.
std::vector<std::string> BalloonTexts();

} // namespace harness
