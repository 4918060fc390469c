#include "CFrameWaker.h"

namespace {

// Not in every SDK's headers; older Windows refuse it (then a plain timer).
const DWORD HIGH_RESOLUTION_TIMER = 0x00000002;
// When the display does not tell its refresh rate.
const DWORD DEFAULT_HZ = 60;

} // namespace

CFrameWaker::CFrameWaker(std::function<void()> wake) : m_wake(std::move(wake)) {
    m_hTimer = CreateWaitableTimerExW(nullptr, nullptr, HIGH_RESOLUTION_TIMER, TIMER_ALL_ACCESS);
    if (m_hTimer == nullptr) {
        m_hTimer = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
    m_hStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_hTimer != nullptr && m_hStop != nullptr) {
        m_thread = std::thread([this] { Run(); });
    }
}

CFrameWaker::~CFrameWaker() {
    if (m_thread.joinable()) {
        SetEvent(m_hStop);
        m_thread.join();
    }
    if (m_hTimer != nullptr) {
        CloseHandle(m_hTimer);
    }
    if (m_hStop != nullptr) {
        CloseHandle(m_hStop);
    }
}

void CFrameWaker::WakeAfter(std::uint64_t nDelayUs) {
    if (!m_thread.joinable()) {
        m_wake();
        return;
    }
    // Relative, in 100 ns units.
    LARGE_INTEGER due;
    due.QuadPart = -static_cast<LONGLONG>(nDelayUs * 10);
    if (due.QuadPart == 0) {
        due.QuadPart = -1;
    }
    SetWaitableTimer(m_hTimer, &due, 0, nullptr, nullptr, FALSE);
}

void CFrameWaker::Run() {
    const HANDLE ahWait[] = {m_hStop, m_hTimer};
    while (WaitForMultipleObjects(2, ahWait, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        m_wake();
    }
}

std::uint64_t CFrameWaker::NowUs() {
    static const LONGLONG nFrequency = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    // Split so that the product cannot overflow.
    const auto nTicks = static_cast<std::uint64_t>(now.QuadPart);
    const auto nPerSecond = static_cast<std::uint64_t>(nFrequency);
    return nTicks / nPerSecond * 1000000u + nTicks % nPerSecond * 1000000u / nPerSecond;
}

std::uint64_t CFrameWaker::FrameUsOf(HMONITOR hMonitor) {
    MONITORINFOEXW info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof(mode));
    mode.dmSize = sizeof(mode);
    DWORD dwHz = DEFAULT_HZ;
    if (GetMonitorInfoW(hMonitor, &info) &&
        EnumDisplaySettingsW(info.szDevice, ENUM_CURRENT_SETTINGS, &mode) &&
        mode.dmDisplayFrequency > 1) {
        dwHz = mode.dmDisplayFrequency;
    }
    return 1000000u / dwHz;
}
