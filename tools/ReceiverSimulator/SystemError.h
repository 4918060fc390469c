// Readable texts for system error codes.
#pragma once

#include <windows.h>

#include <string>

class SystemError {
public:
    // "Access is denied (error 5)"
    static std::string Text(DWORD code);
};
