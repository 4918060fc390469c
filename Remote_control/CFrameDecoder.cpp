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

// Position within a frame: which byte is expected next.
enum class State {
    BetweenFrames, // S0
    VekoHigh,      // S1: high address byte seen
    VekoAddress,   // S2: both address bytes seen
    RepeatOne,     // S3: one 0xAA seen
    RepeatTwo,     // S4: two 0xAA seen
    ZelmarLead,    // S5: lead byte seen
    ZelmarSame,    // S6: our address, toggle unchanged (held key)
    ZelmarChanged, // S7: our address, toggle changed (new press)
};

} // namespace

CFrameDecoder::CFrameDecoder(Listener& listener) : m_listener(listener) {}

void CFrameDecoder::SetAddress(std::uint32_t dwAddress) {
    m_byAddrLow = static_cast<std::uint8_t>(dwAddress & 0xFFu);
    m_byAddrHigh = static_cast<std::uint8_t>((dwAddress >> 8) & 0xFFu);
}

void CFrameDecoder::DecodeBytes(const std::uint8_t* pBytes, std::size_t nCount) {
    if (pBytes == nullptr) {
        return;
    }
    // A byte that breaks off a frame is used up, never reread as a frame start.
    State state = State::BetweenFrames;
    for (std::size_t i = 0; i < nCount; ++i) {
        const std::uint8_t b = pBytes[i];
        switch (state) {
        case State::BetweenFrames:
            // The lead byte wins over an address high byte of the same value.
            if (b == ZELMAR_LEAD) {
                state = State::ZelmarLead;
            } else if (b == m_byAddrHigh) {
                state = State::VekoHigh;
            } else if (b == VEKO_REPEAT && m_nLastKey != -1) {
                state = State::RepeatOne;
            }
            break;
        case State::VekoHigh:
            state = b == m_byAddrLow ? State::VekoAddress : State::BetweenFrames;
            break;
        case State::VekoAddress: {
            const int nKey = VekoKey(b);
            if (nKey != NO_KEY) {
                m_nLastKey = nKey;
                NewPress(nKey);
            }
            state = State::BetweenFrames;
            break;
        }
        case State::RepeatOne:
            state = b == VEKO_REPEAT ? State::RepeatTwo : State::BetweenFrames;
            break;
        case State::RepeatTwo:
            if (b == VEKO_REPEAT && m_bHold == 0) {
                Repeat(m_nLastKey);
            }
            state = State::BetweenFrames;
            break;
        case State::ZelmarLead:
            // The configuration stores a ZELMAR_OVI address as its five bits in
            // the high byte; the low byte plays no part.
            if ((b & ZELMAR_ADDR_MASK) == m_byAddrHigh) {
                const int nToggle = (b & ZELMAR_TOGGLE_BIT) != 0 ? 1 : 0;
                state = nToggle == m_nLastToggle ? State::ZelmarSame : State::ZelmarChanged;
                // Stored even if the command turns out void: the remote has
                // flipped its toggle all the same.
                m_nLastToggle = nToggle;
            } else {
                state = State::BetweenFrames;
            }
            break;
        case State::ZelmarSame: {
            const int nKey = ZelmarKey(b);
            if (nKey != NO_KEY && m_bHold == 0) {
                Repeat(nKey);
            }
            state = State::BetweenFrames;
            break;
        }
        case State::ZelmarChanged: {
            const int nKey = ZelmarKey(b);
            if (nKey != NO_KEY) {
                NewPress(nKey);
            }
            state = State::BetweenFrames;
            break;
        }
        }
    }
}

void CFrameDecoder::HoldExpired() {
    m_bHold = 0;
}

void CFrameDecoder::NewPress(int nKey) {
    m_listener.OnKeyEvent(nKey, NEW_PRESS);
    m_bHold = 1;
    m_listener.StartHoldTimer();
}

void CFrameDecoder::Repeat(int nKey) {
    m_listener.OnKeyEvent(nKey, REPEAT);
}
