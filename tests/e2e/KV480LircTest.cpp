// KV480's LIRC stream end to end: clients on this PC connect to it as LIRC's
// own tools and WinLIRC clients do, while a device plays the receiver.
#include "LircClient.h"

#include <windows.h>
#include <iphlpapi.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ResidentFixture.h"

using harness::LircClient;
using harness::WaitUntil;
using namespace e2e;

namespace {

// Where KV480 listens without a LircPort value.
const std::uint16_t kDefaultPort = 8765;
const std::string kTopLeftPress = "000000000012ed01 00 TOP_LEFT VEKO";

class KV480LircTest : public ResidentFixture {
protected:
    KV480LircTest() : ResidentFixture("kv480 lirc\\") {}

    void SetUp() override {
        ResidentFixture::SetUp();
        if (HasFatalFailure())
            return;
        Configure();
        m_port = LircClient::FreeLoopbackPort();
        ASSERT_NE(0, m_port);
        WriteDword("LircPort", m_port);
    }

    // A client that KV480 has taken in (it answers), so it gets every key
    // from now on.
    std::unique_ptr<LircClient> Connect() {
        auto client = std::make_unique<LircClient>();
        EXPECT_TRUE(client->Connect(m_port, 5000));
        EXPECT_TRUE(client->Send("VERSION\n"));
        EXPECT_EQ(7u, client->ReadBlock(5000).size());
        return client;
    }

    void PressTopLeft() { ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, harness::VekoCode(1)}))); }

    // The local addresses that listen on a port, of one family.
    static std::vector<std::string> Listeners(ULONG family, std::uint16_t port) {
        std::vector<std::string> addresses;
        ULONG size = 0;
        GetExtendedTcpTable(nullptr, &size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
        std::vector<char> buffer(size + 4096);
        size = static_cast<ULONG>(buffer.size());
        if (GetExtendedTcpTable(buffer.data(), &size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER,
                                0) != NO_ERROR)
            return addresses;
        if (family == AF_INET) {
            auto* table = reinterpret_cast<MIB_TCPTABLE_OWNER_PID*>(buffer.data());
            for (DWORD i = 0; i < table->dwNumEntries; ++i) {
                const MIB_TCPROW_OWNER_PID& row = table->table[i];
                if (ntohs(static_cast<u_short>(row.dwLocalPort)) == port)
                    addresses.push_back(row.dwLocalAddr == htonl(INADDR_LOOPBACK)
                                            ? "127.0.0.1"
                                            : std::to_string(row.dwLocalAddr));
            }
        } else {
            auto* table = reinterpret_cast<MIB_TCP6TABLE_OWNER_PID*>(buffer.data());
            for (DWORD i = 0; i < table->dwNumEntries; ++i) {
                const MIB_TCP6ROW_OWNER_PID& row = table->table[i];
                if (ntohs(static_cast<u_short>(row.dwLocalPort)) == port) {
                    in6_addr loopback = {};
                    loopback.s6_addr[15] = 1;
                    addresses.push_back(memcmp(row.ucLocalAddr, &loopback, sizeof(loopback)) == 0
                                            ? "::1"
                                            : "another IPv6 address");
                }
            }
        }
        return addresses;
    }

    std::uint16_t m_port = 0;
};

TEST_F(KV480LircTest, HeldKeyGivesPressRepeatsAndReleaseInOrder) {
    StartConnected();
    auto client = Connect();
    const DWORD start = GetTickCount();
    ASSERT_TRUE(m_device->Write(Frame({0x12, 0xED, harness::VekoCode(3)})));
    // Repeats every ~110 ms; those within the hold time are not passed on.
    while (GetTickCount() - start < 1200) {
        Sleep(110);
        ASSERT_TRUE(m_device->Write(Frame({0xAA, 0xAA, 0xAA})));
    }
    std::vector<std::string> lines;
    std::string line;
    while (client->ReadLine(line, 5000)) {
        lines.push_back(line);
        if (line.find("_UP") != std::string::npos)
            break;
    }
    ASSERT_GE(lines.size(), 3u) << ::testing::PrintToString(lines);
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        char repeat[3];
        snprintf(repeat, sizeof(repeat), "%02zx", i);
        EXPECT_EQ(std::string("000000000012ed03 ") + repeat + " MIDDLE_LEFT VEKO", lines[i]);
    }
    EXPECT_EQ("000000000012ed03 00 MIDDLE_LEFT_UP VEKO", lines.back());
}

