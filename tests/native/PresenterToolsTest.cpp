// The presenter's tools without the desktop: which are on, the talk timer's
// text and phases, where the overlays go and when they are redrawn.
#include "CFramePacer.h"
#include "COverlayGeometry.h"
#include "CPresenterTools.h"
#include "CTalkTimer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

using Phase = CTalkTimer::Phase;
using Rect = COverlayGeometry::Rect;

CKeyAction Action(const std::string& value) {
    CKeyAction action;
    std::string reason;
    EXPECT_TRUE(action.Parse(value, reason)) << value << ": " << reason;
    return action;
}

TEST(TalkTimerTest, CountsDownInWholeSecondsThenCountsTheTimeOver) {
    const CTalkTimer timer(7 * 60);
    EXPECT_EQ("7:00", timer.Text(0));
    EXPECT_EQ("7:00", timer.Text(999)) << "a second shows until it has passed";
    EXPECT_EQ("6:59", timer.Text(1000));
    EXPECT_EQ("0:01", timer.Text(7 * 60000 - 1));
    EXPECT_EQ("0:00", timer.Text(7 * 60000));
    EXPECT_EQ("0:00", timer.Text(7 * 60000 + 999));
    EXPECT_EQ("-0:05", timer.Text(7 * 60000 + 5000));
    EXPECT_EQ("-1:02", timer.Text(7 * 60000 + 62500));
    EXPECT_EQ("100:00", CTalkTimer(6000).Text(0));
}

TEST(TalkTimerTest, ChangesAtFiveAndTwoMinutesAndAtTheEndWithAFlash) {
    const CTalkTimer timer(7 * 60);
    const std::uint64_t five = 2 * 60000;
    const std::uint64_t two = 5 * 60000;
    const std::uint64_t end = 7 * 60000;
    EXPECT_EQ(Phase::Plenty, timer.PhaseAt(five - 1));
    EXPECT_EQ(Phase::FiveLeft, timer.PhaseAt(five));
    EXPECT_EQ(Phase::TwoLeft, timer.PhaseAt(two));
    EXPECT_EQ(Phase::Over, timer.PhaseAt(end));
    for (const std::uint64_t at : {five, two, end}) {
        EXPECT_FALSE(timer.Flashing(at - 1));
        EXPECT_TRUE(timer.Flashing(at));
        EXPECT_FALSE(timer.Flashing(at + CTalkTimer::BLINK_MS)) << "blinks";
        EXPECT_TRUE(timer.Flashing(at + 2 * CTalkTimer::BLINK_MS));
        EXPECT_FALSE(timer.Flashing(at + CTalkTimer::FLASH_MS)) << "a short flash only";
    }
    EXPECT_FALSE(CTalkTimer(3 * 60).Flashing(0)) << "no flash for the phase it starts in";
    EXPECT_EQ(Phase::FiveLeft, CTalkTimer(3 * 60).PhaseAt(0));
}

TEST(TalkTimerTest, WakesOnlyForTheNextChange) {
    const CTalkTimer timer(7 * 60);
    EXPECT_EQ(1000u, timer.NextChangeMs(0));
    EXPECT_EQ(2000u, timer.NextChangeMs(1000));
    const std::uint64_t end = 7 * 60000;
    EXPECT_EQ(end + CTalkTimer::BLINK_MS, timer.NextChangeMs(end));
    EXPECT_EQ(end + 1000, timer.NextChangeMs(end + 999));
    EXPECT_EQ(end + 6000, timer.NextChangeMs(end + 5000)) << "past the end, once a second";
}

class OverlayGeometryTest : public ::testing::Test {
protected:
    // A second monitor right of a first, at 150 %.
    const Rect monitor{1920, 0, 1920 + 2560, 1440};
    const COverlayGeometry geometry{monitor, 144};
};

TEST_F(OverlayGeometryTest, SizesFollowTheMonitorsDpi) {
    EXPECT_EQ(210, geometry.SpotlightRadius());
    EXPECT_EQ(27, geometry.Dot({3000, 700}).Width());
    EXPECT_EQ(420, geometry.Lens({3000, 700}).Width());
    EXPECT_EQ(140, COverlayGeometry(monitor, 0).SpotlightRadius()) << "an unknown DPI: 96";
}

