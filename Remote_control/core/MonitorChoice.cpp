#include "MonitorChoice.h"

#include <cstddef>

int MonitorChoice::ForBlankScreen(const Layout& layout, int nNamed) {
    const int nCount = static_cast<int>(layout.monitors.size());
    if (nNamed >= 1 && nNamed <= nCount) {
        return nNamed - 1;
    }
    const int nPresenters = Presenters(layout);
    for (int nMonitor = 0; nMonitor < nCount; ++nMonitor) {
        if (nMonitor == nPresenters) {
            continue;
        }
        for (const Rect& window : layout.fullScreenWindows) {
            if (Covers(window, layout.monitors[static_cast<std::size_t>(nMonitor)])) {
                return nMonitor;
            }
        }
    }
    // One monitor, or no show on another: the screen the presenter shows.
    return nPresenters;
}

int MonitorChoice::ForTimer(const Layout& layout, int nNamed) {
    const int nCount = static_cast<int>(layout.monitors.size());
    if (nNamed >= 1 && nNamed <= nCount) {
        return nNamed - 1;
    }
    return Presenters(layout);
}

int MonitorChoice::Presenters(const Layout& layout) {
    const int nCount = static_cast<int>(layout.monitors.size());
    if (nCount == 0) {
        return -1;
    }
    if (layout.nFrontMonitor >= 0 && layout.nFrontMonitor < nCount) {
        return layout.nFrontMonitor;
    }
    return layout.nPrimaryMonitor >= 0 && layout.nPrimaryMonitor < nCount ? layout.nPrimaryMonitor
                                                                          : 0;
}

bool MonitorChoice::Covers(const Rect& window, const Rect& monitor) {
    // A full-screen window may reach beyond its monitor by its borders.
    return window.left <= monitor.left && window.top <= monitor.top &&
           window.right >= monitor.right && window.bottom >= monitor.bottom;
}
