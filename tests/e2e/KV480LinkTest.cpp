// KV480's link to the receiver when things go wrong: a receiver that vanishes
// and comes back, a port that appears late, a read failure, a set-up that
// hangs, sleep, safe removal, another session at the console, a driver without
// modem-line control, a busy port; and the release message. Wine never
// broadcasts port arrival: what comes back here comes back by the retry.
#include <windows.h>
#include <dbt.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "DevicePort.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "ResidentFixture.h"
#include "TrayIcons.h"

using harness::DevicePort;
using harness::ReceivingWindow;
using harness::WaitUntil;
using namespace e2e;

namespace {

class KV480LinkTest : public ResidentFixture {
protected:
    KV480LinkTest() : ResidentFixture("kv480 link\\") {}

    void TearDown() override {
        ResidentFixture::TearDown();
        harness::RefuseModemLines(kPort, false);
        harness::BlockConfiguration(kPort, false);
        harness::HangPortSetUp(kPort, 0);
        if (m_unplugged)
            harness::ReplugPort(kPort);
        m_receiver.reset();
    }

    // Starts KV480 with one receiving window listed by class.
    void Start(const char* arguments = "-nr", bool waitForPort = true) {
        Configure();
        WriteIni("[Receiver]\r\nClassName=KV480LinkReceiver\r\nWindowName=NULL\r\n");
        m_receiver = std::make_unique<ReceivingWindow>("KV480LinkReceiver", "Receiver");
        ASSERT_TRUE(m_receiver->BringToTop());
        StartProgram(arguments);
        if (HasFatalFailure())
            return;
        if (waitForPort) {
            ASSERT_TRUE(WaitForPortOpen());
        }
    }

    bool Write(const std::string& frame) {
        if (!m_device) {
            m_device = std::make_unique<DevicePort>(kDevice);
            if (m_device->handle() == INVALID_HANDLE_VALUE || !m_device->SetLine(CBR_9600)) {
                m_device.reset();
                return false;
            }
        }
        return m_device->Write(frame);
    }

    // Presses VEKO key 1 every 500 ms until it reaches the window; the time
    // it took, or -1.
    long KeysFlowWithin(DWORD timeoutMs) {
        m_receiver->Clear();
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs) {
            if (Write(Frame({0x12, 0xED, 0x13})) && m_receiver->WaitForKeys(1, 500))
                return static_cast<long>(GetTickCount() - start);
            if (!m_device)
                Sleep(100);
        }
        return -1;
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        DWORD_PTR result = 0;
        EXPECT_NE(0, SendMessageTimeoutA(m_main, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000,
                                         &result));
        return static_cast<LRESULT>(result);
    }

    // Whether this process can open the port: KV480 opens it without sharing.
    static bool PortIsFree() {
        HANDLE port = CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (port == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(port);
        return true;
    }

    // Whether the main window answers a message within a second.
    bool Answers() {
        DWORD_PTR result = 0;
        return SendMessageTimeoutA(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result) != 0;
    }

    std::unique_ptr<ReceivingWindow> m_receiver;
    bool m_unplugged = false;
};

TEST_F(KV480LinkTest, ReleaseFollowsAShortPressAHoldAndAnInterruption) {
    Start();
    // A short press: the release 400 ms after its only frame.
    ASSERT_TRUE(Write(Frame({0x12, 0xED, 0x13})));
    ASSERT_TRUE(WaitUntil([&] { return m_receiver->Releases().size() == 1; }, 5000));
    ASSERT_EQ(1u, m_receiver->Keys().size());
    EXPECT_EQ(1u, m_receiver->Releases()[0].key);
    EXPECT_EQ(0, m_receiver->Releases()[0].repeat);
    EXPECT_GE(m_receiver->Releases()[0].tick - m_receiver->Keys()[0].tick, 350u);

    // A hold of ZELMAR_OVI key 7: one release, after the last repeat.
    m_receiver->Clear();
    ASSERT_TRUE(Write(Frame({0x5A, 0x12, 0x04})));
    for (int i = 0; i < 10; ++i) {
        Sleep(110);
        ASSERT_TRUE(Write(Frame({0x5A, 0x12, 0x04})));
    }
    ASSERT_TRUE(WaitUntil([&] { return m_receiver->Releases().size() == 1; }, 5000));
    const auto& keys = m_receiver->Keys();
    ASSERT_GE(keys.size(), 2u);
    EXPECT_EQ(1, keys.back().repeat);
    EXPECT_EQ(7u, m_receiver->Releases()[0].key);
    EXPECT_GE(m_receiver->Releases()[0].tick - keys.back().tick, 300u);

    // Another key's press ends the hold at once: its release comes first.
    m_receiver->Clear();
    ASSERT_TRUE(Write(Frame({0x5A, 0x32, 0x0A})));
    ASSERT_TRUE(m_receiver->WaitForKeys(1, 5000));
    ASSERT_TRUE(Write(Frame({0x12, 0xED, 0x1A})));
    ASSERT_TRUE(m_receiver->WaitForKeys(2, 5000));
    ASSERT_EQ(1u, m_receiver->Releases().size());
    EXPECT_EQ(15u, m_receiver->Releases()[0].key);
    EXPECT_LE(m_receiver->Releases()[0].tick, m_receiver->Keys()[1].tick);
    EXPECT_LT(m_receiver->Releases()[0].tick - m_receiver->Keys()[0].tick, 350u);

    // KV480 ends during a hold: the release comes at once.
    ASSERT_TRUE(WaitUntil([&] { return m_receiver->Releases().size() == 2; }, 5000));
    m_receiver->Clear();
    ASSERT_TRUE(Write(Frame({0x12, 0xED, 0x11})));
    ASSERT_TRUE(m_receiver->WaitForKeys(1, 5000));
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return m_receiver->Releases().size() == 1; }, 5000));
    EXPECT_EQ(3u, m_receiver->Releases()[0].key);
    EXPECT_LT(m_receiver->Releases()[0].tick - m_receiver->Keys()[0].tick, 350u);
}

