#include "Pacer.h"

#include "Timestamp.h"

#include <mmsystem.h>

namespace {

const std::uint64_t BAUD_RATE = 9600;
const std::uint64_t BITS_PER_BYTE = 10; // start bit, 8 data bits, stop bit

// What is left of a wait after the timer is spun through; covers a timer that
// fires up to this late.
const std::uint32_t SPIN_MS = 2;

// Finer timer periods for the process while pacing runs.
const UINT TIMER_PERIOD_MS = 1;

} // namespace

Pacer::Pacer() {
    LARGE_INTEGER frequency{};
    if (QueryPerformanceFrequency(&frequency) && frequency.QuadPart > 0) {
        m_frequency = frequency.QuadPart;
    }
    m_hTimer = CreateWaitableTimerA(nullptr, TRUE, nullptr);
    m_periodSet = timeBeginPeriod(TIMER_PERIOD_MS) == TIMERR_NOERROR;
}

Pacer::~Pacer() {
    if (m_periodSet) {
        timeEndPeriod(TIMER_PERIOD_MS);
    }
    if (m_hTimer != nullptr) {
        CloseHandle(m_hTimer);
    }
}

std::int64_t Pacer::Now() const {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void Pacer::WaitUntil(std::int64_t ticks) {
    const std::int64_t spin = FromMilliseconds(SPIN_MS);
    for (;;) {
        const std::int64_t remaining = ticks - Now();
        if (remaining <= 0) {
            return;
        }
        if (remaining > spin && m_hTimer != nullptr) {
            // Relative due time: negative, in 100 ns units.
            const std::uint64_t micros = Microseconds(remaining - spin);
            LARGE_INTEGER due{};
            due.QuadPart = -static_cast<LONGLONG>(micros * 10);
            if (SetWaitableTimer(m_hTimer, &due, 0, nullptr, nullptr, FALSE)) {
                const DWORD boundMs = static_cast<DWORD>(micros / 1000) + 100;
                WaitForSingleObject(m_hTimer, boundMs);
                continue;
            }
        }
        SwitchToThread();
    }
}

std::int64_t Pacer::FromMilliseconds(std::uint32_t ms) const {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(m_frequency) * ms / 1000);
}

std::int64_t Pacer::ByteTime(std::uint64_t count) const {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(m_frequency) * BITS_PER_BYTE *
                                     count / BAUD_RATE);
}

std::uint64_t Pacer::Microseconds(std::int64_t ticks) const {
    return ticks <= 0 ? 0
                      : Timestamp::Microseconds(static_cast<std::uint64_t>(ticks),
                                                static_cast<std::uint64_t>(m_frequency));
}
