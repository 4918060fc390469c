// Opens a serial device on a thread of its own, so that the detection worker
// can give up waiting for it. Opening an outgoing Bluetooth serial port
// connects to the remote device first: it can block for up to about 30 s and
// cannot be cancelled. A stop request must not wait for that, so the open is
// abandoned instead; its thread owns everything it touches and closes the
// device itself if the open succeeds after all.
#pragma once

#include <windows.h>

class CPortOpener {
public:
    // How the device is opened; the default is an overlapped open for reading
    // and writing without sharing.
    using OpenFunction = HANDLE (*)(const char* pszDevice);

    // The open device, or INVALID_HANDLE_VALUE when the open failed or hStop
    // was set before it ended.
    static HANDLE Open(const char* pszDevice, HANDLE hStop, OpenFunction pfnOpen = nullptr);

    static HANDLE OpenDevice(const char* pszDevice);
};
