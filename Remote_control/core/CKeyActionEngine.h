#pragma once

#include "CKeyMapLayers.h"

#include <cstdint>
#include <vector>

// Decides which form of a remote key acts, and when: the plain action at the
// press when the key has no long or double form in the window in front;
// otherwise the long action once the key is still held 700 ms after its
// press, the double action at a second press within 500 ms, and the plain
// action at the release or when the 500 ms are over. Every press acts at
// most once, plus the repeats of an action that repeats. Uses no
// operating-system service: the owner hands in the key events with their
// times, calls TimeReached at NextDeadline, and carries out the steps.
class CKeyActionEngine {
public:
    static constexpr unsigned int LONG_PRESS_MS = 700;
    static constexpr unsigned int DOUBLE_PRESS_MS = 500;
    // A pointer move: a few pixels a step at first, up to a fifth of the
    // screen per second after this long, at the receiver's repeat rate.
    static constexpr unsigned int MOUSE_RAMP_MS = 2000;
    static constexpr int MOUSE_MIN_STEP = 4;
    static constexpr unsigned int REPEAT_INTERVAL_MS = 110;

    using Answer = CKeyMapLayers::Answer;
    using KeyAnswers = CKeyMapLayers::KeyAnswers;

    struct Step {
        Answer answer;
        CKeyMap::Form form;
        bool bRepeat;          // again during the hold that ran it
        std::uint64_t nHeldMs; // since the press of that hold
    };

    // A new press of nKey, with what the key maps give for it now.
    std::vector<Step> Press(int nKey, const KeyAnswers& answers, std::uint64_t nNowMs);
    std::vector<Step> Repeat(int nKey, std::uint64_t nNowMs);
    std::vector<Step> Release(int nKey, std::uint64_t nNowMs);
    // The time asked for by NextDeadline (or any later one) has come.
    std::vector<Step> TimeReached(std::uint64_t nNowMs);
    // When TimeReached is due; false when nothing waits for a time.
    bool NextDeadline(std::uint64_t& nDueMs) const;

    // Whether a key with these answers acts at its press.
    static bool ActsAtPress(const KeyAnswers& answers);
    // Pixels of one pointer step nHeldMs into a hold, on a screen
    // nScreenPixels wide (or high).
    static int MouseStep(std::uint64_t nHeldMs, int nScreenPixels);

private:
    // A press whose form is not decided yet.
    struct Pending {
        int nKey = 0;
        KeyAnswers answers;
        std::uint64_t nPressMs = 0;
        bool bReleased = false;
        bool bRepeatSeen = false;
    };
    // The hold whose action ran, for its repeats.
    struct Active {
        int nKey = 0; // 0: none
        Answer answer;
        CKeyMap::Form form = CKeyMap::Form::Plain;
        std::uint64_t nPressMs = 0;
    };

    void Decide(std::uint64_t nNowMs, std::vector<Step>& steps);
    // Runs the form of the pending press and ends it; a hold still going on
    // repeats it.
    void Run(CKeyMap::Form form, std::uint64_t nNowMs, std::vector<Step>& steps);
    bool HasForm(CKeyMap::Form form) const;

    bool m_bPending = false;
    Pending m_pending;
    Active m_active;
    // The last time a pending press was looked at.
    std::uint64_t m_nDecidedMs = 0;
};
