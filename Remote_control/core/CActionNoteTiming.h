#pragma once

#include <cstdint>
#include <string>

// How long the action note stays and what it says meanwhile. An ordinary
// note stays long enough to be read: MIN_MS plus PER_WORD_MS a word, counted
// from the release of the key that caused it (a note shown while the key is
// held waits for the release). A question's note stays for the whole time
// the answer is awaited and counts the seconds left. Uses no operating-system
// service: the times are handed in.
class CActionNoteTiming {
public:
    static constexpr std::uint64_t MIN_MS = 1500;
    static constexpr std::uint64_t PER_WORD_MS = 250;

    // A note that counts down: strBefore, the whole seconds left, strAfter;
    // gone once nWindowMs is over.
    struct Countdown {
        std::string strBefore;
        std::string strAfter;
        std::uint64_t nWindowMs = 0;
    };

    // How long strText stays after the key's release.
    static std::uint64_t ReadingMs(const std::string& strText);

    // A new note replaces the last one.
    void Note(const std::string& strText, bool bKeyHeld, std::uint64_t nNowMs);
    void Count(const Countdown& countdown, std::uint64_t nNowMs);
    // The key of the note was released: an ordinary note starts its time.
    void KeyReleased(std::uint64_t nNowMs);
    void Hide() { m_bShown = false; }

    bool IsShown(std::uint64_t nNowMs) const;
    // What the note says at nNowMs.
    std::string Text(std::uint64_t nNowMs) const;
    // When the note next changes its text or goes; false while it waits for
    // the key's release, or when no note is shown.
    bool NextChange(std::uint64_t nNowMs, std::uint64_t& nDueMs) const;

private:
    bool m_bShown = false;
    bool m_bCounting = false;
    bool m_bWaitsForRelease = false;
    std::string m_strText;
    Countdown m_countdown;
    // The start of the reading time or of the countdown.
    std::uint64_t m_nStartMs = 0;
};
