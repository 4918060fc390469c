#include "CFramePacer.h"

std::uint64_t CFramePacer::Moved(std::uint64_t nNowMs) {
    if (!m_bDrawn || nNowMs >= m_nLastDrawMs + m_nFrameMs) {
        return nNowMs;
    }
    m_bPending = true;
    return m_nLastDrawMs + m_nFrameMs;
}

void CFramePacer::Drawn(std::uint64_t nNowMs) {
    m_bDrawn = true;
    m_bPending = false;
    m_nLastDrawMs = nNowMs;
}
