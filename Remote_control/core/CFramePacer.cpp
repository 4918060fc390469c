#include "CFramePacer.h"

std::uint64_t CFramePacer::Moved(std::uint64_t nNowUs) {
    const std::uint64_t nDueUs = m_nLastDrawUs + m_nFrameUs;
    if (!m_bDrawn || nNowUs + m_nFrameUs / 4 >= nDueUs) {
        return nNowUs;
    }
    m_bPending = true;
    return nDueUs;
}

void CFramePacer::Drawn(std::uint64_t nNowUs) {
    m_bDrawn = true;
    m_bPending = false;
    m_nLastDrawUs = nNowUs;
}
