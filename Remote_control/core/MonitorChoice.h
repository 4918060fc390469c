// Which monitor the presenter's overlays go to. On two monitors the
// presenter looks at one (the window in front, the notes) and the audience at
// the other (the slide show, full screen): the blank screen covers the
// audience's, the talk timer stays on the presenter's. A monitor the user
// names overrides both. No operating system here: the desktop gives the facts.
#pragma once

#include <vector>

class MonitorChoice {
public:
    struct Rect {
        int left;
        int top;
        int right;
        int bottom;
    };

    struct Layout {
        // In the order EnumDisplayMonitors gives them.
        std::vector<Rect> monitors;
        // The monitor of the window in front; -1 when there is none.
        int nFrontMonitor = -1;
        // The monitor the system calls primary, for a desktop with nothing in front.
        int nPrimaryMonitor = 0;
        // Windows that cover a whole monitor (the slide show), other than
        // KV480's own overlays.
        std::vector<Rect> fullScreenWindows;
    };

    // No monitor named: the choice is the rule's.
    static constexpr int ANY_MONITOR = 0;

    // nNamed: the monitor the user named, 1 for the first; ANY_MONITOR or one
    // that is not there (unplugged) leaves the choice to the rule. The answer
    // is an index into layout.monitors, or -1 when there are none.
    static int ForBlankScreen(const Layout& layout, int nNamed);
    static int ForTimer(const Layout& layout, int nNamed);

private:
    static int Presenters(const Layout& layout);
    static bool Covers(const Rect& window, const Rect& monitor);
};
