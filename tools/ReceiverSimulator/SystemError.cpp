#include "SystemError.h"

std::string SystemError::Text(DWORD code) {
    char text[512] = {};
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       text, static_cast<DWORD>(sizeof(text)), nullptr);
    std::string message(text, length < sizeof(text) ? length : 0);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "system error";
    }
    return message + " (error " + std::to_string(code) + ")";
}
