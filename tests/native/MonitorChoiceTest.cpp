// Which monitor the blank screen and the talk timer go to, over layouts of
// one to three monitors.
#include "MonitorChoice.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Layout = MonitorChoice::Layout;
using Rect = MonitorChoice::Rect;

const Rect LAPTOP{0, 0, 1280, 1024};
const Rect PROJECTOR{1280, 0, 2304, 768};
// Left of the primary monitor: negative coordinates.
const Rect LEFT{-1920, 0, 0, 1080};

Layout TwoMonitors(int nFront, std::vector<Rect> fullScreen) {
    Layout layout;
    layout.monitors = {LAPTOP, PROJECTOR};
    layout.nFrontMonitor = nFront;
    layout.fullScreenWindows = std::move(fullScreen);
    return layout;
}

TEST(MonitorChoiceTest, TheBlankScreenCoversTheShowOnTheOtherMonitor) {
    // Notes in front on the laptop, the show full screen on the projector.
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(TwoMonitors(0, {PROJECTOR}), 0));
    // A full-screen window with borders beyond its monitor.
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(TwoMonitors(0, {{1272, -8, 2312, 776}}), 0));
    // The show in front on the projector, nothing full screen elsewhere.
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(TwoMonitors(1, {PROJECTOR}), 0));
    // No show anywhere: the monitor of the window in front.
    EXPECT_EQ(0, MonitorChoice::ForBlankScreen(TwoMonitors(0, {}), 0));
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(TwoMonitors(1, {}), 0));
    // A window that covers part of the other monitor is no show.
    EXPECT_EQ(0, MonitorChoice::ForBlankScreen(TwoMonitors(0, {{1280, 0, 2000, 768}}), 0));
    // Full screen on the presenter's monitor only: that one.
    EXPECT_EQ(0, MonitorChoice::ForBlankScreen(TwoMonitors(0, {LAPTOP}), 0));

    Layout three = TwoMonitors(1, {LEFT});
    three.monitors = {LAPTOP, PROJECTOR, LEFT};
    EXPECT_EQ(2, MonitorChoice::ForBlankScreen(three, 0));
}

TEST(MonitorChoiceTest, TheTimerStaysWithTheWindowInFront) {
    EXPECT_EQ(0, MonitorChoice::ForTimer(TwoMonitors(0, {PROJECTOR}), 0));
    EXPECT_EQ(1, MonitorChoice::ForTimer(TwoMonitors(1, {PROJECTOR}), 0));
    // Nothing in front: the primary monitor.
    Layout idle = TwoMonitors(-1, {});
    idle.nPrimaryMonitor = 1;
    EXPECT_EQ(1, MonitorChoice::ForTimer(idle, 0));
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(idle, 0));
    EXPECT_EQ(-1, MonitorChoice::ForTimer(Layout(), 0));
    EXPECT_EQ(-1, MonitorChoice::ForBlankScreen(Layout(), 0));
}

TEST(MonitorChoiceTest, ANamedMonitorOverridesBothWhileItIsThere) {
    const Layout layout = TwoMonitors(0, {PROJECTOR});
    EXPECT_EQ(0, MonitorChoice::ForBlankScreen(layout, 1));
    EXPECT_EQ(1, MonitorChoice::ForTimer(layout, 2));
    // Unplugged, or never there: the rule decides.
    EXPECT_EQ(1, MonitorChoice::ForBlankScreen(layout, 3));
    EXPECT_EQ(0, MonitorChoice::ForTimer(layout, 3));
    EXPECT_EQ(0, MonitorChoice::ForTimer(layout, -1));
}

} // namespace
