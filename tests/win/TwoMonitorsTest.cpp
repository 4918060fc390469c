// The harness's two monitors (RC_TWO_MONITORS=1): side by side, as a
// presenter's laptop and projector, and a window on the second one is drawn.
#include <windows.h>

#include <gtest/gtest.h>

#include "Monitors.h"
#include "ProgramUnderTest.h"

namespace {

bool Same(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

TEST(TwoMonitorsTest, SideBySideAndAWindowOnTheSecondIsDrawn) {
    if (!harness::HasTwoMonitors())
        GTEST_SKIP() << harness::TWO_MONITORS_NEEDED;
    const std::vector<RECT> monitors = harness::Monitors();
    ASSERT_EQ(2u, monitors.size());
    EXPECT_TRUE(Same(RECT{0, 0, 1280, 1024}, monitors[0]));
    EXPECT_TRUE(Same(RECT{1280, 0, 2304, 768}, monitors[1]));

    const HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = red;
    windowClass.lpszClassName = "RcSecondMonitorWindow";
    ASSERT_NE(0, RegisterClassA(&windowClass));
    const HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName,
                                        "", WS_POPUP | WS_VISIBLE, 1280 + 300, 200, 200, 150,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(nullptr, window);
    UpdateWindow(window);
    const HDC screen = GetDC(nullptr);
    EXPECT_TRUE(harness::WaitUntil(
        [&] { return GetPixel(screen, 1280 + 400, 275) == RGB(255, 0, 0); }, 5000))
        << std::hex << GetPixel(screen, 1280 + 400, 275);
    EXPECT_EQ(MonitorFromWindow(window, MONITOR_DEFAULTTONULL),
              MonitorFromPoint(POINT{1280 + 1, 1}, MONITOR_DEFAULTTONULL));
    ReleaseDC(nullptr, screen);
    DestroyWindow(window);
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
    DeleteObject(red);
}

} // namespace