TEST_F(KV480LinkTest, ReceiverThatVanishesAndComesBackWorksAgainByItself) {
    Start();
    ASSERT_GE(KeysFlowWithin(5000), 0);
    HWND connectedIcon = harness::FirstTrayIcon();
    m_device.reset();
    ASSERT_TRUE(harness::UnplugPort(kPort));
    // The failed read shows the disconnect notification; the removal notice
    // that Windows sends after it shows nothing more.
    HWND disconnectedIcon = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            disconnectedIcon = harness::FirstTrayIcon();
            return disconnectedIcon != nullptr && disconnectedIcon != connectedIcon;
        },
        5000));
    std::vector<char> record(offsetof(DEV_BROADCAST_PORT_A, dbcp_name) + 5);
    auto* port = reinterpret_cast<DEV_BROADCAST_PORT_A*>(record.data());
    port->dbcp_size = static_cast<DWORD>(record.size());
    port->dbcp_devicetype = DBT_DEVTYP_PORT;
    std::memcpy(port->dbcp_name, "COM1", 5);
    Send(WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, reinterpret_cast<LPARAM>(port));
    Sleep(300);
    EXPECT_EQ(disconnectedIcon, harness::FirstTrayIcon());

    const DWORD back = GetTickCount();
    ASSERT_TRUE(harness::ReplugPort(kPort));
    const long flowing = KeysFlowWithin(10000);
    ASSERT_GE(flowing, 0);
    std::printf("recovery after a silent unplug: %lu ms\n", GetTickCount() - back);
    EXPECT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
}

TEST_F(KV480LinkTest, SleepReleasesThePortAndResumeReopensItsNewDevice) {
    Start();
    EXPECT_EQ(TRUE, Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
    EXPECT_TRUE(PortIsFree());
    // The adapter is enumerated anew while the machine sleeps.
    m_device.reset();
    ASSERT_TRUE(harness::ReplugPort(kPort));
    const DWORD resumed = GetTickCount();
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    ASSERT_GE(KeysFlowWithin(10000), 0);
    std::printf("recovery after a resume: %lu ms\n", GetTickCount() - resumed);
}

TEST_F(KV480LinkTest, QueryRemoveLetsThePortGoUntilTheRemovalIsCalledOff) {
    Start();
    DEV_BROADCAST_HANDLE record{};
    record.dbch_size = sizeof(record);
    record.dbch_devicetype = DBT_DEVTYP_HANDLE;
    EXPECT_EQ(TRUE,
              Send(WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&record)));
    EXPECT_TRUE(PortIsFree());
    // A slow removal is not refused by a retry: still free after the 2 s one.
    Sleep(2500);
    EXPECT_TRUE(PortIsFree());
    const DWORD failed = GetTickCount();
    Send(WM_DEVICECHANGE, DBT_DEVICEQUERYREMOVEFAILED, reinterpret_cast<LPARAM>(&record));
    EXPECT_GE(KeysFlowWithin(5000), 0);
    std::printf("reconnect after the removal was called off: %lu ms\n", GetTickCount() - failed);
}

TEST_F(KV480LinkTest, StartedWithoutItsPortConnectsOnceThePortAppears) {
    ASSERT_TRUE(m_unplugged = harness::UnplugPort(kPort));
    Start("-nr", false);
    // The start-up's message, then quiet retries.
    ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
    ASSERT_TRUE(harness::ReplugPort(kPort));
    m_unplugged = false;
    const DWORD back = GetTickCount();
    ASSERT_GE(KeysFlowWithin(35000), 0);
    std::printf("reconnect after the port appeared: %lu ms\n", GetTickCount() - back);
}

