// The one clock of the key path, moved by a test's hand: time stands still
// until Advance, and every deadline on the way runs on time.
#pragma once

#include "CDeadlineClock.h"

#include <algorithm>
#include <cstdint>

struct HandDrivenClock {
    void Advance(std::uint64_t ms) {
        const std::uint64_t until = now + ms;
        std::uint64_t due = 0;
        while (clock.NextDeadline(due) && due <= until) {
            now = std::max(now, due);
            clock.RunDue();
        }
        now = until;
    }

    std::uint64_t now = 1000;
    CDeadlineClock clock{[this] { return now; }};
};
