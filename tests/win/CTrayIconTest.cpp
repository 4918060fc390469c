// The tray icon with a fake shell that times out: Windows' own shell does
// when it is busy (Wine's never does).
#include "CTrayIcon.h"

#include <gtest/gtest.h>

#include <vector>

#include "HandDrivenClock.h"

namespace {

std::vector<DWORD> g_messages;
int g_timeoutsLeft = 0;

BOOL WINAPI FakeShell(DWORD dwMessage, PNOTIFYICONDATAW) {
    g_messages.push_back(dwMessage);
    if (dwMessage == NIM_ADD && g_timeoutsLeft > 0) {
        --g_timeoutsLeft;
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
    }
    return TRUE;
}

int Adds() {
    int nAdds = 0;
    for (DWORD dwMessage : g_messages) {
        nAdds += dwMessage == NIM_ADD ? 1 : 0;
    }
    return nAdds;
}

class CTrayIconTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_messages.clear();
        g_timeoutsLeft = 1;
    }
    HandDrivenClock m_time;
    CTrayIcon m_icon{m_time.clock, FakeShell};
};

// Show returns at once; the one more try waits on the clock, not the thread.
TEST_F(CTrayIconTest, ABusyShellIsAskedOnceMoreHalfASecondLater) {
    EXPECT_FALSE(m_icon.Show("Remote Control", "Ready", NIIF_INFO, CTrayIcon::STATE_READY));
    EXPECT_EQ(1, Adds());
    m_time.Advance(499);
    EXPECT_EQ(1, Adds());
    m_time.Advance(1);
    EXPECT_EQ(2, Adds());
    m_time.Advance(5000);
    EXPECT_EQ(2, Adds());
}

TEST_F(CTrayIconTest, NoThirdTryAndNoneAfterTheIconWasRemoved) {
    g_timeoutsLeft = 2;
    m_icon.Show("Remote Control", "Ready", NIIF_INFO, CTrayIcon::STATE_READY);
    m_time.Advance(10000);
    EXPECT_EQ(2, Adds());

    g_timeoutsLeft = 1;
    m_icon.Show("Remote Control", "Ready", NIIF_INFO, CTrayIcon::STATE_READY);
    m_icon.Remove();
    m_time.Advance(10000);
    EXPECT_EQ(3, Adds());
}

} // namespace
