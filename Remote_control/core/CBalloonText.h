#pragma once

#include <cstddef>
#include <string>

// A tray balloon's title and text as the shell can show them: within the
// fields of NOTIFYICONDATAW (counted in UTF-16 units with the terminator)
// and in lines short enough for a balloon that does not wrap by itself.
// Uses no operating-system service; texts are UTF-8.
class CBalloonText {
public:
    // NOTIFYICONDATAW's szInfoTitle and szInfo, terminator included.
    static constexpr std::size_t TITLE_UNITS = 64;
    static constexpr std::size_t TEXT_UNITS = 256;
    static constexpr std::size_t LINE_CHARS = 48;

    // UTF-16 units of the UTF-8 text, without a terminator.
    static std::size_t Utf16Length(const std::string& strText);
    // The text whole when it fits nUnits with its terminator; else cut at a
    // character's end and closed with "…".
    static std::string Fit(const std::string& strText, std::size_t nUnits);
    // Spaces turned into line breaks so that a line has at most LINE_CHARS
    // characters where its words allow.
    static std::string Wrapped(const std::string& strText);
};
