// When KV480 posts the key message and the release for one press or hold of
// a key, counted from the press: what the key sender replays without a
// receiver.
#pragma once

#include "RemoteControl.h"

#include <cstdint>
#include <vector>

class KeyPostPlan {
public:
    // KV480 drops the repeats that arrive within this time after a press.
    static constexpr std::uint32_t HOLD_MS = RC_HOLD_TIME_MS;
    // It posts the release this long after the last frame of the hold.
    static constexpr std::uint32_t RELEASE_AFTER_MS = RC_RELEASE_TIME_MS;

    enum class Kind { Press, Repeat, Release };
    struct Post {
        std::uint32_t atMs;
        Kind kind;
    };

    // The receiver sends a repeat frame every intervalMs (> 0) while the key
    // is held, for holdMs after the press (0: a short press).
    static std::vector<Post> Plan(std::uint32_t holdMs, std::uint32_t intervalMs);
};
