#include "CKeyChord.h"

#include "IniText.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace {

struct NamedKey {
    const char* pszName;
    std::uint16_t nVirtualKey;
};

const NamedKey NAMED_KEYS[] = {
    {"Up", CKeyChord::VKEY_UP},
    {"Down", CKeyChord::VKEY_DOWN},
    {"Left", CKeyChord::VKEY_LEFT},
    {"Right", CKeyChord::VKEY_RIGHT},
    {"PageUp", CKeyChord::VKEY_PRIOR},
    {"PageDown", CKeyChord::VKEY_NEXT},
    {"Home", CKeyChord::VKEY_HOME},
    {"End", CKeyChord::VKEY_END},
    {"Insert", CKeyChord::VKEY_INSERT},
    {"Delete", CKeyChord::VKEY_DELETE},
    {"Enter", CKeyChord::VKEY_RETURN},
    {"Esc", CKeyChord::VKEY_ESCAPE},
    {"Space", CKeyChord::VKEY_SPACE},
    {"Tab", CKeyChord::VKEY_TAB},
    {"Backspace", CKeyChord::VKEY_BACK},
    {"PrintScreen", CKeyChord::VKEY_SNAPSHOT},
    {"PlayPause", CKeyChord::VKEY_MEDIA_PLAY_PAUSE},
    {"Stop", CKeyChord::VKEY_MEDIA_STOP},
    {"NextTrack", CKeyChord::VKEY_MEDIA_NEXT_TRACK},
    {"PrevTrack", CKeyChord::VKEY_MEDIA_PREV_TRACK},
    {"VolumeUp", CKeyChord::VKEY_VOLUME_UP},
    {"VolumeDown", CKeyChord::VKEY_VOLUME_DOWN},
    {"Mute", CKeyChord::VKEY_VOLUME_MUTE},
    {"BrowserBack", CKeyChord::VKEY_BROWSER_BACK},
    {"BrowserForward", CKeyChord::VKEY_BROWSER_FORWARD},
    {"BrowserHome", CKeyChord::VKEY_BROWSER_HOME},
};

const NamedKey MODIFIERS[] = {
    {"Ctrl", CKeyChord::VKEY_CONTROL},
    {"Shift", CKeyChord::VKEY_SHIFT},
    {"Alt", CKeyChord::VKEY_MENU},
    {"Win", CKeyChord::VKEY_LWIN},
};

const int LAST_FUNCTION_KEY = 24;

// The virtual-key code for a key name, 0 for an unknown one.
std::uint16_t KeyByName(const std::string& strName) {
    if (strName.size() == 1) {
        const char c = initext::LowerAscii(strName[0]);
        if (c >= 'a' && c <= 'z') {
            return static_cast<std::uint16_t>(CKeyChord::VKEY_A + (c - 'a'));
        }
        if (c >= '0' && c <= '9') {
            return static_cast<std::uint16_t>(CKeyChord::VKEY_0 + (c - '0'));
        }
    }
    // F1 to F24, written without leading zeros.
    if ((strName.size() == 2 || strName.size() == 3) && initext::LowerAscii(strName[0]) == 'f' &&
        strName[1] >= '1' && strName[1] <= '9' &&
        (strName.size() == 2 || (strName[2] >= '0' && strName[2] <= '9'))) {
        const int nNumber = std::atoi(strName.c_str() + 1);
        if (nNumber <= LAST_FUNCTION_KEY) {
            return static_cast<std::uint16_t>(CKeyChord::VKEY_F1 + (nNumber - 1));
        }
    }
    for (const NamedKey& key : NAMED_KEYS) {
        if (initext::EqualsNoCase(strName, key.pszName)) {
            return key.nVirtualKey;
        }
    }
    return 0;
}

std::uint16_t ModifierByName(const std::string& strName) {
    for (const NamedKey& modifier : MODIFIERS) {
        if (initext::EqualsNoCase(strName, modifier.pszName)) {
            return modifier.nVirtualKey;
        }
    }
    return 0;
}

// Keys whose scan code carries the 0xE0 prefix on a real keyboard; without the
// flag an arrow arrives as the number pad's arrow.
bool IsExtended(std::uint16_t nVirtualKey) {
    switch (nVirtualKey) {
    case CKeyChord::VKEY_PRIOR:
    case CKeyChord::VKEY_NEXT:
    case CKeyChord::VKEY_END:
    case CKeyChord::VKEY_HOME:
    case CKeyChord::VKEY_LEFT:
    case CKeyChord::VKEY_UP:
    case CKeyChord::VKEY_RIGHT:
    case CKeyChord::VKEY_DOWN:
    case CKeyChord::VKEY_INSERT:
    case CKeyChord::VKEY_DELETE:
    case CKeyChord::VKEY_LWIN:
        return true;
    default:
        return nVirtualKey >= CKeyChord::VKEY_BROWSER_BACK &&
               nVirtualKey <= CKeyChord::VKEY_MEDIA_PLAY_PAUSE;
    }
}

} // namespace

