#pragma once

#include <cstdint>
#include <string>

// The presenter's talk timer: what it shows at a time after its start. It
// counts down in whole seconds, warns at 5:00 and 2:00 left and at the end
// with a colour of its own and a short flash, and past the end counts the
// time over with a minus sign.
class CTalkTimer {
public:
    enum class Phase {
        Plenty,   // more than five minutes left
        FiveLeft, // five minutes or less
        TwoLeft,  // two minutes or less
        Over,     // the time is up
    };
    static constexpr std::uint64_t FIVE_LEFT_MS = 5 * 60 * 1000;
    static constexpr std::uint64_t TWO_LEFT_MS = 2 * 60 * 1000;
    // A phase reached while counting flashes this long, in blinks.
    static constexpr std::uint64_t BLINK_MS = 250;
    static constexpr std::uint64_t FLASH_MS = 6 * BLINK_MS;

    explicit CTalkTimer(unsigned nSeconds) : m_nTotalMs(std::uint64_t{nSeconds} * 1000) {}

    // "4:59" while counting down (a second shows until it has fully passed),
    // "0:00" during the first second past the end, then "-0:01", "-0:02"...
    std::string Text(std::uint64_t nElapsedMs) const;
    Phase PhaseAt(std::uint64_t nElapsedMs) const;
    // Whether the colours show inverted now: the blinks after a phase is
    // reached; not for the phase the timer starts in.
    bool Flashing(std::uint64_t nElapsedMs) const;
    // The elapsed time of the next change of the text, the phase or a blink.
    std::uint64_t NextChangeMs(std::uint64_t nElapsedMs) const;

private:
    // The elapsed time at which nLeftMs are left, false when the timer
    // started with that or less.
    bool Reached(std::uint64_t nLeftMs, std::uint64_t& nAtMs) const;

    std::uint64_t m_nTotalMs;
};
