// Builds the three-byte frames a receiver sends for the keys of either remote
// type. Keeps the ZELMAR_OVI toggle bit, which a real remote flips on every new
// press and keeps while a key is held.
#pragma once

#include "RemoteKeys.h"

#include <array>
#include <cstdint>

class FrameBuilder {
public:
    using Frame = std::array<std::uint8_t, 3>;

    // VEKO: 16-bit address, sent high byte first. ZELMAR_OVI: 5 address bits.
    static constexpr unsigned MAX_VEKO_ADDRESS = 0xFFFF;
    static constexpr unsigned MAX_ZELMAR_ADDRESS = 0x1F;

    // firstToggle: the toggle bit (0 or 1) of the first ZELMAR_OVI press.
    explicit FrameBuilder(int firstToggle = 0);

    // The toggle bit that the next ZELMAR_OVI press carries; anything but 0
    // counts as 1.
    void SetNextToggle(int toggle);
    int GetNextToggle() const { return m_nextToggle; }

    // Frame of a new press of key. A ZELMAR_OVI press uses the next toggle bit
    // and flips it. False, with frame and toggle untouched, when the key or the
    // address does not belong to the type.
    bool Press(RemoteType type, unsigned address, int key, Frame& frame);

    // Frame sent while the key of the last press is held: VEKO 0xAA 0xAA 0xAA,
    // ZELMAR_OVI the key frame with the toggle bit of the last press.
    bool Repeat(RemoteType type, unsigned address, int key, Frame& frame) const;

    static bool IsAddress(RemoteType type, unsigned address);

    // Code of key in its type's table; -1 when the key is not of that type.
    static int KeyCode(RemoteType type, int key);

private:
    static bool Build(RemoteType type, unsigned address, int key, int toggle, Frame& frame);

    int m_nextToggle;
};
