#include "CActionNoteTiming.h"

namespace {

constexpr std::uint64_t SECOND_MS = 1000;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::uint64_t CActionNoteTiming::ReadingMs(const std::string& strText) {
    std::uint64_t nWords = 0;
    bool bInWord = false;
    for (const char c : strText) {
        if (IsSpace(c)) {
            bInWord = false;
        } else if (!bInWord) {
            bInWord = true;
            ++nWords;
        }
    }
    return MIN_MS + nWords * PER_WORD_MS;
}

void CActionNoteTiming::Note(const std::string& strText, bool bKeyHeld, std::uint64_t nNowMs) {
    m_bShown = true;
    m_bCounting = false;
    m_bWaitsForRelease = bKeyHeld;
    m_strText = strText;
    m_nStartMs = nNowMs;
}

void CActionNoteTiming::Count(const Countdown& countdown, std::uint64_t nNowMs) {
    m_bShown = true;
    m_bCounting = true;
    m_bWaitsForRelease = false;
    m_countdown = countdown;
    m_nStartMs = nNowMs;
}

void CActionNoteTiming::KeyReleased(std::uint64_t nNowMs) {
    if (m_bShown && m_bWaitsForRelease) {
        m_bWaitsForRelease = false;
        m_nStartMs = nNowMs;
    }
}

bool CActionNoteTiming::IsShown(std::uint64_t nNowMs) const {
    if (!m_bShown) {
        return false;
    }
    if (m_bWaitsForRelease) {
        return true;
    }
    const std::uint64_t nLastsMs = m_bCounting ? m_countdown.nWindowMs : ReadingMs(m_strText);
    return nNowMs - m_nStartMs < nLastsMs;
}

std::string CActionNoteTiming::Text(std::uint64_t nNowMs) const {
    if (!m_bCounting) {
        return m_strText;
    }
    const std::uint64_t nPastMs = nNowMs - m_nStartMs;
    const std::uint64_t nLeftMs =
        nPastMs < m_countdown.nWindowMs ? m_countdown.nWindowMs - nPastMs : 0;
    // Rounded up: "1 s" until the very end, never "0 s".
    const std::uint64_t nSeconds = (nLeftMs + SECOND_MS - 1) / SECOND_MS;
    return m_countdown.strBefore + std::to_string(nSeconds) + m_countdown.strAfter;
}

bool CActionNoteTiming::NextChange(std::uint64_t nNowMs, std::uint64_t& nDueMs) const {
    if (!IsShown(nNowMs) || m_bWaitsForRelease) {
        return false;
    }
    if (!m_bCounting) {
        nDueMs = m_nStartMs + ReadingMs(m_strText);
        return true;
    }
    // The next whole second of the countdown, its last being its end.
    const std::uint64_t nPastMs = nNowMs - m_nStartMs;
    nDueMs = m_nStartMs + (nPastMs / SECOND_MS + 1) * SECOND_MS;
    const std::uint64_t nEndMs = m_nStartMs + m_countdown.nWindowMs;
    if (nDueMs > nEndMs) {
        nDueMs = nEndMs;
    }
    return true;
}
