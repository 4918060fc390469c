// Decides from the reads of one port whether the receiver is attached to it
// and which type of remote control it hears. The user holds a key down during
// the search, so the receiver repeats frames without pause.
#pragma once

#include <cstddef>
#include <cstdint>

class CPortProbe {
public:
    // Each read asks for this many bytes.
    static constexpr std::size_t READ_BYTES = 12;
    // Reads that return fewer bytes are retried up to this many reads in all.
    static constexpr int MAX_READS = 3;

    // Remote-control types, as stored in the settings.
    static constexpr int TYPE_NONE = -1;
    static constexpr int TYPE_VEKO = 0;
    static constexpr int TYPE_ZELMAR_OVI = 1;

    // The type that one full read of READ_BYTES bytes shows, or TYPE_NONE.
    // Three 0xAA bytes at the start: a held VEKO key's repeat frames. Otherwise
    // the lead byte 'Z' three frames in a row at any of the three alignments:
    // ZELMAR_OVI frames. Fewer than READ_BYTES bytes show nothing.
    static int Classify(const std::uint8_t* pBytes, std::size_t nCount);

    // Takes the outcome of one read (bOk false for a failed read). Returns
    // true once the probe is decided: after the first full read, or after
    // MAX_READS reads.
    bool AddRead(bool bOk, const std::uint8_t* pBytes, std::size_t nCount);

    bool IsDecided() const { return m_bDecided; }
    // TYPE_NONE until a full read showed a type.
    int GetType() const { return m_nType; }

private:
    int m_nReads = 0;
    bool m_bDecided = false;
    int m_nType = TYPE_NONE;
};
