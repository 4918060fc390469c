// The opener thread: the result comes as a posted message with the open's
// number, only that number takes it, one open runs at a time, a waiting
// caller's stop does not wait for the open, and a port that nobody wants any
// more is closed, however late it comes.
#include <windows.h>

#include <gtest/gtest.h>

#include "CPortOpener.h"
#include "ProgramUnderTest.h"

#include <atomic>

namespace {

constexpr UINT kOpened = WM_APP + 1;
HANDLE g_release = nullptr;
std::atomic<HANDLE> g_opened{nullptr};

// Stands in for a port that takes its time: an event handle, once released.
HANDLE SlowOpen(int, DWORD* pdwError) {
    WaitForSingleObject(g_release, 10000);
    g_opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    *pdwError = ERROR_SUCCESS;
    return g_opened;
}

bool IsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

class CPortOpenerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        g_opened = nullptr;
        m_window =
            CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, m_window);
    }
    void TearDown() override {
        DestroyWindow(m_window);
        CloseHandle(g_release);
    }

    // The number the opener posted, or 0 after 10 s.
    WPARAM WaitForOpened() {
        const DWORD start = GetTickCount();
        MSG msg;
        while (GetTickCount() - start < 10000) {
            if (PeekMessageA(&msg, m_window, kOpened, kOpened, PM_REMOVE))
                return msg.wParam;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
        }
        return 0;
    }

    HWND m_window = nullptr;
    CPortOpener m_opener{&SlowOpen};
};

TEST_F(CPortOpenerTest, OneOpenAtATimeAndItsResultOnlyForItsNumber) {
    ASSERT_TRUE(m_opener.Start(m_window, kOpened, 1));
    EXPECT_FALSE(m_opener.Start(m_window, kOpened, 1));
    SetEvent(g_release);
    const WPARAM number = WaitForOpened();
    ASSERT_NE(0u, number);
    HANDLE port = INVALID_HANDLE_VALUE;
    DWORD error = 1;
    EXPECT_FALSE(m_opener.TakeResult(number + 1, &port, &error));
    ASSERT_TRUE(m_opener.TakeResult(number, &port, &error));
    EXPECT_EQ(g_opened, port);
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), error);
    CloseHandle(port);
    EXPECT_TRUE(m_opener.Start(m_window, kOpened, 1));
}

TEST_F(CPortOpenerTest, APortNobodyWantsIsClosedWhenItComesOrWhenItIsGivenUp) {
    // Given up while the open runs: the thread closes what it gets.
    ASSERT_TRUE(m_opener.Start(m_window, kOpened, 1));
    m_opener.Abandon();
    SetEvent(g_release);
    ASSERT_TRUE(harness::WaitUntil([] { return g_opened != nullptr && !IsOpen(g_opened); }, 10000));

    // Given up after the result was posted: closed by the giving up.
    g_opened = nullptr;
    ASSERT_TRUE(m_opener.Start(m_window, kOpened, 1));
    const WPARAM number = WaitForOpened();
    ASSERT_NE(0u, number);
    ASSERT_TRUE(IsOpen(g_opened));
    m_opener.Abandon();
    EXPECT_FALSE(IsOpen(g_opened));
    HANDLE port = INVALID_HANDLE_VALUE;
    DWORD error = 0;
    EXPECT_FALSE(m_opener.TakeResult(number, &port, &error));
}

TEST_F(CPortOpenerTest, AWaitedOpenEndsAtTheStopAndItsPortIsClosedWhenItComes) {
    const HANDLE stop = CreateEventA(nullptr, TRUE, TRUE, nullptr);
    DWORD error = ERROR_SUCCESS;
    EXPECT_EQ(INVALID_HANDLE_VALUE, m_opener.Open(1, stop, &error));
    EXPECT_FALSE(m_opener.IsRunning());
    SetEvent(g_release);
    ASSERT_TRUE(harness::WaitUntil([] { return g_opened != nullptr && !IsOpen(g_opened); }, 10000));

    g_opened = nullptr;
    ResetEvent(stop);
    const HANDLE port = m_opener.Open(1, stop, &error);
    EXPECT_EQ(g_opened, port);
    EXPECT_TRUE(IsOpen(port));
    CloseHandle(port);
    CloseHandle(stop);
}

} // namespace
