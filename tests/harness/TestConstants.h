// What the tests of both programs share about the product: where the settings
// live, the configured address, and the receiver's key codes.
#pragma once

#include <initializer_list>
#include <string>

namespace harness {

inline const char* const kSettingsKey = "SOFTWARE\\VEKO\\KV480";
// The address the tests configure and the receiver frames carry.
inline constexpr unsigned long kAddress = 0x12ED;
inline constexpr int kAddressHigh = 0x12;
inline constexpr int kAddressLow = 0xED;

// Receiver codes of the VEKO keys 1 to 6 and the ZELMAR_OVI keys 7 to 23.
inline constexpr int kVekoCodes[] = {0x13, 0x1A, 0x11, 0x10, 0x00, 0x02};
inline constexpr int kZelmarCodes[] = {0x04, 0x0C, 0x14, 0x03, 0x0B, 0x13, 0x02, 0x12, 0x0A,
                                       0x09, 0x01, 0x11, 0x05, 0x0D, 0x00, 0x10, 0x08};
inline constexpr int kFirstZelmarKey = 7;

inline int VekoCode(int key) {
    return kVekoCodes[key - 1];
}

inline int ZelmarCode(int key) {
    return kZelmarCodes[key - kFirstZelmarKey];
}

inline std::string Frame(std::initializer_list<int> bytes) {
    std::string frame;
    for (int b : bytes)
        frame.push_back(static_cast<char>(b));
    return frame;
}

// The frame of a VEKO key press from the configured address.
inline std::string VekoFrame(int key) {
    return Frame({kAddressHigh, kAddressLow, VekoCode(key)});
}

} // namespace harness