TEST_F(KV480LircTest, VersionAndUnknownCommandAreAnswered) {
    StartConnected();
    auto client = Connect();
    ASSERT_TRUE(client->Send("VERSION\r\nSEND_ONCE VEKO TOP_LEFT\n"));
    EXPECT_EQ(
        (std::vector<std::string>{"BEGIN", "VERSION", "SUCCESS", "DATA", "1", "KV480 6.1", "END"}),
        client->ReadBlock(5000));
    EXPECT_EQ((std::vector<std::string>{"BEGIN", "SEND_ONCE VEKO TOP_LEFT", "ERROR", "DATA", "1",
                                        "transmitting is not supported", "END"}),
              client->ReadBlock(5000));
}

TEST_F(KV480LircTest, SeventeenthClientIsClosedAtOnceAndTheOthersStay) {
    StartConnected();
    std::vector<std::unique_ptr<LircClient>> clients;
    for (int i = 0; i < 16; ++i)
        clients.push_back(Connect());
    LircClient seventeenth;
    ASSERT_TRUE(seventeenth.Connect(m_port, 0));
    EXPECT_TRUE(seventeenth.WaitClosed(5000));
    PressTopLeft();
    for (auto& client : clients) {
        std::string line;
        EXPECT_TRUE(client->ReadLine(line, 5000));
        EXPECT_EQ(kTopLeftPress, line);
    }
}

TEST_F(KV480LircTest, GarbageEndsOnlyTheClientThatSentIt) {
    StartConnected();
    auto binary = Connect();
    auto tooLong = Connect();
    auto good = Connect();
    ASSERT_TRUE(binary->Send(std::string("LIST\0\x01\xff\n", 8)));
    ASSERT_TRUE(tooLong->Send(std::string(300, 'A') + "\n"));
    EXPECT_TRUE(binary->WaitClosed(5000));
    EXPECT_TRUE(tooLong->WaitClosed(5000));
    ASSERT_TRUE(good->Send("LIST\n"));
    EXPECT_EQ((std::vector<std::string>{"BEGIN", "LIST", "SUCCESS", "DATA", "2", "VEKO",
                                        "ZELMAR_OVI", "END"}),
              good->ReadBlock(5000));
    PressTopLeft();
    std::string line;
    EXPECT_TRUE(good->ReadLine(line, 5000));
    EXPECT_EQ(kTopLeftPress, line);
}

TEST_F(KV480LircTest, ListensOnLoopbackOnly) {
    StartConnected();
    auto client = Connect();
    EXPECT_EQ(std::vector<std::string>{"127.0.0.1"}, Listeners(AF_INET, m_port));
    for (const std::string& address : Listeners(AF_INET6, m_port))
        EXPECT_EQ("::1", address);
}

TEST_F(KV480LircTest, PortZeroLeavesNoListener) {
    WriteDword("LircPort", 0);
    StartConnected();
    // The listener would have been started before the port was opened.
    LircClient client;
    EXPECT_FALSE(client.Connect(kDefaultPort, 0));
    EXPECT_TRUE(Listeners(AF_INET, kDefaultPort).empty());
    EXPECT_TRUE(Listeners(AF_INET6, kDefaultPort).empty());
}

TEST_F(KV480LircTest, ASessionAwayFromTheConsoleLetsGoOfTheListenerAndItsClients) {
    StartConnected();
    auto client = Connect();
    DWORD session = 0;
    ASSERT_TRUE(ProcessIdToSessionId(m_program.ProcessId(), &session));
    const auto tell = [&](WPARAM change) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(m_main, WM_WTSSESSION_CHANGE, change, static_cast<LPARAM>(session),
                            SMTO_ABORTIFHUNG, 5000, &result);
    };
    tell(WTS_CONSOLE_DISCONNECT);
    EXPECT_TRUE(client->WaitClosed(5000));
    EXPECT_TRUE(Listeners(AF_INET, m_port).empty());
    tell(WTS_CONSOLE_CONNECT);
    EXPECT_TRUE(WaitUntil([&] { return !Listeners(AF_INET, m_port).empty(); }, 5000));
    auto again = Connect();
    ASSERT_TRUE(WaitForPortOpen());
    PressTopLeft();
    std::string line;
    EXPECT_TRUE(again->ReadLine(line, 5000));
    EXPECT_EQ(kTopLeftPress, line);
}

TEST_F(KV480LircTest, TakenPortIsToldAndKV480RunsOn) {
    WSADATA data;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
    const SOCKET holder = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(m_port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof(address)));
    ASSERT_EQ(0, listen(holder, 1));
    StartConnected();
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (const std::string& text : harness::BalloonTexts())
                if (text.rfind("Port " + std::to_string(m_port) + " is used by another program",
                               0) == 0)
                    return true;
            return false;
        },
        5000))
        << ::testing::PrintToString(harness::BalloonTexts());
    EXPECT_TRUE(m_program.IsRunning());
    closesocket(holder);
    WSACleanup();
}

} // namespace
