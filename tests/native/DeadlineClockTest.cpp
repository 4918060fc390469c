#include "CDeadlineClock.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class DeadlineClockTest : public ::testing::Test {
protected:
    std::uint64_t m_nNow = 1000;
    int m_nChanges = 0;
    std::string m_strFired;
    CDeadlineClock m_clock{[this] { return m_nNow; }};

    void SetUp() override {
        m_clock.SetChangeListener([this] { ++m_nChanges; });
    }
    CDeadlineClock::Callback Note(const char* pszName) {
        return [this, pszName] { m_strFired += pszName; };
    }
};

TEST_F(DeadlineClockTest, RunsDueTimersEarliestFirstAndOnlyOnce) {
    CDeadlineClock::Timer a(m_clock, Note("a")), b(m_clock, Note("b")), c(m_clock, Note("c"));
    a.SetAfter(300);
    b.SetAfter(100);
    c.SetAfter(100); // same time as b, set later: runs after it
    std::uint64_t nDue = 0;
    ASSERT_TRUE(m_clock.NextDeadline(nDue));
    EXPECT_EQ(1100u, nDue);

    m_nNow = 1200;
    m_clock.RunDue();
    EXPECT_EQ("bc", m_strFired);
    EXPECT_FALSE(b.IsSet());
    ASSERT_TRUE(m_clock.NextDeadline(nDue));
    EXPECT_EQ(1300u, nDue);

    m_clock.RunDue();
    EXPECT_EQ("bc", m_strFired);
    m_nNow = 5000;
    m_clock.RunDue();
    EXPECT_EQ("bca", m_strFired);
    EXPECT_FALSE(m_clock.NextDeadline(nDue));
}

TEST_F(DeadlineClockTest, SettingAgainReplacesAndCancelStops) {
    CDeadlineClock::Timer a(m_clock, Note("a"));
    a.SetAfter(100);
    a.SetAfter(500);
    m_nNow = 1200;
    m_clock.RunDue();
    EXPECT_EQ("", m_strFired);
    a.Cancel();
    m_nNow = 9000;
    m_clock.RunDue();
    EXPECT_EQ("", m_strFired);
}

TEST_F(DeadlineClockTest, CallbacksMaySetCancelAndDestroyTimers) {
    auto pOther = std::make_unique<CDeadlineClock::Timer>(m_clock, Note("x"));
    CDeadlineClock::Timer self(m_clock, [] {});
    CDeadlineClock::Timer a(m_clock, [&] {
        m_strFired += "a";
        pOther.reset();   // destroyed while due
        self.SetAfter(0); // due at once, yet waits for the next run
    });
    a.SetAfter(10);
    pOther->SetAfter(20);
    m_nNow = 2000;
    m_clock.RunDue();
    EXPECT_EQ("a", m_strFired);
    EXPECT_TRUE(self.IsSet());
}

TEST_F(DeadlineClockTest, TellsItsOwnerOfChangesButOnceForARun) {
    CDeadlineClock::Timer a(m_clock, Note("a")), b(m_clock, Note("b"));
    a.SetAfter(10);
    b.SetAfter(20);
    EXPECT_EQ(2, m_nChanges);
    m_nChanges = 0;
    m_nNow = 2000;
    m_clock.RunDue();
    EXPECT_EQ(1, m_nChanges);
    a.Cancel(); // not set: nothing changes
    EXPECT_EQ(1, m_nChanges);
}

} // namespace
