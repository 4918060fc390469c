// The simulator's end of the serial line, opened with the receiver's line
// settings. Writes are synchronous: pacing is the caller's business.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens devicePath ("\\.\COM11") at 9600 baud, 8N1, no flow control, DTR
    // and RTS raised. On failure error says why and the port stays closed.
    bool Open(const std::string& devicePath, std::string& error);

    bool WriteByte(std::uint8_t byte, std::string& error);

    // Whether the other side holds DTR up (seen here as DSR). False also when
    // the driver cannot tell.
    bool IsDsrOn() const;

    // Waits until what was written has left the driver, then closes.
    void Close();

private:
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
};
