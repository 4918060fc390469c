#include "KeyPostPlan.h"

std::vector<KeyPostPlan::Post> KeyPostPlan::Plan(std::uint32_t holdMs, std::uint32_t intervalMs) {
    std::vector<Post> posts = {{0, Kind::Press}};
    std::uint32_t lastFrameMs = 0;
    if (intervalMs > 0) {
        for (std::uint64_t frameMs = intervalMs; frameMs <= holdMs; frameMs += intervalMs) {
            lastFrameMs = static_cast<std::uint32_t>(frameMs);
            // Frames within the hold time are dropped, yet they keep the key held.
            if (lastFrameMs >= HOLD_MS) {
                posts.push_back({lastFrameMs, Kind::Repeat});
            }
        }
    }
    posts.push_back({lastFrameMs + RELEASE_AFTER_MS, Kind::Release});
    return posts;
}
