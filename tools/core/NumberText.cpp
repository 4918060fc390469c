#include "NumberText.h"

#include <cstddef>

namespace {

int DigitValue(char c, std::uint32_t base) {
    int digit = -1;
    if (c >= '0' && c <= '9') {
        digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        digit = c - 'A' + 10;
    }
    return digit >= 0 && static_cast<std::uint32_t>(digit) < base ? digit : -1;
}

bool ParseDigits(const std::string& text, std::size_t start, std::uint32_t base, std::uint32_t max,
                 std::uint32_t& value) {
    if (start >= text.size()) {
        return false;
    }
    std::uint32_t result = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const int digit = DigitValue(text[i], base);
        if (digit < 0) {
            return false;
        }
        const std::uint32_t d = static_cast<std::uint32_t>(digit);
        // Stop before result * base + d could pass max (and so before it wraps).
        if (result > (max - d) / base) {
            return false;
        }
        result = result * base + d;
    }
    value = result;
    return true;
}

} // namespace

bool NumberText::ParseDecimal(const std::string& text, std::uint32_t min, std::uint32_t max,
                              std::uint32_t& value) {
    std::uint32_t result = 0;
    if (!ParseDigits(text, 0, 10, max, result) || result < min) {
        return false;
    }
    value = result;
    return true;
}

bool NumberText::ParseHex(const std::string& text, std::uint32_t max, std::uint32_t& value) {
    const bool prefixed = text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    return ParseDigits(text, prefixed ? 2 : 0, 16, max, value);
}
