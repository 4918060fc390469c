// How the configuration dialog shows a remote-control address.
#pragma once

#include <cstdint>
#include <string>

// "0x" and four lower-case hexadecimal digits: "0x12ed", "0x0000".
std::string AddressText(std::uint16_t wAddress);
