#include "VirtualPortDevice.h"

#include <windows.h>
#include <setupapi.h>

#include <initguid.h> // must precede devguid.h so that GUID_DEVCLASS_PORTS is defined here
#include <devguid.h>

namespace {

// Base name of the devices; DICD_GENERATE_ID numbers them under ROOT.
const char kDeviceName[] = "VIRTUALPORT";

// Releases the set without losing the error code of a failure before it.
void DestroyKeepingError(HDEVINFO hSet) {
    const DWORD error = GetLastError();
    SetupDiDestroyDeviceInfoList(hSet);
    SetLastError(error);
}

std::string ReadPortName(HDEVINFO hSet, SP_DEVINFO_DATA& device) {
    HKEY hKey =
        SetupDiOpenDevRegKey(hSet, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (hKey == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    DWORD type = 0;
    DWORD size = 0;
    std::string name;
    if (RegQueryValueExA(hKey, "PortName", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        type == REG_SZ && size > 0) {
        std::vector<char> buffer(size + 1, '\0');
        if (RegQueryValueExA(hKey, "PortName", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(buffer.data()), &size) == ERROR_SUCCESS) {
            name = buffer.data();
        }
    }
    RegCloseKey(hKey);
    return name;
}

std::string ReadInstanceId(HDEVINFO hSet, SP_DEVINFO_DATA& device) {
    DWORD size = 0;
    SetupDiGetDeviceInstanceIdA(hSet, &device, nullptr, 0, &size);
    if (size == 0) {
        return std::string();
    }
    std::vector<char> buffer(size + 1, '\0');
    if (!SetupDiGetDeviceInstanceIdA(hSet, &device, buffer.data(), size, nullptr)) {
        return std::string();
    }
    return buffer.data();
}

} // namespace

std::string VirtualPortDevice::Add(const std::string& portName, const std::string& description,
                                   const std::string& wantedId) {
    HDEVINFO hSet = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    if (hSet == INVALID_HANDLE_VALUE) {
        return std::string();
    }
    std::string instanceId;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    bool registered = false;
    const bool generated = wantedId.empty();
    if (SetupDiCreateDeviceInfoA(hSet, generated ? kDeviceName : wantedId.c_str(),
                                 &GUID_DEVCLASS_PORTS, description.c_str(), nullptr,
                                 generated ? DICD_GENERATE_ID : 0, &device) &&
        SetupDiRegisterDeviceInfo(hSet, &device, 0, nullptr, nullptr, nullptr)) {
        registered = true;
        HKEY hKey = SetupDiCreateDevRegKeyA(hSet, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr,
                                            nullptr);
        if (hKey != INVALID_HANDLE_VALUE) {
            const LONG result = RegSetValueExA(hKey, "PortName", 0, REG_SZ,
                                               reinterpret_cast<const BYTE*>(portName.c_str()),
                                               static_cast<DWORD>(portName.size() + 1));
            RegCloseKey(hKey);
            if (result == ERROR_SUCCESS) {
                instanceId = ReadInstanceId(hSet, device);
            } else {
                SetLastError(static_cast<DWORD>(result));
            }
        }
    }
    if (registered && instanceId.empty()) {
        // Half made: a device without its name would confuse later tests.
        const DWORD error = GetLastError();
        SetupDiRemoveDevice(hSet, &device);
        SetLastError(error);
    }
    DestroyKeepingError(hSet);
    return instanceId;
}

bool VirtualPortDevice::WriteRawPortName(const std::string& instanceId, const std::string& bytes) {
    HDEVINFO hSet = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    if (hSet == INVALID_HANDLE_VALUE) {
        return false;
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    bool written = false;
    if (SetupDiOpenDeviceInfoA(hSet, instanceId.c_str(), nullptr, 0, &device)) {
        HKEY hKey =
            SetupDiOpenDevRegKey(hSet, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_SET_VALUE);
        if (hKey != INVALID_HANDLE_VALUE) {
            const LONG result = RegSetValueExA(hKey, "PortName", 0, REG_BINARY,
                                               reinterpret_cast<const BYTE*>(bytes.data()),
                                               static_cast<DWORD>(bytes.size()));
            RegCloseKey(hKey);
            written = result == ERROR_SUCCESS;
            if (!written) {
                SetLastError(static_cast<DWORD>(result));
            }
        }
    }
    DestroyKeepingError(hSet);
    return written;
}

bool VirtualPortDevice::RemoveByInstanceId(const std::string& instanceId) {
    HDEVINFO hSet = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, nullptr);
    if (hSet == INVALID_HANDLE_VALUE) {
        return false;
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    const bool removed = SetupDiOpenDeviceInfoA(hSet, instanceId.c_str(), nullptr, 0, &device) &&
                         SetupDiRemoveDevice(hSet, &device);
    DestroyKeepingError(hSet);
    return removed;
}

bool VirtualPortDevice::RemoveByPortName(const std::string& portName) {
    std::vector<Entry> entries;
    if (!List(entries)) {
        return false;
    }
    bool found = false;
    for (const Entry& entry : entries) {
        if (entry.portName == portName) {
            found = true;
            if (!RemoveByInstanceId(entry.instanceId)) {
                return false;
            }
        }
    }
    if (!found) {
        SetLastError(ERROR_NOT_FOUND);
    }
    return found;
}

bool VirtualPortDevice::RemoveAll() {
    std::vector<Entry> entries;
    if (!List(entries)) {
        return false;
    }
    for (const Entry& entry : entries) {
        if (!RemoveByInstanceId(entry.instanceId)) {
            return false;
        }
    }
    return true;
}

bool VirtualPortDevice::List(std::vector<Entry>& entries) {
    entries.clear();
    HDEVINFO hSet = SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, 0);
    if (hSet == INVALID_HANDLE_VALUE) {
        return false;
    }
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);
    for (DWORD index = 0; SetupDiEnumDeviceInfo(hSet, index, &device); ++index) {
        entries.push_back(Entry{ReadPortName(hSet, device), ReadInstanceId(hSet, device)});
    }
    SetupDiDestroyDeviceInfoList(hSet);
    return true;
}
