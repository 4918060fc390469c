// Values the tests write under HKEY_LOCAL_MACHINE; each creates the key when
// it is missing. False when the key or the value could not be written.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

bool WriteRegistryValue(const char* keyName, const char* name, DWORD type, const void* data,
                        DWORD size);
bool WriteRegistryDword(const char* keyName, const char* name, DWORD value);
bool WriteRegistryString(const char* keyName, const char* name, const std::string& text);

} // namespace harness
