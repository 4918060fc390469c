#include "SerialPort.h"

#include "SystemErrorText.h"

namespace {

// A write that takes this long means the line is stuck, not slow: a byte
// needs about a millisecond.
const DWORD WRITE_TIMEOUT_MS = 2000;

// "Access is denied (error 5)": the number helps when the words are translated.
std::string Failure(DWORD dwError) {
    return SystemErrorText(dwError) + " (error " + std::to_string(dwError) + ")";
}

} // namespace

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Open(const std::string& devicePath, std::string& error) {
    Close();
    HANDLE hPort = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (hPort == INVALID_HANDLE_VALUE) {
        error = "cannot open " + devicePath + ": " + Failure(GetLastError());
        return false;
    }

    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    bool ok = GetCommState(hPort, &dcb) != FALSE;
    if (ok) {
        dcb.BaudRate = CBR_9600;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fBinary = TRUE;
        dcb.fParity = FALSE;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;
        // A receiver takes its power and readiness from the lines; raising
        // ours also lets a null-modem partner see us as present.
        dcb.fDtrControl = DTR_CONTROL_ENABLE;
        dcb.fRtsControl = RTS_CONTROL_ENABLE;
        ok = SetCommState(hPort, &dcb) != FALSE;
    }
    if (ok) {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD; // reads (none are made) return at once
        timeouts.WriteTotalTimeoutConstant = WRITE_TIMEOUT_MS;
        ok = SetCommTimeouts(hPort, &timeouts) != FALSE;
    }
    if (ok) {
        ok = PurgeComm(hPort, PURGE_TXCLEAR | PURGE_RXCLEAR) != FALSE;
    }
    if (!ok) {
        error = "cannot configure " + devicePath + ": " + Failure(GetLastError());
        CloseHandle(hPort);
        return false;
    }
    m_hPort = hPort;
    return true;
}

bool SerialPort::WriteByte(std::uint8_t byte, std::string& error) {
    DWORD written = 0;
    if (!WriteFile(m_hPort, &byte, sizeof(byte), &written, nullptr)) {
        error = "write failed: " + Failure(GetLastError());
        return false;
    }
    if (written != sizeof(byte)) {
        error = "write timed out: the line does not take data";
        return false;
    }
    return true;
}

bool SerialPort::IsDsrOn() const {
    DWORD status = 0;
    return GetCommModemStatus(m_hPort, &status) && (status & MS_DSR_ON) != 0;
}

void SerialPort::Close() {
    if (m_hPort != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(m_hPort);
        CloseHandle(m_hPort);
        m_hPort = INVALID_HANDLE_VALUE;
    }
}
