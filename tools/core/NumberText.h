// Strict parsing of the numbers in command lines and scripts: digits only, no
// sign, no surrounding space, range checked without overflow.
#pragma once

#include <cstdint>
#include <string>

class NumberText {
public:
    // Decimal digits; true when the value lies in [min, max].
    static bool ParseDecimal(const std::string& text, std::uint32_t min, std::uint32_t max,
                             std::uint32_t& value);

    // Hexadecimal digits of either case, optionally after "0x"; true when the
    // value is at most max.
    static bool ParseHex(const std::string& text, std::uint32_t max, std::uint32_t& value);
};
