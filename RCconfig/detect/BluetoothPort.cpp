#include "BluetoothPort.h"

#include <cctype>

bool IsBluetoothPort(const char* pszInstanceId) {
    static const char PREFIX[] = "BTHENUM\\";
    if (pszInstanceId == nullptr) {
        return false;
    }
    for (const char* pPrefix = PREFIX; *pPrefix != '\0'; ++pPrefix, ++pszInstanceId) {
        if (std::toupper(static_cast<unsigned char>(*pszInstanceId)) != *pPrefix) {
            return false;
        }
    }
    return true;
}