TEST_F(OverlayGeometryTest, TheLensEnlargesTwiceWhatIsAroundThePointerAndNeverItself) {
    const Rect source = geometry.LensSource({3000, 700});
    EXPECT_EQ(420 / 2, source.Width());
    EXPECT_EQ(3000, (source.left + source.right) / 2);
    EXPECT_EQ(700, (source.top + source.bottom) / 2);
    const Rect lens = geometry.Lens({3000, 700});
    EXPECT_GE(lens.left, source.right) << "right of the pointer";

    const Rect atEdge = geometry.Lens({monitor.right - 5, 3});
    const Rect edgeSource = geometry.LensSource({monitor.right - 5, 3});
    EXPECT_EQ(monitor.right, edgeSource.right) << "the source stays on the monitor";
    EXPECT_EQ(monitor.top, edgeSource.top);
    EXPECT_LE(atEdge.right, edgeSource.left) << "left of it where the monitor ends";
    EXPECT_EQ(monitor.top, atEdge.top);
}

TEST_F(OverlayGeometryTest, TheSpotlightIsCutToTheMonitorAndTheTimerSitsInItsCorner) {
    const Rect box = geometry.SpotlightBox({monitor.left + 10, 700});
    EXPECT_EQ(monitor.left, box.left);
    EXPECT_EQ(monitor.left + 10 + 212, box.right);
    const Rect timer = geometry.Timer();
    EXPECT_EQ(monitor.right - 36, timer.right);
    EXPECT_EQ(monitor.top + 36, timer.top);
    EXPECT_EQ(225, timer.Width());
}

TEST_F(OverlayGeometryTest, TheSpotlightsSquareAndFourShadesCoverTheMonitorOnce) {
    const auto area = [](const Rect& rect) {
        return rect.Width() > 0 && rect.Height() > 0
                   ? static_cast<long long>(rect.Width()) * rect.Height()
                   : 0;
    };
    const auto inside = [](const Rect& rect, int x, int y) {
        return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
    };
    // In the middle, at a corner and half off an edge.
    for (const COverlayGeometry::Point pointer : {COverlayGeometry::Point{3000, 700},
                                                  {monitor.left + 3, monitor.top + 2},
                                                  {monitor.right - 100, 1300}}) {
        const Rect box = geometry.SpotlightBox(pointer);
        const auto shades = geometry.SpotlightShades(pointer);
        long long total = area(box);
        for (const Rect& shade : shades) {
            total += area(shade);
        }
        EXPECT_EQ(static_cast<long long>(monitor.Width()) * monitor.Height(), total)
            << pointer.x << "," << pointer.y;
        // Sampled points lie in exactly one part.
        for (int y = monitor.top; y < monitor.bottom; y += 37) {
            for (int x = monitor.left; x < monitor.right; x += 41) {
                int parts = inside(box, x, y) ? 1 : 0;
                for (const Rect& shade : shades) {
                    parts += inside(shade, x, y) ? 1 : 0;
                }
                ASSERT_EQ(1, parts) << x << "," << y;
            }
        }
    }
    const Rect box = geometry.SpotlightBox({3000, 700});
    EXPECT_EQ(2 * (210 + 2), box.Width()) << "the ring's size, not the monitor's";
    EXPECT_EQ(box.top, geometry.SpotlightShades({3000, 700})[0].bottom) << "above it";
}

