#include "CAddressDetector.h"

namespace {

constexpr std::uint8_t ZELMAR_LEAD_BYTE = 0x5A; // 'Z'
constexpr std::uint8_t ZELMAR_ADDRESS_BITS = 0x1F;
constexpr std::size_t FRAME_BYTES = 3;
constexpr unsigned BYTE_SHIFT = 8;

} // namespace

bool CAddressDetector::AddRead(bool bOk, const std::uint8_t* pBytes, std::size_t nCount) {
    if (!WantsMoreReads()) {
        return false;
    }
    ++m_nReads;
    if (!bOk || pBytes == nullptr || nCount < FRAME_BYTES) {
        return false;
    }
    std::uint16_t wAddress = 0;
    if (pBytes[0] == ZELMAR_LEAD_BYTE) {
        wAddress = static_cast<std::uint16_t>((pBytes[1] & ZELMAR_ADDRESS_BITS) << BYTE_SHIFT);
    } else if (pBytes[0] == static_cast<std::uint8_t>(~pBytes[1])) {
        wAddress = static_cast<std::uint16_t>((pBytes[0] << BYTE_SHIFT) | pBytes[1]);
    } else {
        return false;
    }
    ++m_nCount;
    if (m_nCount >= RECEPTIONS_NEEDED) {
        m_bFound = true;
        m_wAddress = wAddress;
    }
    return true;
}

bool CAddressDetector::WantsMoreReads() const {
    return !m_bFound && m_nReads < MAX_READS;
}
