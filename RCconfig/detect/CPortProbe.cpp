#include "CPortProbe.h"

namespace {

constexpr std::uint8_t VEKO_REPEAT_BYTE = 0xAA;
constexpr std::uint8_t ZELMAR_LEAD_BYTE = 0x5A; // 'Z'
constexpr std::size_t FRAME_BYTES = 3;

} // namespace

int CPortProbe::Classify(const std::uint8_t* pBytes, std::size_t nCount) {
    if (pBytes == nullptr || nCount < READ_BYTES) {
        return TYPE_NONE;
    }
    if (pBytes[0] == VEKO_REPEAT_BYTE && pBytes[1] == VEKO_REPEAT_BYTE &&
        pBytes[2] == VEKO_REPEAT_BYTE) {
        return TYPE_VEKO;
    }
    // The read may begin anywhere within a frame.
    for (std::size_t p = 0; p < FRAME_BYTES; ++p) {
        if (pBytes[p] == ZELMAR_LEAD_BYTE && pBytes[p + FRAME_BYTES] == ZELMAR_LEAD_BYTE &&
            pBytes[p + 2 * FRAME_BYTES] == ZELMAR_LEAD_BYTE) {
            return TYPE_ZELMAR_OVI;
        }
    }
    return TYPE_NONE;
}

bool CPortProbe::AddRead(bool bOk, const std::uint8_t* pBytes, std::size_t nCount) {
    if (m_bDecided) {
        return true;
    }
    ++m_nReads;
    if (bOk && pBytes != nullptr && nCount == READ_BYTES) {
        m_nType = Classify(pBytes, nCount);
        m_bDecided = true;
    } else if (m_nReads >= MAX_READS) {
        m_bDecided = true;
    }
    return m_bDecided;
}
