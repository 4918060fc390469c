#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One keystroke to type: modifiers held, one key pressed and released. Knows
// the key names of KeyMap.ini and the virtual-key codes behind them; uses no
// operating-system service, so the caller turns the records into input.
class CKeyChord {
public:
    // Virtual-key codes, as Windows numbers them.
    static constexpr std::uint16_t VKEY_BACK = 0x08;
    static constexpr std::uint16_t VKEY_TAB = 0x09;
    static constexpr std::uint16_t VKEY_RETURN = 0x0D;
    static constexpr std::uint16_t VKEY_SHIFT = 0x10;
    static constexpr std::uint16_t VKEY_CONTROL = 0x11;
    static constexpr std::uint16_t VKEY_MENU = 0x12;
    static constexpr std::uint16_t VKEY_ESCAPE = 0x1B;
    static constexpr std::uint16_t VKEY_SPACE = 0x20;
    static constexpr std::uint16_t VKEY_PRIOR = 0x21;
    static constexpr std::uint16_t VKEY_NEXT = 0x22;
    static constexpr std::uint16_t VKEY_END = 0x23;
    static constexpr std::uint16_t VKEY_HOME = 0x24;
    static constexpr std::uint16_t VKEY_LEFT = 0x25;
    static constexpr std::uint16_t VKEY_UP = 0x26;
    static constexpr std::uint16_t VKEY_RIGHT = 0x27;
    static constexpr std::uint16_t VKEY_DOWN = 0x28;
    static constexpr std::uint16_t VKEY_SNAPSHOT = 0x2C;
    static constexpr std::uint16_t VKEY_INSERT = 0x2D;
    static constexpr std::uint16_t VKEY_DELETE = 0x2E;
    static constexpr std::uint16_t VKEY_0 = 0x30;
    static constexpr std::uint16_t VKEY_A = 0x41;
    static constexpr std::uint16_t VKEY_LWIN = 0x5B;
    static constexpr std::uint16_t VKEY_F1 = 0x70;
    static constexpr std::uint16_t VKEY_BROWSER_BACK = 0xA6;
    static constexpr std::uint16_t VKEY_BROWSER_FORWARD = 0xA7;
    static constexpr std::uint16_t VKEY_BROWSER_HOME = 0xAC;
    static constexpr std::uint16_t VKEY_VOLUME_MUTE = 0xAD;
    static constexpr std::uint16_t VKEY_VOLUME_DOWN = 0xAE;
    static constexpr std::uint16_t VKEY_VOLUME_UP = 0xAF;
    static constexpr std::uint16_t VKEY_MEDIA_NEXT_TRACK = 0xB0;
    static constexpr std::uint16_t VKEY_MEDIA_PREV_TRACK = 0xB1;
    static constexpr std::uint16_t VKEY_MEDIA_STOP = 0xB2;
    static constexpr std::uint16_t VKEY_MEDIA_PLAY_PAUSE = 0xB3;

    // Ctrl, Shift, Alt and Win, each at most once.
    static constexpr std::size_t MAX_MODIFIERS = 4;

    // One input record: a key going down or up.
    struct Input {
        std::uint16_t nVirtualKey;
        bool bExtended; // the key's scan code has the 0xE0 prefix
        bool bKeyUp;
        bool operator==(const Input& other) const {
            return nVirtualKey == other.nVirtualKey && bExtended == other.bExtended &&
                   bKeyUp == other.bKeyUp;
        }
    };

    // Reads a chord such as "PageDown", "Ctrl+Shift+Left" or "Alt+F4":
    // modifiers joined with '+' before one key, names in any case, blanks
    // around the names ignored. On failure the chord is unchanged and
    // strReason says why, in a short English sentence.
    bool Parse(const std::string& strText, std::string& strReason);

    // Modifiers down in order, the key down and up, modifiers up in reverse.
    std::vector<Input> Inputs() const;

    // The records still owed when only the first nSent of Inputs() were
    // taken: the release of every key that went down and did not come up
    // again, so that nothing stays held.
    std::vector<Input> ReleasesAfter(std::size_t nSent) const;

    std::uint16_t GetKey() const { return m_nKey; }

    // The name KeyMap.ini gives a virtual key ("PageDown", "F5", "A"); empty
    // for a modifier and for a key it cannot name.
    static std::string KeyName(std::uint16_t nVirtualKey);
    // Every key name a chord may end in, for a list to choose from.
    static std::vector<std::string> KeyNames();

private:
    std::uint16_t m_nModifiers[MAX_MODIFIERS] = {};
    std::size_t m_nModifierCount = 0;
    std::uint16_t m_nKey = 0;
};
