#include "CFrameDecoder.h"

namespace {

constexpr std::uint8_t ZELMAR_LEAD = 0x5A;
constexpr std::uint8_t VEKO_REPEAT = 0xAA;
constexpr std::uint8_t ZELMAR_ADDR_MASK = 0x1F;
constexpr std::uint8_t ZELMAR_TOGGLE_BIT = 0x20;
constexpr int NO_KEY = 0;

struct KeyCode {
    std::uint8_t byCode;
    int nKey;
};

constexpr KeyCode VEKO_KEYS[] = {
    {0x13, 1}, {0x1A, 2}, {0x11, 3}, {0x10, 4}, {0x00, 5}, {0x02, 6},
};

// Indexed by command code; NO_KEY marks the codes that void a frame.
constexpr int ZELMAR_KEYS[] = {
    21, 17, 13, 10, 7, 19, NO_KEY, NO_KEY, 23, 16, 15, 11, 8, 20, NO_KEY, NO_KEY, 22, 18, 14, 12, 9,
};

int VekoKey(std::uint8_t byCode) {
    for (const KeyCode& entry : VEKO_KEYS) {
        if (entry.byCode == byCode) {
            return entry.nKey;
        }
    }
    return NO_KEY;
}

int ZelmarKey(std::uint8_t byCode) {
    if (byCode >= sizeof(ZELMAR_KEYS) / sizeof(ZELMAR_KEYS[0])) {
        return NO_KEY;
    }
    return ZELMAR_KEYS[byCode];
}

// Time from then to now; a clock that went back counts as no time.
std::uint64_t Elapsed(std::uint64_t nNowMs, std::uint64_t nThenMs) {
    return nNowMs > nThenMs ? nNowMs - nThenMs : 0;
}

} // namespace

CFrameDecoder::CFrameDecoder(Listener& listener, CDeadlineClock& clock)
    : m_listener(listener), m_clock(clock), m_holdTimer(clock, [this] { HoldExpired(); }),
      m_releaseTimer(clock, [this] { ReleaseExpired(m_clock.Now()); }) {}

void CFrameDecoder::SetAddress(std::uint32_t dwAddress) {
    m_byAddrLow = static_cast<std::uint8_t>(dwAddress & 0xFFu);
    m_byAddrHigh = static_cast<std::uint8_t>((dwAddress >> 8) & 0xFFu);
}

void CFrameDecoder::DecodeBytes(const std::uint8_t* pBytes, std::size_t nCount,
                                std::uint64_t nNowMs) {
    if (!m_bHaveChunk || Elapsed(nNowMs, m_nChunkMs) > CHUNK_JOIN_MS) {
        m_state = State::BetweenFrames;
    }
    m_bHaveChunk = true;
    m_nChunkMs = nNowMs;
    // A late release timer must not let the end of a hold come after what
    // follows it.
    if (m_nHeldKey != 0 && Elapsed(nNowMs, m_nHoldFrameMs) > RELEASE_TIME_MS) {
        EndHold();
    }
    if (pBytes == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < nCount; ++i) {
        DecodeByte(pBytes[i], nNowMs);
    }
}