bool CKeyChord::Parse(const std::string& strText, std::string& strReason) {
    std::uint16_t nModifiers[MAX_MODIFIERS] = {};
    std::size_t nModifierCount = 0;
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nPlus = strText.find('+', nStart);
        const std::string strName = initext::Trim(strText.substr(
            nStart, nPlus == std::string::npos ? std::string::npos : nPlus - nStart));
        if (strName.empty()) {
            strReason = "a key name is missing";
            return false;
        }
        if (nPlus == std::string::npos) {
            const std::uint16_t nKey = KeyByName(strName);
            if (nKey == 0) {
                strReason = (ModifierByName(strName) != 0 ? "no key after the modifier "
                                                          : "unknown key name ") +
                            initext::Quoted(strName);
                return false;
            }
            std::copy(std::begin(nModifiers), std::end(nModifiers), std::begin(m_nModifiers));
            m_nModifierCount = nModifierCount;
            m_nKey = nKey;
            return true;
        }
        const std::uint16_t nModifier = ModifierByName(strName);
        if (nModifier == 0) {
            strReason = "unknown modifier " + initext::Quoted(strName);
            return false;
        }
        // "Ctrl+Ctrl+A" holds Ctrl once.
        bool bSeen = false;
        for (std::size_t i = 0; i < nModifierCount; ++i) {
            bSeen = bSeen || nModifiers[i] == nModifier;
        }
        if (!bSeen) {
            nModifiers[nModifierCount++] = nModifier;
        }
        nStart = nPlus + 1;
    }
}

std::vector<CKeyChord::Input> CKeyChord::Inputs() const {
    std::vector<Input> inputs;
    for (std::size_t i = 0; i < m_nModifierCount; ++i) {
        inputs.push_back({m_nModifiers[i], IsExtended(m_nModifiers[i]), false});
    }
    inputs.push_back({m_nKey, IsExtended(m_nKey), false});
    inputs.push_back({m_nKey, IsExtended(m_nKey), true});
    for (std::size_t i = m_nModifierCount; i > 0; --i) {
        inputs.push_back({m_nModifiers[i - 1], IsExtended(m_nModifiers[i - 1]), true});
    }
    return inputs;
}

std::vector<CKeyChord::Input> CKeyChord::ReleasesAfter(std::size_t nSent) const {
    const std::vector<Input> inputs = Inputs();
    std::vector<Input> releases;
    // Every down has its up later in the list: the ups not yet sent whose
    // downs were sent, in the list's order.
    for (std::size_t i = nSent; i < inputs.size(); ++i) {
        if (!inputs[i].bKeyUp) {
            continue;
        }
        for (std::size_t j = 0; j < nSent && j < inputs.size(); ++j) {
            if (!inputs[j].bKeyUp && inputs[j].nVirtualKey == inputs[i].nVirtualKey) {
                releases.push_back(inputs[i]);
                break;
            }
        }
    }
    return releases;
}

std::string CKeyChord::KeyName(std::uint16_t nVirtualKey) {
    if (nVirtualKey >= VKEY_A && nVirtualKey < VKEY_A + 26) {
        return std::string(1, static_cast<char>('A' + (nVirtualKey - VKEY_A)));
    }
    if (nVirtualKey >= VKEY_0 && nVirtualKey < VKEY_0 + 10) {
        return std::string(1, static_cast<char>('0' + (nVirtualKey - VKEY_0)));
    }
    if (nVirtualKey >= VKEY_F1 && nVirtualKey < VKEY_F1 + LAST_FUNCTION_KEY) {
        return "F" + std::to_string(nVirtualKey - VKEY_F1 + 1);
    }
    for (const NamedKey& key : NAMED_KEYS) {
        if (key.nVirtualKey == nVirtualKey) {
            return key.pszName;
        }
    }
    return std::string();
}

std::vector<std::string> CKeyChord::KeyNames() {
    std::vector<std::string> names;
    for (const NamedKey& key : NAMED_KEYS) {
        names.push_back(key.pszName);
    }
    for (int i = 1; i <= LAST_FUNCTION_KEY; ++i) {
        names.push_back("F" + std::to_string(i));
    }
    for (char c = 'A'; c <= 'Z'; ++c) {
        names.push_back(std::string(1, c));
    }
    for (char c = '0'; c <= '9'; ++c) {
        names.push_back(std::string(1, c));
    }
    return names;
}
