// Performance-counter readings as the milliseconds the tools print and log, so
// that the outputs of two processes on one machine can be compared.
#pragma once

#include <cstdint>
#include <string>

class Timestamp {
public:
    // Counter value to microseconds without intermediate overflow for counter
    // rates up to 1 THz; 0 for a frequency of 0.
    static std::uint64_t Microseconds(std::uint64_t count, std::uint64_t frequency);

    // Microseconds as milliseconds with three decimals: 1234567 -> "1234.567".
    static std::string FormatMs(std::uint64_t microseconds);
};