// A byte that breaks off a frame is used up, never reread as a frame start.
void CFrameDecoder::DecodeByte(std::uint8_t b, std::uint64_t nNowMs) {
    switch (m_state) {
    case State::BetweenFrames:
        // The lead byte wins over an address high byte of the same value.
        if (b == ZELMAR_LEAD) {
            m_state = State::ZelmarLead;
        } else if (b == m_byAddrHigh) {
            m_state = State::VekoHigh;
        } else if (b == VEKO_REPEAT && m_nLastKey != -1) {
            m_state = State::RepeatOne;
        }
        break;
    case State::VekoHigh:
        m_state = b == m_byAddrLow ? State::VekoAddress : State::BetweenFrames;
        break;
    case State::VekoAddress: {
        m_state = State::BetweenFrames;
        const int nKey = VekoKey(b);
        if (nKey != NO_KEY) {
            m_nLastKey = nKey;
            NewPress(nKey, nNowMs);
        }
        break;
    }
    case State::RepeatOne:
        m_state = b == VEKO_REPEAT ? State::RepeatTwo : State::BetweenFrames;
        break;
    case State::RepeatTwo:
        m_state = State::BetweenFrames;
        // A repeat frame carries no key: it continues the VEKO hold going on,
        // or nothing (its press was missed, or was long ago).
        if (b == VEKO_REPEAT && ContinuesHold(m_nLastKey, nNowMs)) {
            RepeatFrame(nNowMs);
        }
        break;
    case State::ZelmarLead:
        // The configuration stores a ZELMAR_OVI address as its five bits in
        // the high byte; the low byte plays no part.
        if ((b & ZELMAR_ADDR_MASK) == m_byAddrHigh) {
            const int nToggle = (b & ZELMAR_TOGGLE_BIT) != 0 ? 1 : 0;
            m_state = nToggle == m_nLastToggle ? State::ZelmarSame : State::ZelmarChanged;
            // Stored even if the command turns out void: the remote has
            // flipped its toggle all the same.
            m_nLastToggle = nToggle;
        } else {
            m_state = State::BetweenFrames;
        }
        break;
    case State::ZelmarSame: {
        m_state = State::BetweenFrames;
        // The same toggle means a held key only while that key's hold goes
        // on; otherwise a press was missed or the remote was reset.
        const int nKey = ZelmarKey(b);
        if (nKey == NO_KEY) {
            break;
        }
        if (ContinuesHold(nKey, nNowMs)) {
            RepeatFrame(nNowMs);
        } else {
            NewPress(nKey, nNowMs);
        }
        break;
    }
    case State::ZelmarChanged: {
        m_state = State::BetweenFrames;
        const int nKey = ZelmarKey(b);
        if (nKey != NO_KEY) {
            NewPress(nKey, nNowMs);
        }
        break;
    }
    }
}

void CFrameDecoder::HoldExpired() {
    m_bHold = false;
}

void CFrameDecoder::ReleaseExpired(std::uint64_t nNowMs) {
    if (m_nHeldKey == 0) {
        return;
    }
    const std::uint64_t nElapsed = Elapsed(nNowMs, m_nHoldFrameMs);
    if (nElapsed >= RELEASE_TIME_MS) {
        EndHold();
    } else {
        // Repeat frames have moved the end on.
        m_releaseTimer.SetAfter(RELEASE_TIME_MS - nElapsed);
    }
}

void CFrameDecoder::ReleaseNow() {
    if (m_nHeldKey != 0) {
        EndHold();
    }
}

bool CFrameDecoder::ContinuesHold(int nKey, std::uint64_t nNowMs) const {
    return m_nHeldKey != 0 && m_nHeldKey == nKey &&
           Elapsed(nNowMs, m_nHoldFrameMs) <= RELEASE_TIME_MS;
}

void CFrameDecoder::RepeatFrame(std::uint64_t nNowMs) {
    // Dropped or not, the frame shows the key is still held.
    m_nHoldFrameMs = nNowMs;
    if (!m_bHold) {
        m_listener.OnKeyEvent(m_nHeldKey, REPEAT);
    }
}

void CFrameDecoder::NewPress(int nKey, std::uint64_t nNowMs) {
    // Every press is paired with one release, also a press of the same key.
    if (m_nHeldKey != 0) {
        EndHold();
    }
    m_listener.OnKeyEvent(nKey, NEW_PRESS);
    m_bHold = true;
    m_holdTimer.SetAfter(HOLD_TIME_MS);
    m_nHeldKey = nKey;
    m_nHoldFrameMs = nNowMs;
    m_releaseTimer.SetAfter(RELEASE_TIME_MS);
}

void CFrameDecoder::EndHold() {
    const int nKey = m_nHeldKey;
    m_nHeldKey = 0;
    m_releaseTimer.Cancel();
    m_listener.OnKeyRelease(nKey);
}