TEST(PresenterToolsTest, EachPressSwitchesItsToolOnOrOff) {
    CPresenterTools tools;
    EXPECT_FALSE(tools.Press(Action("Ctrl+A"))) << "not a tool";
    EXPECT_FALSE(tools.AnyOn());
    EXPECT_TRUE(tools.Press(Action("LaserDot")));
    EXPECT_TRUE(tools.FollowsPointer());
    EXPECT_FALSE(tools.NeedsFrames()) << "a dot is redrawn only when the pointer moves";
    EXPECT_TRUE(tools.Press(Action("Magnifier")));
    EXPECT_TRUE(tools.NeedsFrames()) << "a lens shows video live";
    tools.Press(Action("LaserDot"));
    tools.Press(Action("Magnifier"));
    EXPECT_FALSE(tools.FollowsPointer());
    EXPECT_FALSE(tools.AnyOn());

    tools.Press(Action("BlankScreen White"));
    EXPECT_TRUE(tools.IsWhite());
    tools.Press(Action("BlankScreen"));
    EXPECT_TRUE(tools.IsOn(CPresenterTools::BLANK_SCREEN)) << "the other colour recolours";
    EXPECT_FALSE(tools.IsWhite());
    tools.Press(Action("blankscreen"));
    EXPECT_FALSE(tools.IsOn(CPresenterTools::BLANK_SCREEN));

    tools.Press(Action("Timer \"20:00\""));
    EXPECT_EQ(1200u, tools.TimerSeconds());
    tools.Press(Action("Timer \"5:00\""));
    EXPECT_FALSE(tools.IsOn(CPresenterTools::TIMER)) << "any timer's press stops it";
    tools.Press(Action("Spotlight"));
    tools.Press(Action("Timer \"5:00\""));
    tools.AllOff();
    EXPECT_FALSE(tools.AnyOn());
}

TEST(PresenterToolsTest, TheBlankScreenAndTheTimerKeepTheMonitorTheirKeyNamed) {
    CPresenterTools tools;
    tools.Press(Action("BlankScreen"));
    EXPECT_EQ(0u, tools.MonitorOf(CPresenterTools::BLANK_SCREEN));
    tools.Press(Action("BlankScreen Monitor 2"));
    EXPECT_TRUE(tools.IsOn(CPresenterTools::BLANK_SCREEN)) << "sent to the other monitor";
    EXPECT_EQ(2u, tools.MonitorOf(CPresenterTools::BLANK_SCREEN));
    tools.Press(Action("BlankScreen Monitor 2"));
    EXPECT_FALSE(tools.IsOn(CPresenterTools::BLANK_SCREEN));

    tools.Press(Action("Timer \"20:00\" Monitor 1"));
    EXPECT_EQ(1u, tools.MonitorOf(CPresenterTools::TIMER));
    tools.Off(CPresenterTools::TIMER);
    EXPECT_FALSE(tools.AnyOn());
    tools.Press(Action("Timer \"20:00\""));
    EXPECT_EQ(0u, tools.MonitorOf(CPresenterTools::TIMER));
}

TEST(FramePacerTest, DrawsAMoveAtOnceAndTheRestOfAFrameAtItsEnd) {
    CFramePacer pacer(16000);
    EXPECT_EQ(100000u, pacer.Moved(100000)) << "the first move";
    pacer.Drawn(100000);
    EXPECT_EQ(116000u, pacer.Moved(101000));
    EXPECT_EQ(116000u, pacer.Moved(110000)) << "one draw for the frame's moves";
    EXPECT_TRUE(pacer.IsPending());
    pacer.Drawn(116000);
    EXPECT_FALSE(pacer.IsPending());
    EXPECT_EQ(140000u, pacer.Moved(140000)) << "after a quiet frame, at once";
}

// Windows' tick: a clock read, or a wake-up that comes, only every 15.6 ms.
TEST(FramePacerTest, OnACoarseClockFramesComeEveryTickNotEveryOther) {
    const std::uint64_t tickUs = 15625;
    for (const std::uint64_t frameUs : {std::uint64_t{16667}, std::uint64_t{16000}}) {
        CFramePacer pacer(frameUs);
        std::uint64_t dueUs = 0;
        std::uint64_t lastDrawUs = 0;
        std::uint64_t widestUs = 0;
        bool drawn = false;
        for (std::uint64_t nowUs = 1000000; nowUs < 2000000; nowUs += tickUs) {
            // The pointer moves between ticks; a wake asked for comes at the
            // first tick at or after its time.
            const bool wakeDue = pacer.IsPending() && nowUs >= dueUs;
            const std::uint64_t askUs = pacer.Moved(nowUs);
            if (askUs <= nowUs || wakeDue) {
                if (drawn) {
                    widestUs = std::max(widestUs, nowUs - lastDrawUs);
                }
                pacer.Drawn(nowUs);
                lastDrawUs = nowUs;
                drawn = true;
            } else {
                dueUs = askUs;
            }
        }
        EXPECT_LE(widestUs, frameUs * 3 / 2) << "frame " << frameUs << " us";
    }
}

} // namespace
