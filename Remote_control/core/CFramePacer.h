#pragma once

#include <cstdint>

// When to redraw an overlay that follows the pointer: a move after a quiet
// frame is drawn at once, so it shows in the next frame; further moves within
// that frame are drawn together at its end, so a mouse reporting a thousand
// times a second costs one draw per frame, and no loop waits for moves.
// Times are microseconds of a precise monotonic clock, handed in. A frame may
// come up to a quarter period early: a wake-up or clock that is coarser than
// the frame (Windows' 15.6 ms tick) would otherwise miss every other frame.
class CFramePacer {
public:
    explicit CFramePacer(std::uint64_t nFrameUs) : m_nFrameUs(nFrameUs > 0 ? nFrameUs : 1) {}

    // A move at nNowUs: the time to draw it, nNowUs itself for at once.
    // Later times are for the caller to wake at; moves until then ask for the
    // same.
    std::uint64_t Moved(std::uint64_t nNowUs);
    // A draw at nNowUs took in every move so far.
    void Drawn(std::uint64_t nNowUs);
    // Whether a move waits to be drawn.
    bool IsPending() const { return m_bPending; }
    std::uint64_t FrameUs() const { return m_nFrameUs; }
    // The display the pointer is on has another refresh rate.
    void SetFrameUs(std::uint64_t nFrameUs) { m_nFrameUs = nFrameUs > 0 ? nFrameUs : 1; }

private:
    std::uint64_t m_nFrameUs;
    bool m_bDrawn = false;
    bool m_bPending = false;
    std::uint64_t m_nLastDrawUs = 0;
};
