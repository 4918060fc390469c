#pragma once

#include <cstdint>

// When to redraw an overlay that follows the pointer: a move after a quiet
// frame is drawn at once, so it shows in the next frame; further moves within
// that frame are drawn together at its end, so a mouse reporting a thousand
// times a second costs one draw per frame, and no loop waits for moves.
class CFramePacer {
public:
    explicit CFramePacer(std::uint64_t nFrameMs) : m_nFrameMs(nFrameMs) {}

    // A move at nNowMs: the time to draw it, nNowMs itself for at once.
    // Later times are asked of the clock; moves until then ask for the same.
    std::uint64_t Moved(std::uint64_t nNowMs);
    // A draw at nNowMs took in every move so far.
    void Drawn(std::uint64_t nNowMs);
    // Whether a move waits to be drawn.
    bool IsPending() const { return m_bPending; }
    std::uint64_t FrameMs() const { return m_nFrameMs; }

private:
    std::uint64_t m_nFrameMs;
    bool m_bDrawn = false;
    bool m_bPending = false;
    std::uint64_t m_nLastDrawMs = 0;
};