TEST_F(KV480LinkTest, ReadFailureOfAnyKindIsRecoveredByTheRetry) {
    Start();
    ASSERT_GE(KeysFlowWithin(5000), 0);
    const HWND connectedIcon = harness::FirstTrayIcon();
    harness::FailNextRead(kPort);
    // The shim looks for the request now and then: frames until a read takes it.
    bool taken = false;
    for (int i = 0; i < 25 && !taken; ++i) {
        ASSERT_TRUE(Write(Frame({0x12, 0xED, 0x13})));
        taken = WaitUntil([] { return harness::ReadFailureTaken(kPort); }, 200);
    }
    ASSERT_TRUE(taken);
    const DWORD failed = GetTickCount();
    // The error is told...
    ASSERT_TRUE(WaitUntil([&] { return harness::FirstTrayIcon() != connectedIcon; }, 5000));
    // ...and the link comes back by itself.
    ASSERT_GE(KeysFlowWithin(10000), 0);
    std::printf("reconnect after a read failure (ERROR_INVALID_PARAMETER): %lu ms\n",
                GetTickCount() - failed);
}

TEST_F(KV480LinkTest, WindowAnswersWhileThePortsSetUpHangs) {
    harness::HangPortSetUp(kPort, 20);
    Start("-nr", false);
    const DWORD start = GetTickCount();
    DWORD slowest = 0;
    bool open = false;
    while (!(open = WaitForPortOpen(200)) && GetTickCount() - start < 40000) {
        const DWORD asked = GetTickCount();
        ASSERT_TRUE(Answers());
        slowest = std::max(slowest, GetTickCount() - asked);
    }
    ASSERT_TRUE(open);
    EXPECT_LT(slowest, 1000u);
    std::printf("port open after a set-up that hung 20 s: %lu ms; slowest answer meanwhile %lu "
                "ms\n",
                GetTickCount() - start, slowest);
    EXPECT_GE(GetTickCount() - start, 15000u);
    EXPECT_GE(KeysFlowWithin(5000), 0);
}

TEST_F(KV480LinkTest, AnOpenThatEndsAfterTheLinkWasGivenUpIsClosedUnused) {
    harness::HangPortSetUp(kPort, 5);
    Start("-nr", false);
    // Asleep while the set-up hangs: once it ends, its port is let go.
    EXPECT_EQ(TRUE, Send(WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
    EXPECT_TRUE(WaitUntil([] { return PortIsFree(); }, 15000));
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
    EXPECT_GE(KeysFlowWithin(10000), 0);
}

TEST_F(KV480LinkTest, ClosedWhileThePortsSetUpHangsItEndsAtOnce) {
    harness::HangPortSetUp(kPort, 20);
    Start("-nr", false);
    const DWORD closed = GetTickCount();
    PostMessageA(m_main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_program.WaitForExit(5000));
    EXPECT_LT(GetTickCount() - closed, 1000u);
}

TEST_F(KV480LinkTest, ConsoleGoesToAnotherSessionAndComesBack) {
    Start();
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(m_program.ProcessId(), &session));
    Send(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, static_cast<LPARAM>(session));
    EXPECT_TRUE(PortIsFree());
    // Not taken back while another session has the console.
    Sleep(2500);
    EXPECT_TRUE(PortIsFree());
    Send(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, static_cast<LPARAM>(session));
    EXPECT_GE(KeysFlowWithin(5000), 0);
}

TEST_F(KV480LinkTest, PortWhoseModemLinesCannotBeSetStillWorks) {
    harness::RefuseModemLines(kPort, true);
    Start("-nr", false);
    EXPECT_GE(KeysFlowWithin(10000), 0);
}

TEST_F(KV480LinkTest, BusyPortIsTriedAgainUntilItIsFree) {
    // Another session's KV480 holds the port.
    HANDLE holder = CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    Start("-nr", false);
    ASSERT_TRUE(WaitUntil([] { return harness::CountTrayIcons() == 1; }, 5000));
    CloseHandle(holder);
    EXPECT_TRUE(WaitForPortOpen(5000));
    EXPECT_GE(KeysFlowWithin(5000), 0);
}

TEST_F(KV480LinkTest, WindowAnswersDuringTheStartUpAttempts) {
    harness::BlockConfiguration(kPort, true);
    Start("", false);
    DWORD_PTR result = 0;
    const DWORD start = GetTickCount();
    EXPECT_NE(0, SendMessageTimeoutA(m_main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result));
    EXPECT_LT(GetTickCount() - start, 1000u);
    // Still in the first pause: no icon yet.
    EXPECT_EQ(0, harness::CountTrayIcons());
}

} // namespace
