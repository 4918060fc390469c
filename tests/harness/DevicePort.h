// One end of a harness null-modem pair, opened the way a device or a test
// opens it: overlapped, exclusive, purged.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

class DevicePort {
public:
    explicit DevicePort(const std::string& name) {
        std::string device = "\\\\.\\" + name;
        m_handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE)
            PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    }
    ~DevicePort() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    DevicePort(const DevicePort&) = delete;
    DevicePort& operator=(const DevicePort&) = delete;

    HANDLE handle() const { return m_handle; }

    bool SetLine(DWORD baud) {
        DCB dcb{};
        dcb.DCBlength = sizeof(dcb);
        if (!GetCommState(m_handle, &dcb))
            return false;
        dcb.BaudRate = baud;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        return SetCommState(m_handle, &dcb) != FALSE;
    }

    bool Write(const std::string& bytes) {
        OVERLAPPED ov{};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD written = 0;
        BOOL ok =
            WriteFile(m_handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &ov);
        if (!ok && GetLastError() == ERROR_IO_PENDING)
            ok = GetOverlappedResult(m_handle, &ov, &written, TRUE);
        CloseHandle(ov.hEvent);
        return ok && written == bytes.size();
    }

    // Reads until want bytes arrived or the deadline passed; returns what came.
    std::string Read(size_t want, DWORD timeoutMs) {
        std::string got;
        DWORD deadline = GetTickCount() + timeoutMs;
        SetCommMask(m_handle, EV_RXCHAR);
        while (got.size() < want) {
            COMSTAT stat{};
            DWORD errors = 0;
            ClearCommError(m_handle, &errors, &stat);
            if (stat.cbInQue == 0) {
                // Short slices: a byte that lands between the queue check and
                // the wait raises no event of its own.
                if (static_cast<LONG>(deadline - GetTickCount()) <= 0)
                    break;
                WaitForChar(100);
                continue;
            }
            char buffer[256];
            DWORD count = stat.cbInQue < sizeof(buffer) ? stat.cbInQue : sizeof(buffer);
            OVERLAPPED ov{};
            ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            DWORD read = 0;
            BOOL ok = ReadFile(m_handle, buffer, count, &read, &ov);
            if (!ok && GetLastError() == ERROR_IO_PENDING)
                ok = GetOverlappedResult(m_handle, &ov, &read, TRUE);
            CloseHandle(ov.hEvent);
            if (!ok)
                break;
            got.append(buffer, read);
        }
        return got;
    }

    // One overlapped comm-event wait; true when a character arrived in time.
    bool WaitForChar(DWORD timeoutMs) {
        OVERLAPPED ov{};
        ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        DWORD mask = 0;
        bool arrived = false;
        if (WaitCommEvent(m_handle, &mask, &ov)) {
            arrived = (mask & EV_RXCHAR) != 0;
        } else if (GetLastError() == ERROR_IO_PENDING) {
            if (WaitForSingleObject(ov.hEvent, timeoutMs) == WAIT_OBJECT_0) {
                DWORD unused = 0;
                arrived =
                    GetOverlappedResult(m_handle, &ov, &unused, FALSE) && (mask & EV_RXCHAR) != 0;
            } else {
                SetCommMask(m_handle, EV_RXCHAR); // ends the pending wait
                DWORD unused = 0;
                GetOverlappedResult(m_handle, &ov, &unused, TRUE);
            }
        }
        CloseHandle(ov.hEvent);
        return arrived;
    }

private:
    HANDLE m_handle = INVALID_HANDLE_VALUE;
};

} // namespace harness
