// The icons in the notification area, as Wine shows them on a display without
// a tray host: each icon is a window of class "__winex11_tray_icon" inside
// Wine's own "Wine System Tray" window.
#pragma once

namespace harness {

// Number of icons currently in the notification area (of any program).
int CountTrayIcons();

} // namespace harness
