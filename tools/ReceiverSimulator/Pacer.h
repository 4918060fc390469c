// Time on the performance counter, and waits that end on a given counter value
// to well within a byte time. A waitable timer covers the bulk of a wait and a
// short yielding spin the rest, since timer periods are coarser than the
// 1.04 ms a byte takes at 9600 baud.
#pragma once

#include <windows.h>

#include <cstdint>

class Pacer {
public:
    Pacer();
    ~Pacer();
    Pacer(const Pacer&) = delete;
    Pacer& operator=(const Pacer&) = delete;

    std::int64_t Now() const;

    // Returns once the counter has reached ticks.
    void WaitUntil(std::int64_t ticks);

    std::int64_t FromMilliseconds(std::uint32_t ms) const;

    // Line time of count bytes: 10 bit times each (start, 8 data, stop bit).
    std::int64_t ByteTime(std::uint64_t count) const;

    // Counter value as microseconds, the unit of Timestamp.
    std::uint64_t Microseconds(std::int64_t ticks) const;

private:
    std::int64_t m_frequency = 1;
    HANDLE m_hTimer = nullptr;
    bool m_periodSet = false;
};
