// Learns the address of the remote control from the receptions while the
// user clicks its keys: five recognised receptions, and the fifth gives the
// address. A held VEKO key's repeat frames carry no address and never count.
#pragma once

#include <cstddef>
#include <cstdint>

class CAddressDetector {
public:
    // Each read asks for this many bytes: room for two frames.
    static constexpr std::size_t READ_BYTES = 6;
    // Recognised receptions needed.
    static constexpr int RECEPTIONS_NEEDED = 5;
    // Reads before the detection gives up (2 s each: one minute).
    static constexpr int MAX_READS = 30;

    // Takes one read (bOk false for a failed read). Returns true when it
    // counted. A read counts at most once, whatever it holds: when it starts
    // with a ZELMAR_OVI frame ('Z', whose second byte holds the 5 address
    // bits) or with a VEKO key frame (first byte the complement of the
    // second). Reads of fewer than 3 bytes never count.
    bool AddRead(bool bOk, const std::uint8_t* pBytes, std::size_t nCount);

    // False once the address is found or MAX_READS reads were taken.
    bool WantsMoreReads() const;

    bool IsFound() const { return m_bFound; }
    // The address of the fifth counted reception; 0 until found. VEKO: first
    // byte high, second byte low. ZELMAR_OVI: the 5 address bits in the high
    // byte, low byte 0, which is how the resident program matches them.
    std::uint16_t GetAddress() const { return m_wAddress; }
    int GetCount() const { return m_nCount; }

private:
    int m_nReads = 0;
    int m_nCount = 0;
    bool m_bFound = false;
    std::uint16_t m_wAddress = 0;
};
