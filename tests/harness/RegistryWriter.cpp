#include "RegistryWriter.h"

namespace harness {

bool WriteRegistryValue(const char* keyName, const char* name, DWORD type, const void* data,
                        DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool ok =
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool WriteRegistryDword(const char* keyName, const char* name, DWORD value) {
    return WriteRegistryValue(keyName, name, REG_DWORD, &value, sizeof(value));
}

bool WriteRegistryString(const char* keyName, const char* name, const std::string& text) {
    return WriteRegistryValue(keyName, name, REG_SZ, text.c_str(),
                              static_cast<DWORD>(text.size() + 1));
}

} // namespace harness
