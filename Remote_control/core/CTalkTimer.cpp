#include "CTalkTimer.h"

namespace {

std::string MinutesSeconds(std::uint64_t nSeconds) {
    const std::uint64_t nRest = nSeconds % 60;
    return std::to_string(nSeconds / 60) + (nRest < 10 ? ":0" : ":") + std::to_string(nRest);
}

} // namespace

std::string CTalkTimer::Text(std::uint64_t nElapsedMs) const {
    if (nElapsedMs < m_nTotalMs) {
        return MinutesSeconds((m_nTotalMs - nElapsedMs + 999) / 1000);
    }
    const std::uint64_t nOverSeconds = (nElapsedMs - m_nTotalMs) / 1000;
    return nOverSeconds == 0 ? "0:00" : "-" + MinutesSeconds(nOverSeconds);
}

CTalkTimer::Phase CTalkTimer::PhaseAt(std::uint64_t nElapsedMs) const {
    if (nElapsedMs >= m_nTotalMs) {
        return Phase::Over;
    }
    const std::uint64_t nLeftMs = m_nTotalMs - nElapsedMs;
    return nLeftMs <= TWO_LEFT_MS    ? Phase::TwoLeft
           : nLeftMs <= FIVE_LEFT_MS ? Phase::FiveLeft
                                     : Phase::Plenty;
}

bool CTalkTimer::Reached(std::uint64_t nLeftMs, std::uint64_t& nAtMs) const {
    if (m_nTotalMs <= nLeftMs) {
        return false;
    }
    nAtMs = m_nTotalMs - nLeftMs;
    return true;
}

bool CTalkTimer::Flashing(std::uint64_t nElapsedMs) const {
    for (const std::uint64_t nLeftMs : {FIVE_LEFT_MS, TWO_LEFT_MS, std::uint64_t{0}}) {
        std::uint64_t nAtMs = 0;
        if (Reached(nLeftMs, nAtMs) && nElapsedMs >= nAtMs && nElapsedMs < nAtMs + FLASH_MS) {
            return (nElapsedMs - nAtMs) / BLINK_MS % 2 == 0;
        }
    }
    return false;
}

std::uint64_t CTalkTimer::NextChangeMs(std::uint64_t nElapsedMs) const {
    // The total is whole seconds, so the text changes on every whole second.
    std::uint64_t nNextMs = (nElapsedMs / 1000 + 1) * 1000;
    for (const std::uint64_t nLeftMs : {FIVE_LEFT_MS, TWO_LEFT_MS, std::uint64_t{0}}) {
        std::uint64_t nAtMs = 0;
        if (Reached(nLeftMs, nAtMs) && nElapsedMs >= nAtMs && nElapsedMs < nAtMs + FLASH_MS) {
            const std::uint64_t nBlinkMs = nAtMs + ((nElapsedMs - nAtMs) / BLINK_MS + 1) * BLINK_MS;
            nNextMs = nBlinkMs < nNextMs ? nBlinkMs : nNextMs;
        }
    }
    return nNextMs;
}
