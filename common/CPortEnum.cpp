#include "CPortEnum.h"

#include <windows.h>
#include <setupapi.h>

#include <initguid.h> // must precede devguid.h so that GUID_DEVCLASS_PORTS is defined here
#include <devguid.h>

#include <cctype>
#include <cstring>

struct CPortEnum::Record {
    HDEVINFO hDevices;
    DWORD nNext;
};

namespace {

bool StartsWithCom(const char* name) {
    static const char kPrefix[] = "COM";
    for (int i = 0; i < 3; ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (std::toupper(c) != kPrefix[i]) {
            return false;
        }
    }
    return true;
}

// Reads the device's "PortName" into name (PortNameSize bytes, zero-filled
// here). A value that fills the buffer with no terminating zero is longer
// than any port name and is treated as unreadable rather than cut.
bool ReadPortName(HDEVINFO hDevices, SP_DEVINFO_DATA& device,
                  char (&name)[CPortEnum::PortNameSize]) {
    std::memset(name, 0, sizeof(name));
    HKEY hKey =
        SetupDiOpenDevRegKey(hDevices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
    if (hKey == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = sizeof(name);
    const LONG result =
        RegQueryValueExA(hKey, "PortName", nullptr, nullptr, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(hKey);
    if (result != ERROR_SUCCESS) {
        return false;
    }
    // Data stored without a terminator: the zero-filled rest terminates it,
    // unless nothing is left.
    return std::memchr(name, '\0', sizeof(name)) != nullptr;
}

// Platform texts may come back unterminated (data stored without a zero, or a
// partial copy on a short buffer); the caller's buffer must end in one.
void TerminateWithin(char* buffer, int size, bool filled) {
    if (!filled) {
        buffer[0] = '\0';
    } else {
        buffer[size - 1] = '\0';
    }
}

} // namespace

CPortEnum::CPortEnum() : m_pRecord(new Record) {
    m_pRecord->hDevices = INVALID_HANDLE_VALUE;
    m_pRecord->nNext = 0;
    m_pRecord->hDevices =
        SetupDiGetClassDevsA(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT | DIGCF_PROFILE);
}

CPortEnum::~CPortEnum() {
    if (m_pRecord->hDevices != INVALID_HANDLE_VALUE) {
        SetupDiDestroyDeviceInfoList(m_pRecord->hDevices);
    }
    delete m_pRecord;
}

bool CPortEnum::Next(char* portName, char* description, int descriptionSize, char* instanceId,
                     int instanceIdSize) {
    char name[PortNameSize] = {};
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof(device);

    if (m_pRecord->hDevices == INVALID_HANDLE_VALUE || portName == nullptr) {
        return false;
    }
    const bool wantDescription = description != nullptr && descriptionSize > 0;
    const bool wantInstanceId = instanceId != nullptr && instanceIdSize > 0;

    while (SetupDiEnumDeviceInfo(m_pRecord->hDevices, m_pRecord->nNext, &device)) {
        const bool nameRead = ReadPortName(m_pRecord->hDevices, device, name);
        if (nameRead) {
            if (wantDescription) {
                description[0] = '\0';
                const BOOL filled = SetupDiGetDeviceRegistryPropertyA(
                    m_pRecord->hDevices, &device, SPDRP_DEVICEDESC, nullptr,
                    reinterpret_cast<BYTE*>(description), static_cast<DWORD>(descriptionSize),
                    nullptr);
                TerminateWithin(description, descriptionSize, filled != FALSE);
            }
            if (wantInstanceId) {
                instanceId[0] = '\0';
                const BOOL filled =
                    SetupDiGetDeviceInstanceIdA(m_pRecord->hDevices, &device, instanceId,
                                                static_cast<DWORD>(instanceIdSize), nullptr);
                TerminateWithin(instanceId, instanceIdSize, filled != FALSE);
            }
        }
        ++m_pRecord->nNext;

        if (nameRead && StartsWithCom(name)) {
            std::memcpy(portName, name, std::strlen(name) + 1);
            return true;
        }
    }
    return false;
}
