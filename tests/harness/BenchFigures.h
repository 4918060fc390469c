// The figures every bench prints: times from the performance counter,
// percentiles of a sample and a process's CPU time; and the benches' wait.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <vector>

#include "ProgramUnderTest.h"

namespace harness {

inline LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// The value at p (0 to 1) of the sorted sample, nearest rank; 0 for none.
inline double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

// Kernel and user time of a process so far, in milliseconds.
inline double CpuMs(DWORD pid) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    CloseHandle(process);
    auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (value(kernel) + value(user)) / 10000.0;
}

// Spins (yielding, pumping this thread's messages) until done() or
// timeoutMs: a wait read to well under a millisecond.
template <typename Done> bool SpinUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        PumpMessages();
        Sleep(0);
    }
    return true;
}

} // namespace harness
