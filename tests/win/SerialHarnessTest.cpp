// The harness's virtual COM ports behave like real ones for what the programs
// use: line settings, DTR/RTS, overlapped comm-event waits and reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "DevicePort.h"
#include "LineState.h"

namespace {

using Port = harness::DevicePort;

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

TEST(SerialHarness, AFaultyPortCannotBeSetUpUntilTheFaultIsLifted) {
    Port port("COM3");
    ASSERT_NE(INVALID_HANDLE_VALUE, port.handle());
    harness::BlockConfiguration("COM3", true);
    EXPECT_FALSE(port.SetLine(CBR_9600));
    harness::BlockConfiguration("COM3", false);
    EXPECT_TRUE(port.SetLine(CBR_9600));
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
