#include "CDeadlineClock.h"

#include <algorithm>

CDeadlineClock::Timer::Timer(CDeadlineClock& clock, Callback callback)
    : m_clock(clock), m_callback(std::move(callback)) {
    m_clock.Add(*this);
}

CDeadlineClock::Timer::~Timer() {
    m_clock.Remove(*this);
}

void CDeadlineClock::Timer::SetAt(std::uint64_t nDueMs) {
    m_bSet = true;
    m_nDueMs = nDueMs;
    m_nSequence = m_clock.m_nNextSequence++;
    m_clock.Changed();
}

void CDeadlineClock::Timer::SetAfter(std::uint64_t nDelayMs) {
    SetAt(m_clock.Now() + nDelayMs);
}

void CDeadlineClock::Timer::Cancel() {
    if (!m_bSet) {
        return;
    }
    m_bSet = false;
    m_clock.Changed();
}

CDeadlineClock::CDeadlineClock(NowFunction now) : m_now(std::move(now)) {}

void CDeadlineClock::Add(Timer& timer) {
    m_timers.push_back(&timer);
}

void CDeadlineClock::Remove(Timer& timer) {
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), &timer), m_timers.end());
    if (timer.m_bSet) {
        Changed();
    }
}

void CDeadlineClock::Changed() {
    if (!m_bRunning && m_changed) {
        m_changed();
    }
}

bool CDeadlineClock::NextDeadline(std::uint64_t& nDueMs) const {
    bool bAny = false;
    for (const Timer* pTimer : m_timers) {
        if (pTimer->m_bSet && (!bAny || pTimer->m_nDueMs < nDueMs)) {
            nDueMs = pTimer->m_nDueMs;
            bAny = true;
        }
    }
    return bAny;
}

void CDeadlineClock::RunDue() {
    if (m_bRunning) {
        return;
    }
    m_bRunning = true;
    // A timer set again by a callback waits for the next call, so a callback
    // that keeps setting its timer for "now" cannot hold this loop forever.
    const std::uint64_t nRoundSequence = m_nNextSequence;
    for (;;) {
        // Looked up afresh each round: a callback may set, cancel or destroy
        // any timer, its own included.
        const std::uint64_t nNowMs = Now();
        Timer* pNext = nullptr;
        for (Timer* pTimer : m_timers) {
            if (pTimer->m_bSet && pTimer->m_nSequence < nRoundSequence &&
                pTimer->m_nDueMs <= nNowMs &&
                (pNext == nullptr || pTimer->m_nDueMs < pNext->m_nDueMs ||
                 (pTimer->m_nDueMs == pNext->m_nDueMs &&
                  pTimer->m_nSequence < pNext->m_nSequence))) {
                pNext = pTimer;
            }
        }
        if (pNext == nullptr) {
            break;
        }
        pNext->m_bSet = false;
        // A copy: the callback may destroy its timer.
        const Callback callback = pNext->m_callback;
        callback();
    }
    m_bRunning = false;
    Changed();
}
