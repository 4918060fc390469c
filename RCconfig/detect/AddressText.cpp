#include "AddressText.h"

std::string AddressText(std::uint16_t wAddress) {
    static const char DIGITS[] = "0123456789abcdef";
    constexpr int DIGIT_COUNT = 4;
    constexpr unsigned DIGIT_BITS = 4;
    constexpr unsigned DIGIT_MASK = 0xF;
    std::string text = "0x";
    for (int i = DIGIT_COUNT - 1; i >= 0; --i) {
        text += DIGITS[(wAddress >> (static_cast<unsigned>(i) * DIGIT_BITS)) & DIGIT_MASK];
    }
    return text;
}
