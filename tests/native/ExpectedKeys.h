// The key numbers the frame decoder must give for each code of the two remote
// types, written down independently of the decoder's own tables; 0 = no key.
// Shared by the decoder's tests and its fuzz target.
#pragma once

#include <cstdint>

inline int ExpectedVekoKey(std::uint8_t byCode) {
    switch (byCode) {
    case 0x13:
        return 1;
    case 0x1A:
        return 2;
    case 0x11:
        return 3;
    case 0x10:
        return 4;
    case 0x00:
        return 5;
    case 0x02:
        return 6;
    default:
        return 0;
    }
}

inline int ExpectedZelmarKey(std::uint8_t byCode) {
    static const int keys[] = {21, 17, 13, 10, 7, 19, 0,  0,  23, 16, 15,
                               11, 8,  20, 0,  0, 22, 18, 14, 12, 9};
    return byCode < sizeof(keys) / sizeof(keys[0]) ? keys[byCode] : 0;
}
