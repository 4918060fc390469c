#include "CWindowClock.h"

CWindowClock::CWindowClock()
    : m_clock([] { return static_cast<std::uint64_t>(GetTickCount64()); }) {
    m_clock.SetChangeListener([this] { Rearm(); });
}

void CWindowClock::Attach(HWND hWnd, UINT_PTR nTimerId) {
    m_hWnd = hWnd;
    m_nTimerId = nTimerId;
    Rearm();
}

void CWindowClock::Detach() {
    if (m_hWnd != nullptr) {
        KillTimer(m_hWnd, m_nTimerId);
        m_hWnd = nullptr;
    }
}

bool CWindowClock::OnTimer(WPARAM nTimerId) {
    if (m_hWnd == nullptr || nTimerId != m_nTimerId) {
        return false;
    }
    // Set again for whatever remains once the due deadlines have run.
    KillTimer(m_hWnd, m_nTimerId);
    m_clock.RunDue();
    return true;
}

void CWindowClock::Rearm() {
    if (m_hWnd == nullptr) {
        return;
    }
    std::uint64_t nDueMs = 0;
    if (!m_clock.NextDeadline(nDueMs)) {
        KillTimer(m_hWnd, m_nTimerId);
        return;
    }
    const std::uint64_t nNowMs = m_clock.Now();
    const std::uint64_t nDelayMs = nDueMs > nNowMs ? nDueMs - nNowMs : 0;
    // SetTimer takes at most USER_TIMER_MAXIMUM and raises less than
    // USER_TIMER_MINIMUM to it.
    SetTimer(m_hWnd, m_nTimerId,
             static_cast<UINT>(nDelayMs < USER_TIMER_MAXIMUM ? nDelayMs : USER_TIMER_MAXIMUM),
             nullptr);
}
