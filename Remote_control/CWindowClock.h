// KV480's one clock (CDeadlineClock) on one Win32 timer of its main window:
// the timer is set to the earliest deadline whenever that changes, and its
// WM_TIMER runs every deadline that is due.
#pragma once

#include <windows.h>

#include "CDeadlineClock.h"

class CWindowClock {
public:
    CWindowClock();
    ~CWindowClock() { Detach(); }
    CWindowClock(const CWindowClock&) = delete;
    CWindowClock& operator=(const CWindowClock&) = delete;

    // From now on deadlines run on hWnd's timer nTimerId.
    void Attach(HWND hWnd, UINT_PTR nTimerId);
    // Kills the timer; deadlines stay but no longer run.
    void Detach();

    CDeadlineClock& Clock() { return m_clock; }

    // For the window's WM_TIMER: false when the timer is not the clock's.
    bool OnTimer(WPARAM nTimerId);

private:
    void Rearm();

    CDeadlineClock m_clock;
    HWND m_hWnd = nullptr;
    UINT_PTR m_nTimerId = 0;
};
