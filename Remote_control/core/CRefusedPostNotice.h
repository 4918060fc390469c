// Windows that refused a key: a receiving application that runs with more
// rights than KV480 (as administrator) gets no posted messages from it unless
// it lets the message through. The user hears of it once per window, not at
// every key. No operating system involved: windows are plain numbers here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

class CRefusedPostNotice {
public:
    // Windows remembered at most; the oldest is forgotten first.
    static constexpr std::size_t MAX_WINDOWS = 32;
    // Longest caption or class name quoted in the text.
    static constexpr std::size_t MAX_NAME_LENGTH = 60;

    // True when the user has not yet been told about this window.
    bool ShouldTell(std::uintptr_t window) const;
    // The user has been told about this window.
    void Told(std::uintptr_t window);

    static const char* Title();
    // What to tell, naming the window by its caption, or by its class when it
    // has no caption.
    static std::string Text(const std::string& caption, const std::string& className);

private:
    std::deque<std::uintptr_t> m_told;
};
