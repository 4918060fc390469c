// Which receiving application's window gets a key, decided from what the
// window manager says about each entry's window. No operating system here, so
// every case can be tried with made-up windows.
#pragma once

#include <cstdint>
#include <vector>

class TargetRule {
public:
    enum class Verdict {
        Target,        // gets the key
        NoWindow,      // no top-level window has that class and caption
        Hidden,        // the window is not visible
        Minimised,     // the window is minimised
        OtherDesktop,  // the window is on another virtual desktop (cloaked)
        LowerInZOrder, // another eligible window stands above it
    };

    // What is known of one entry's window. window is an opaque identity,
    // 0 when the entry has none; two entries may name the same window.
    struct Facts {
        std::uintptr_t window = 0;
        bool visible = false;
        bool minimised = false;
        bool cloaked = false;
    };

    // Whether the window could take a key at all: Target when it could, or
    // the first reason why not.
    static Verdict Alone(const Facts& facts);

    // The windows that could take a key, each once, in entry order. Only
    // when there are two or more does the Z order have to be asked.
    static std::vector<std::uintptr_t> Competitors(const std::vector<Facts>& entries);

    // The verdict for every entry, given the competitor highest in the Z
    // order (0 when there is none): entries naming that window get it, the
    // other competitors are lower.
    static std::vector<Verdict> Decide(const std::vector<Facts>& entries, std::uintptr_t highest);

    // "gets the key", "no such window", ... for reports.
    static const char* Describe(Verdict verdict);
};
