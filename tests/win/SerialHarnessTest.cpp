// The harness's virtual COM ports behave like real ones for what the programs
// use: line settings, DTR/RTS, overlapped comm-event waits and reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "LineState.h"

namespace {

class Port {
public:
    explicit Port(const std::string& name) {
        std::string device = "\\\\.\\" + name;
        m_handle = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (m_handle != INVALID_HANDLE_VALUE)
            PurgeComm(m_handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    }
    ~Port() {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    Port(const Port&) = delete;
    Port& operator=(const Port&) = delete;

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

TEST(SerialHarness, EveryPortHasAPartner) {
    ASSERT_EQ("COM11", harness::PartnerPort("COM1"));
    ASSERT_EQ("COM1", harness::PartnerPort("COM11"));
    EXPECT_EQ("", harness::PartnerPort("COM9"));
    for (int n = 1; n <= 3; ++n) {
        Port port("COM" + std::to_string(n));
        EXPECT_NE(INVALID_HANDLE_VALUE, port.handle()) << "COM" << n;
    }
}

TEST(SerialHarness, LineSettingsAndModemLinesReachThePty) {
    harness::ClearLineState("COM1");
    Port port("COM1");
    ASSERT_NE(INVALID_HANDLE_VALUE, port.handle());
    ASSERT_TRUE(port.SetLine(CBR_9600));
    // Without the shim both fail with ERROR_INVALID_FUNCTION on a pty.
    ASSERT_TRUE(EscapeCommFunction(port.handle(), SETDTR)) << GetLastError();
    ASSERT_TRUE(EscapeCommFunction(port.handle(), CLRRTS)) << GetLastError();

    harness::LineState state;
    ASSERT_TRUE(harness::ReadLineState("COM1", state));
    EXPECT_EQ(1, state.dtr);
    EXPECT_EQ(0, state.rts);
    EXPECT_EQ(9600, state.baud);
    EXPECT_EQ(8, state.dataBits);
    EXPECT_EQ("none", state.parity);
    EXPECT_EQ(1, state.stopBits);

    ASSERT_TRUE(EscapeCommFunction(port.handle(), CLRDTR));
    ASSERT_TRUE(EscapeCommFunction(port.handle(), SETRTS));
    ASSERT_TRUE(harness::ReadLineState("COM1", state));
    EXPECT_EQ(0, state.dtr);
    EXPECT_EQ(1, state.rts);

    DWORD status = 0xFFFFFFFF;
    EXPECT_TRUE(GetCommModemStatus(port.handle(), &status));
}

TEST(SerialHarness, BytesCrossThePairBothWays) {
    Port device("COM11"), host("COM1");
    ASSERT_NE(INVALID_HANDLE_VALUE, device.handle());
    ASSERT_NE(INVALID_HANDLE_VALUE, host.handle());
    ASSERT_TRUE(device.SetLine(CBR_9600));
    ASSERT_TRUE(host.SetLine(CBR_9600));

    const std::string frame("\x12\xED\x13", 3);
    ASSERT_TRUE(device.Write(frame));
    EXPECT_EQ(frame, host.Read(frame.size(), 5000));

    const std::string reply("\x5A\x01\x02\xAA", 4);
    ASSERT_TRUE(host.Write(reply));
    EXPECT_EQ(reply, device.Read(reply.size(), 5000));
}

TEST(SerialHarness, CommWaitStaysPendingUntilDataArrives) {
    Port device("COM12"), host("COM2");
    ASSERT_NE(INVALID_HANDLE_VALUE, host.handle());
    ASSERT_TRUE(host.SetLine(CBR_9600));
    ASSERT_TRUE(EscapeCommFunction(host.handle(), SETDTR));
    // Nothing is sent: the wait must not end early (a modem-status poll that
    // fails on a pty would end it).
    ASSERT_TRUE(SetCommMask(host.handle(), EV_RXCHAR));
    EXPECT_FALSE(host.WaitForChar(300));
    ASSERT_TRUE(device.Write("Z"));
    EXPECT_EQ("Z", host.Read(1, 5000));
}

} // namespace
