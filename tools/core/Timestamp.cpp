#include "Timestamp.h"

#include <cstdio>

std::uint64_t Timestamp::Microseconds(std::uint64_t count, std::uint64_t frequency) {
    if (frequency == 0) {
        return 0;
    }
    // Whole seconds and the remainder apart: count * 1000000 alone overflows
    // after a few days of uptime at common counter rates.
    const std::uint64_t microsPerSecond = 1000000;
    return count / frequency * microsPerSecond + count % frequency * microsPerSecond / frequency;
}

std::string Timestamp::FormatMs(std::uint64_t microseconds) {
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%llu.%03u",
                  static_cast<unsigned long long>(microseconds / 1000),
                  static_cast<unsigned>(microseconds % 1000));
    return text;
}
