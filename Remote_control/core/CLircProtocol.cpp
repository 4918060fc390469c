#include "CLircProtocol.h"

#include "RemoteControl.h"

#include <cctype>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

const char* const REMOTE_VEKO = "VEKO";
const char* const REMOTE_ZELMAR = "ZELMAR_OVI";

// What a client may send but this server never does: it has no transmitter.
const char* const TRANSMIT_COMMANDS[] = {"SEND_ONCE", "SEND_START", "SEND_STOP", "SET_TRANSMITTERS",
                                         "SIMULATE"};

bool SameWord(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; b[i] != '\0'; ++i) {
        if (i >= a.size() || std::toupper(static_cast<unsigned char>(a[i])) !=
                                 std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size();
}

std::vector<std::string> Words(const std::string& strLine) {
    std::vector<std::string> words;
    std::string word;
    for (char c : strLine) {
        if (c == ' ' || c == '\t') {
            if (!word.empty()) {
                words.push_back(word);
                word.clear();
            }
        } else {
            word.push_back(c);
        }
    }
    if (!word.empty()) {
        words.push_back(word);
    }
    return words;
}

// Received text echoed in a reply: a byte that is no printable ASCII would
// break the block's lines.
std::string Printable(const std::string& strText) {
    std::string out = strText;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b > 0x7E) {
            c = '?';
        }
    }
    return out;
}

std::string Block(const std::string& strCommand, bool bSuccess,
                  const std::vector<std::string>& data) {
    std::string block =
        "BEGIN\n" + Printable(strCommand) + (bSuccess ? "\nSUCCESS\n" : "\nERROR\n");
    if (!data.empty()) {
        block += "DATA\n" + std::to_string(data.size()) + "\n";
        for (const std::string& line : data) {
            block += line + "\n";
        }
    }
    return block + "END\n";
}

int FirstKey(const char* pszRemote) {
    return pszRemote == REMOTE_VEKO ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
}

int LastKey(const char* pszRemote) {
    return pszRemote == REMOTE_VEKO ? RC_KEY_VEKO_LAST : RC_KEY_ZELMAR_LAST;
}

} // namespace

std::uint16_t CLircProtocol::PortFromSetting(bool bPresent, std::uint32_t dwValue) {
    if (!bPresent || dwValue > 0xFFFF) {
        return static_cast<std::uint16_t>(DEFAULT_PORT);
    }
    return static_cast<std::uint16_t>(dwValue);
}

std::string CLircProtocol::ButtonName(int nKey) {
    // The header's display names are its key macros' names in other case.
    const char* pszName = RC_KEY_NAME(nKey);
    std::string name = pszName != nullptr ? pszName : "";
    for (char& c : name) {
        c = c == ' ' ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return name;
}

const char* CLircProtocol::RemoteName(int nKey) {
    if (RC_IS_VEKO_KEY(nKey)) {
        return REMOTE_VEKO;
    }
    return RC_IS_ZELMAR_KEY(nKey) ? REMOTE_ZELMAR : nullptr;
}

CLircProtocol::CLircProtocol(std::string strVersion) : m_strVersion(std::move(strVersion)) {}

void CLircProtocol::SetAddress(std::uint32_t dwAddress) {
    m_dwAddress = dwAddress & 0xFFFF;
}

std::string CLircProtocol::KeyEvent(int nKey, int nRepeat) {
    if (nRepeat == 0) {
        m_nRepeatCount = 0;
    } else if (m_nRepeatCount < 0xFF) {
        ++m_nRepeatCount;
    }
    return Line(nKey, m_nRepeatCount, "");
}

std::string CLircProtocol::KeyRelease(int nKey) const {
    return Line(nKey, 0, "_UP");
}

std::string CLircProtocol::Line(int nKey, unsigned nRepeat, const char* pszSuffix) const {
    const char* pszRemote = RemoteName(nKey);
    if (pszRemote == nullptr) {
        return std::string();
    }
    char szRepeat[4];
    std::snprintf(szRepeat, sizeof(szRepeat), "%02x", nRepeat & 0xFF);
    return Code(nKey) + " " + szRepeat + " " + ButtonName(nKey) + pszSuffix + " " + pszRemote +
           "\n";
}

std::string CLircProtocol::Code(int nKey) const {
    char szCode[20];
    std::snprintf(szCode, sizeof(szCode), "%016llx",
                  static_cast<unsigned long long>(m_dwAddress) * 256 +
                      static_cast<unsigned long long>(nKey));
    return szCode;
}

std::string CLircProtocol::Reply(const std::string& strLine) const {
    const std::vector<std::string> words = Words(strLine);
    if (words.empty()) {
        return std::string();
    }
    const std::string& command = words[0];
    if (SameWord(command, "VERSION")) {
        if (words.size() != 1) {
            return Block(strLine, false, {"bad send packet"});
        }
        return Block(strLine, true, {m_strVersion});
    }
    if (SameWord(command, "LIST")) {
        if (words.size() == 1) {
            return Block(strLine, true, {REMOTE_VEKO, REMOTE_ZELMAR});
        }
        if (words.size() > 2) {
            return Block(strLine, false, {"bad send packet"});
        }
        for (const char* pszRemote : {REMOTE_VEKO, REMOTE_ZELMAR}) {
            if (SameWord(words[1], pszRemote)) {
                std::vector<std::string> buttons;
                for (int nKey = FirstKey(pszRemote); nKey <= LastKey(pszRemote); ++nKey) {
                    buttons.push_back(Code(nKey) + " " + ButtonName(nKey));
                }
                return Block(strLine, true, buttons);
            }
        }
        return Block(strLine, false, {"unknown remote: \"" + Printable(words[1]) + "\""});
    }
    for (const char* pszTransmit : TRANSMIT_COMMANDS) {
        if (SameWord(command, pszTransmit)) {
            return Block(strLine, false, {"transmitting is not supported"});
        }
    }
    return Block(strLine, false, {"unknown directive: \"" + Printable(command) + "\""});
}
