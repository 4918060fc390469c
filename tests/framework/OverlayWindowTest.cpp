// The overlay window over a real window of this process: out of the user's
// way (never activated, clicks pass through, off the taskbar) and woken on
// its own thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "COverlayWindow.h"

namespace {

// Runs this thread's messages until done() or timeoutMs.
template <class Done> bool PumpUntil(Done done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
    }
    return true;
}

class OverlayWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KV480OverlayTestBelow";
        RegisterClassW(&windowClass);
        m_below = CreateWindowExW(0, windowClass.lpszClassName, L"Below", WS_OVERLAPPEDWINDOW, 100,
                                  100, 400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(m_below, SW_SHOW);
        SetForegroundWindow(m_below);
        ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == m_below; }, 5000));
    }
    void TearDown() override { DestroyWindow(m_below); }

    CDeadlineClock m_clock{[] { return std::uint64_t{0}; }};
    HWND m_below = nullptr;
};

TEST_F(OverlayWindowTest, ShowsInFrontWithoutTakingTheFocusOrTheClicks) {
    COverlayWindow overlay(m_clock);
    ASSERT_TRUE(overlay.Create(L"KV480OverlayTestThrough", true,
                               static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    overlay.SetOpacity(200);
    overlay.ShowAt(RECT{150, 150, 350, 300});
    const HWND hWnd = overlay.GetSafeHwnd();
    ASSERT_TRUE(PumpUntil([&] { return overlay.IsVisible(); }, 5000));
    const LONG_PTR wanted =
        WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
    EXPECT_EQ(wanted, GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & wanted);
    EXPECT_EQ(m_below, GetForegroundWindow()) << "showing it activates nothing";
    EXPECT_EQ(MA_NOACTIVATE, SendMessageW(hWnd, WM_MOUSEACTIVATE, 0, 0)) << "nor does a click";
    EXPECT_EQ(HTTRANSPARENT, SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(200, 200)));
    EXPECT_EQ(m_below, WindowFromPoint(POINT{200, 200})) << "the click goes below";

    COverlayWindow solid(m_clock);
    ASSERT_TRUE(solid.Create(L"KV480OverlayTestSolid", false));
    solid.ShowAt(RECT{150, 150, 350, 300});
    EXPECT_EQ(0, GetWindowLongPtrW(solid.GetSafeHwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_EQ(HTCLIENT, SendMessageW(solid.GetSafeHwnd(), WM_NCHITTEST, 0, MAKELPARAM(200, 200)))
        << "one that takes clicks, if asked";
    EXPECT_EQ(m_below, GetForegroundWindow());

    overlay.Hide();
    EXPECT_FALSE(overlay.IsVisible());
}

TEST_F(OverlayWindowTest, WakesOnItsOwnThreadOnceForWakesFromAnotherAndKeepsUtf16Text) {
    COverlayWindow overlay(m_clock);
    ASSERT_TRUE(overlay.Create(L"KV480OverlayTestWake", true));
    const DWORD owner = GetCurrentThreadId();
    int wakes = 0;
    DWORD wokenOn = 0;
    overlay.SetWakeHandler([&] {
        ++wakes;
        wokenOn = GetCurrentThreadId();
    });
    std::thread other([&] {
        for (int i = 0; i < 5; ++i) {
            overlay.Wake();
        }
    });
    other.join();
    ASSERT_TRUE(PumpUntil([&] { return wakes > 0; }, 5000));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(1, wakes) << "wakes before it ran run it once";
    EXPECT_EQ(owner, wokenOn);

    const std::wstring text = L"P\u0159ehled \u2713";
    overlay.SetText(text);
    // As other programs read it (this thread's WM_GETTEXT would pass the
    // object's ANSI procedure).
    wchar_t shown[32] = L"";
    InternalGetWindowText(overlay.GetSafeHwnd(), shown, 32);
    EXPECT_EQ(text, shown);
}

} // namespace
