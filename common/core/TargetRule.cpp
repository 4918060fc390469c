#include "TargetRule.h"

#include <algorithm>

TargetRule::Verdict TargetRule::Alone(const Facts& facts) {
    if (facts.window == 0) {
        return Verdict::NoWindow;
    }
    if (!facts.visible) {
        return Verdict::Hidden;
    }
    if (facts.minimised) {
        return Verdict::Minimised;
    }
    // The user cannot see a window on another virtual desktop.
    if (facts.cloaked) {
        return Verdict::OtherDesktop;
    }
    return Verdict::Target;
}

std::vector<std::uintptr_t> TargetRule::Competitors(const std::vector<Facts>& entries) {
    std::vector<std::uintptr_t> windows;
    for (const Facts& facts : entries) {
        if (Alone(facts) == Verdict::Target &&
            std::find(windows.begin(), windows.end(), facts.window) == windows.end()) {
            windows.push_back(facts.window);
        }
    }
    return windows;
}

std::vector<TargetRule::Verdict> TargetRule::Decide(const std::vector<Facts>& entries,
                                                    std::uintptr_t highest) {
    std::vector<Verdict> verdicts;
    verdicts.reserve(entries.size());
    for (const Facts& facts : entries) {
        Verdict verdict = Alone(facts);
        if (verdict == Verdict::Target && facts.window != highest) {
            verdict = Verdict::LowerInZOrder;
        }
        verdicts.push_back(verdict);
    }
    return verdicts;
}

const char* TargetRule::Describe(Verdict verdict) {
    switch (verdict) {
    case Verdict::Target:
        return "gets the keys";
    case Verdict::NoWindow:
        return "no such window";
    case Verdict::Hidden:
        return "window hidden";
    case Verdict::Minimised:
        return "window minimised";
    case Verdict::OtherDesktop:
        return "window on another virtual desktop";
    case Verdict::LowerInZOrder:
        return "window lower in the Z order than the one that gets the keys";
    }
    return "?";
}
