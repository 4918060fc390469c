// The text of LIRC's line protocol as KV480 serves it to programs on this PC:
// the line of each key event and the reply to each command a client sends.
// No sockets here; the server hands in the received lines and sends the text.
#pragma once

#include <cstdint>
#include <string>

class CLircProtocol {
public:
    // The port when the LircPort setting is absent.
    static constexpr std::uint32_t DEFAULT_PORT = 8765;

    // The TCP port from the LircPort setting (bPresent: the value exists and
    // is a number); 0: no listener. A value that is no port number falls back
    // to the default rather than silently switching the stream off.
    static std::uint16_t PortFromSetting(bool bPresent, std::uint32_t dwValue);

    // Button name ("TOP_LEFT", "ARROW_UP") and remote ("VEKO", "ZELMAR_OVI")
    // of a key number; empty / null outside the keys.
    static std::string ButtonName(int nKey);
    static const char* RemoteName(int nKey);

    // strVersion: what VERSION answers.
    explicit CLircProtocol(std::string strVersion);

    // Bits 0-15 of the configured receiver address; the rest is ignored, as
    // the decoder ignores it.
    void SetAddress(std::uint32_t dwAddress);

    // The line of a decoded key event (nRepeat: 0 for the press, else a
    // repeat of it), counting the repeats of the press; empty for no key.
    std::string KeyEvent(int nKey, int nRepeat);
    // The line of the release of a held key, as lircd's release lines are.
    std::string KeyRelease(int nKey) const;

    // The reply block to one received line (without its line end); empty for
    // an empty line. Nothing a client sends changes any state.
    std::string Reply(const std::string& strLine) const;

private:
    std::string Line(int nKey, unsigned nRepeat, const char* pszSuffix) const;
    std::string Code(int nKey) const;

    std::string m_strVersion;
    std::uint32_t m_dwAddress = 0;
    unsigned m_nRepeatCount = 0;
};
