// Input: 4 bytes of address, then chunks, each as a flags byte (bit 0: the hold
// timer fires first; bit 1: empty chunk passed as a null pointer; bit 2: the
// release timer fires first; bits 4-7: time since the previous chunk, in steps
// of 40 ms), a length byte and up to that many bytes.
#include "CFrameDecoder.h"
#include "ExpectedKeys.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Check(bool bOk) {
    if (!bOk) {
        std::abort();
    }
}

// Checks every outward call against what the chunk can justify.
class Checker : public CFrameDecoder::Listener {
public:
    Checker(std::uint8_t byHigh, std::uint8_t byLow) : m_byHigh(byHigh), m_byLow(byLow) {}

    // bJoined: the chunk may go on with a frame from the ones before it.
    void BeginChunk(const std::uint8_t* pBytes, std::size_t nCount, bool bJoined) {
        if (!bJoined) {
            m_seen.clear();
        } else if (m_seen.size() > 2) {
            m_seen.erase(m_seen.begin(), m_seen.end() - 2);
        }
        if (pBytes != nullptr) {
            m_seen.insert(m_seen.end(), pBytes, pBytes + nCount);
        }
        m_nEvents = 0;
    }

    void EndChunk(const CFrameDecoder& decoder) const {
        Check(m_nEvents <= m_seen.size() / 3);
        Check(decoder.GetHeldKey() == m_nHeld);
        Check(decoder.GetLastKey() == m_nLastVekoPress);
        Check(decoder.GetLastToggle() >= -1 && decoder.GetLastToggle() <= 1);
        Check(decoder.IsHold() == m_bHold);
    }

    void HoldExpired() { m_bHold = false; }

    void OnKeyEvent(int nKey, int nRepeat) override {
        Check(nKey >= CFrameDecoder::FIRST_KEY && nKey <= CFrameDecoder::LAST_KEY);
        Check(nRepeat == CFrameDecoder::NEW_PRESS || nRepeat == CFrameDecoder::REPEAT);
        ++m_nEvents;
        const bool bVeko = nKey <= CFrameDecoder::LAST_VEKO_KEY;
        if (nRepeat == CFrameDecoder::REPEAT) {
            Check(!m_bHold);
            Check(nKey == m_nHeld);
        } else {
            // Every press comes after the release of the one before.
            Check(m_nHeld == 0);
            m_nHeld = nKey;
            m_bHold = true;
        }
        if (bVeko && nRepeat == CFrameDecoder::NEW_PRESS) {
            Check(m_byHigh != 0x5A);
            Check(HasFrame([this, nKey](std::uint8_t a, std::uint8_t b, std::uint8_t c) {
                return a == m_byHigh && b == m_byLow && ExpectedVekoKey(c) == nKey;
            }));
            m_nLastVekoPress = nKey;
        } else if (bVeko) {
            Check(m_byHigh != 0xAA);
            Check(nKey == m_nLastVekoPress);
            Check(HasFrame([](std::uint8_t a, std::uint8_t b, std::uint8_t c) {
                return a == 0xAA && b == 0xAA && c == 0xAA;
            }));
        } else {
            Check(HasFrame([this, nKey](std::uint8_t a, std::uint8_t b, std::uint8_t c) {
                return a == 0x5A && (b & 0x1F) == m_byHigh && ExpectedZelmarKey(c) == nKey;
            }));
        }
    }

    void OnKeyRelease(int nKey) override {
        Check(nKey == m_nHeld);
        m_nHeld = 0;
    }

private:
    template <typename Match> bool HasFrame(Match match) const {
        for (std::size_t i = 0; i + 2 < m_seen.size(); ++i) {
            if (match(m_seen[i], m_seen[i + 1], m_seen[i + 2])) {
                return true;
            }
        }
        return false;
    }

    const std::uint8_t m_byHigh;
    const std::uint8_t m_byLow;
    std::vector<std::uint8_t> m_seen; // the chunk and what it may go on from
    std::size_t m_nEvents = 0;
    int m_nHeld = 0;
    int m_nLastVekoPress = -1;
    bool m_bHold = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    std::uint32_t dwAddress = 0;
    if (nSize < sizeof(dwAddress)) {
        return 0;
    }
    for (std::size_t i = 0; i < sizeof(dwAddress); ++i) {
        dwAddress = (dwAddress << 8) | pData[i];
    }
    std::size_t nPos = sizeof(dwAddress);

    Checker checker(static_cast<std::uint8_t>((dwAddress >> 8) & 0xFFu),
                    static_cast<std::uint8_t>(dwAddress & 0xFFu));
    std::uint64_t nNowMs = 0;
    CDeadlineClock clock{[&nNowMs] { return nNowMs; }};
    CFrameDecoder decoder(checker, clock);
    decoder.SetAddress(dwAddress);
    Check(decoder.GetAddrHigh() == static_cast<std::uint8_t>((dwAddress >> 8) & 0xFFu));
    Check(decoder.GetAddrLow() == static_cast<std::uint8_t>(dwAddress & 0xFFu));

    while (nSize - nPos >= 2) {
        const std::uint8_t byFlags = pData[nPos];
        std::size_t nCount = pData[nPos + 1];
        nPos += 2;
        if (nCount > nSize - nPos) {
            nCount = nSize - nPos;
        }
        const std::uint64_t nStepMs = 40u * (byFlags >> 4);
        nNowMs += nStepMs;
        if ((byFlags & 1u) != 0) {
            decoder.HoldExpired();
            checker.HoldExpired();
        }
        if ((byFlags & 4u) != 0) {
            decoder.ReleaseExpired(nNowMs);
        }
        // An exact copy, so that reading past the chunk is caught.
        const std::vector<std::uint8_t> chunk(pData + nPos, pData + nPos + nCount);
        const std::uint8_t* pChunk = nCount != 0 ? chunk.data() : pData + nPos;
        if ((byFlags & 2u) != 0) {
            pChunk = nullptr;
            nCount = 0;
        }
        checker.BeginChunk(pChunk, nCount, nStepMs <= CFrameDecoder::CHUNK_JOIN_MS);
        decoder.DecodeBytes(pChunk, nCount, nNowMs);
        checker.EndChunk(decoder);
        nPos += nCount;
    }
    return 0;
}
