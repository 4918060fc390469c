#include "FrameBuilder.h"

#include <cstddef>

namespace {

constexpr std::uint8_t ZELMAR_LEAD = 0x5A;
constexpr std::uint8_t ZELMAR_TOGGLE_BIT = 0x20;
constexpr std::uint8_t VEKO_REPEAT = 0xAA;

// Key codes indexed by key number minus the type's first key.
constexpr std::uint8_t VEKO_CODES[] = {0x13, 0x1A, 0x11, 0x10, 0x00, 0x02};
constexpr std::uint8_t ZELMAR_CODES[] = {
    0x04, 0x0C, 0x14, 0x03, 0x0B, 0x13, // F1..F6
    0x02, 0x12,                         // ESC, Enter
    0x0A, 0x09, 0x01, 0x11,             // arrows up, down, left, right
    0x05, 0x0D, 0x00, 0x10, 0x08,       // vehicle, STOP, ?, right of ?, green
};
static_assert(sizeof(VEKO_CODES) == RemoteKeys::LAST_VEKO_KEY - RemoteKeys::FIRST_KEY + 1,
              "one code per VEKO key");
static_assert(sizeof(ZELMAR_CODES) == RemoteKeys::LAST_KEY - RemoteKeys::FIRST_ZELMAR_KEY + 1,
              "one code per ZELMAR_OVI key");

} // namespace

FrameBuilder::FrameBuilder(int firstToggle) : m_nextToggle(firstToggle != 0 ? 1 : 0) {}

void FrameBuilder::SetNextToggle(int toggle) {
    m_nextToggle = toggle != 0 ? 1 : 0;
}

bool FrameBuilder::Press(RemoteType type, unsigned address, int key, Frame& frame) {
    if (!Build(type, address, key, m_nextToggle, frame)) {
        return false;
    }
    if (type == RemoteType::ZelmarOvi) {
        m_nextToggle ^= 1;
    }
    return true;
}

bool FrameBuilder::Repeat(RemoteType type, unsigned address, int key, Frame& frame) const {
    Frame built{};
    if (!Build(type, address, key, m_nextToggle ^ 1, built)) {
        return false;
    }
    frame = type == RemoteType::Veko ? Frame{VEKO_REPEAT, VEKO_REPEAT, VEKO_REPEAT} : built;
    return true;
}

bool FrameBuilder::IsAddress(RemoteType type, unsigned address) {
    return address <= (type == RemoteType::Veko ? MAX_VEKO_ADDRESS : MAX_ZELMAR_ADDRESS);
}

int FrameBuilder::KeyCode(RemoteType type, int key) {
    if (!RemoteKeys::BelongsTo(type, key)) {
        return -1;
    }
    if (type == RemoteType::Veko) {
        return VEKO_CODES[key - RemoteKeys::FIRST_KEY];
    }
    return ZELMAR_CODES[key - RemoteKeys::FIRST_ZELMAR_KEY];
}

bool FrameBuilder::Build(RemoteType type, unsigned address, int key, int toggle, Frame& frame) {
    const int code = KeyCode(type, key);
    if (code < 0 || !IsAddress(type, address)) {
        return false;
    }
    const std::uint8_t byCode = static_cast<std::uint8_t>(code);
    if (type == RemoteType::Veko) {
        frame = {static_cast<std::uint8_t>(address >> 8),
                 static_cast<std::uint8_t>(address & 0xFFu), byCode};
    } else {
        const std::uint8_t byToggle = toggle != 0 ? ZELMAR_TOGGLE_BIT : 0;
        frame = {ZELMAR_LEAD, static_cast<std::uint8_t>(address | byToggle), byCode};
    }
    return true;
}
