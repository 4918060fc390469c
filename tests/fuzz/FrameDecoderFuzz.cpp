// Input: 4 bytes of address, then chunks, each as a flags byte (bit 0: the hold
// timer fires first; bit 1: empty chunk passed as a null pointer), a length byte
// and up to that many bytes.
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

    void BeginChunk(const std::uint8_t* pBytes, std::size_t nCount) {
        m_pBytes = pBytes;
        m_nCount = nCount;
        m_nEvents = 0;
    }

    void EndChunk(const CFrameDecoder& decoder) const {
        Check(!m_bTimerDue);
        Check(m_nEvents <= m_nCount / 3);
        Check(decoder.GetLastKey() == m_nLastVekoPress);
        Check(decoder.GetLastToggle() >= -1 && decoder.GetLastToggle() <= 1);
        Check(decoder.IsHold() == (m_bHold ? 1 : 0));
    }

    void HoldExpired() { m_bHold = false; }

    void OnKeyEvent(int nKey, int nRepeat) override {
        Check(nKey >= CFrameDecoder::FIRST_KEY && nKey <= CFrameDecoder::LAST_KEY);
        Check(nRepeat == CFrameDecoder::NEW_PRESS || nRepeat == CFrameDecoder::REPEAT);
        Check(!m_bTimerDue);
        ++m_nEvents;
        const bool bVeko = nKey <= CFrameDecoder::LAST_VEKO_KEY;
        if (nRepeat == CFrameDecoder::REPEAT) {
            Check(!m_bHold);
        } else {
            m_bTimerDue = true;
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

    void StartHoldTimer() override {
        Check(m_bTimerDue);
        m_bTimerDue = false;
        m_bHold = true;
    }

private:
    template <typename Match> bool HasFrame(Match match) const {
        for (std::size_t i = 0; i + 2 < m_nCount; ++i) {
            if (match(m_pBytes[i], m_pBytes[i + 1], m_pBytes[i + 2])) {
                return true;
            }
        }
        return false;
    }

    const std::uint8_t m_byHigh;
    const std::uint8_t m_byLow;
    const std::uint8_t* m_pBytes = nullptr;
    std::size_t m_nCount = 0;
    std::size_t m_nEvents = 0;
    int m_nLastVekoPress = -1;
    bool m_bTimerDue = false;
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
    CFrameDecoder decoder(checker);
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
        if ((byFlags & 1u) != 0) {
            decoder.HoldExpired();
            checker.HoldExpired();
        }
        // An exact copy, so that reading past the chunk is caught.
        const std::vector<std::uint8_t> chunk(pData + nPos, pData + nPos + nCount);
        const std::uint8_t* pChunk = nCount != 0 ? chunk.data() : pData + nPos;
        if ((byFlags & 2u) != 0) {
            pChunk = nullptr;
            nCount = 0;
        }
        checker.BeginChunk(pChunk, nCount);
        decoder.DecodeBytes(pChunk, nCount);
        checker.EndChunk(decoder);
        nPos += nCount;
    }
    return 0;
}
