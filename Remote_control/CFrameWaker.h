// Wakes the overlays' drawing at a precise time: a high-resolution waitable
// timer on a thread of its own, which only calls the wake function (to post
// to the UI thread). WM_TIMER would come on Windows' 15.6 ms tick, and
// frames would alternate 16 and 31 ms.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <thread>

class CFrameWaker {
public:
    // wake runs on the waker's own thread.
    explicit CFrameWaker(std::function<void()> wake);
    ~CFrameWaker();
    CFrameWaker(const CFrameWaker&) = delete;
    CFrameWaker& operator=(const CFrameWaker&) = delete;

    // Calls wake nDelayUs from now (replacing a wake not yet come).
    void WakeAfter(std::uint64_t nDelayUs);

    // Microseconds of the performance counter: the precise clock of frames.
    static std::uint64_t NowUs();
    // The frame period of the monitor's display, from its own refresh rate.
    static std::uint64_t FrameUsOf(HMONITOR hMonitor);

private:
    void Run();

    std::function<void()> m_wake;
    HANDLE m_hTimer = nullptr;
    HANDLE m_hStop = nullptr;
    std::thread m_thread;
};
