// The receiver simulator and the demo receiving application, run as the
// separate programs they are: bytes on the partner port, keys in the log.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "LineState.h"
#include "ProgramUnderTest.h"

namespace {

const DWORD PROCESS_TIMEOUT_MS = 20000;
const DWORD WINDOW_TIMEOUT_MS = 10000;

// The tools are built into the tools folder of the same build tree.
std::string ToolPath(const std::string& name) {
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, static_cast<DWORD>(sizeof(self)));
    std::string path(self, length < sizeof(self) ? length : 0);
    for (int up = 0; up < 3; ++up) { // rc_win_tests.exe, win, tests
        path = path.substr(0, path.find_last_of('\\'));
    }
    return path + "\\tools\\" + name + "\\" + name + ".exe";
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class Process {
public:
    Process(const std::string& exe, const std::string& args) {
        std::string commandLine = "\"" + exe + "\" " + args;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        m_started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &m_info) != FALSE;
    }
    ~Process() {
        if (m_started) {
            if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(m_info.hProcess, 99);
            }
            CloseHandle(m_info.hThread);
            CloseHandle(m_info.hProcess);
        }
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool Started() const { return m_started; }

    // Exit code, or -1 when the process did not end in time.
    int Wait(DWORD timeoutMs = PROCESS_TIMEOUT_MS) const {
        if (!m_started || WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
            return -1;
        }
        DWORD code = 0;
        GetExitCodeProcess(m_info.hProcess, &code);
        return static_cast<int>(code);
    }

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

int RunTool(const std::string& name, const std::string& args) {
    Process process(ToolPath(name), args);
    EXPECT_TRUE(process.Started()) << ToolPath(name) << " (build the tools first)";
    return process.Wait();
}

HWND WaitForWindow(const std::string& className, const std::string& caption) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND hWnd = FindWindowA(className.c_str(), caption.c_str());
        if (hWnd != nullptr || GetTickCount() - start > WINDOW_TIMEOUT_MS) {
            return hWnd;
        }
        Sleep(50);
    }
}

std::string TempFile(const char* prefix) {
    char dir[MAX_PATH] = {};
    char file[MAX_PATH] = {};
    GetTempPathA(static_cast<DWORD>(sizeof(dir)), dir);
    GetTempFileNameA(dir, prefix, 0, file);
    return file;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

// The log line without its time stamp, which comes first.
std::string WithoutTime(const std::string& line) {
    const size_t space = line.find(' ');
    return line.rfind("time=", 0) == 0 && space != std::string::npos ? line.substr(space + 1)
                                                                     : "malformed: " + line;
}

class DemoReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(ToolPath("DemoReceiver"))) << ToolPath("DemoReceiver");
        message = RegisterWindowMessageA("WM_REMOTECONTROL");
        ASSERT_NE(message, 0u);
        log = TempFile("drl");
    }
    void TearDown() override { DeleteFileA(log.c_str()); }

    // Waits until the log has count lines; returns them without time stamps.
    std::vector<std::string> WaitForLog(size_t count) const {
        std::vector<std::string> lines;
        const DWORD start = GetTickCount();
        while ((lines = ReadLines(log)).size() < count && GetTickCount() - start < 5000) {
            Sleep(20);
        }
        for (std::string& line : lines) {
            line = WithoutTime(line);
        }
        return lines;
    }

    UINT message = 0;
    std::string log;
};

TEST_F(DemoReceiverTest, LogsValidKeysAndIgnoresTheRest) {
    Process demo(ToolPath("DemoReceiver"), "--log \"" + log + "\"");
    HWND hWnd = WaitForWindow("KV480DemoReceiver", "Remote Control Demo");
    ASSERT_NE(hWnd, nullptr);
    // Found once created; shown a moment later.
    EXPECT_TRUE(
        harness::WaitUntil([&] { return IsWindowVisible(hWnd) != FALSE; }, WINDOW_TIMEOUT_MS));

    PostMessageA(hWnd, message, 1, 0);
    PostMessageA(hWnd, message, 0, 0);
    PostMessageA(hWnd, message, 24, 0);
    PostMessageA(hWnd, message, 15, 2);
    PostMessageA(hWnd, message, 15, -1);
    PostMessageA(hWnd, message, static_cast<WPARAM>(-1), 1);
    PostMessageA(hWnd, message, 15, 1);
    PostMessageA(hWnd, message, 23, 0);
    const std::vector<std::string> expected = {
        "key=1 repeat=0 name=Top left",
        "key=15 repeat=1 name=Arrow up",
        "key=23 repeat=0 name=Green round",
    };
    EXPECT_EQ(WaitForLog(expected.size()), expected);

    PostMessageA(hWnd, WM_CLOSE, 0, 0);
    EXPECT_EQ(demo.Wait(), 0);
}

TEST_F(DemoReceiverTest, TwoReceiversWithTheirOwnClassAndStartState) {
    Process hidden(ToolPath("DemoReceiver"),
                   "--class DemoHidden --caption \"Hidden demo\" --hidden --log \"" + log + "\"");
    Process minimized(ToolPath("DemoReceiver"),
                      "--class DemoMin --caption \"Min demo\" --minimized");
    HWND hHidden = WaitForWindow("DemoHidden", "Hidden demo");
    HWND hMinimized = WaitForWindow("DemoMin", "Min demo");
    ASSERT_NE(hHidden, nullptr);
    ASSERT_NE(hMinimized, nullptr);
    EXPECT_FALSE(IsWindowVisible(hHidden));
    EXPECT_TRUE(
        harness::WaitUntil([&] { return IsIconic(hMinimized) != FALSE; }, WINDOW_TIMEOUT_MS));

    // Hidden or not, a window that gets the message shows and logs the key.
    PostMessageA(hHidden, message, 7, 0);
    EXPECT_EQ(WaitForLog(1), std::vector<std::string>{"key=7 repeat=0 name=F1"});

    PostMessageA(hHidden, WM_CLOSE, 0, 0);
    PostMessageA(hMinimized, WM_CLOSE, 0, 0);
    EXPECT_EQ(hidden.Wait(), 0);
    EXPECT_EQ(minimized.Wait(), 0);
}

TEST_F(DemoReceiverTest, BadArgumentsEndAtOnce) {
    EXPECT_EQ(RunTool("DemoReceiver", "--bogus"), 2);
    EXPECT_EQ(RunTool("DemoReceiver", "--hidden --minimized"), 2);
    EXPECT_EQ(RunTool("DemoReceiver", "--log"), 2);
    EXPECT_EQ(RunTool("DemoReceiver", "--log Z:\\no\\such\\folder\\x.log --hidden"), 1);
}

// The simulator on one end of a null-modem pair, the test reading the other.
class ReceiverSimulatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(ToolPath("ReceiverSimulator"))) << ToolPath("ReceiverSimulator");
        ASSERT_EQ(harness::PartnerPort(simulatorPort), readerPort) << "run inside the harness";
        const std::string device = "\\\\.\\" + readerPort;
        hReader = CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(hReader, INVALID_HANDLE_VALUE);
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = MAXDWORD; // return what is there
        SetCommTimeouts(hReader, &timeouts);
        PurgeComm(hReader, PURGE_RXCLEAR | PURGE_TXCLEAR);
    }
    void TearDown() override {
        if (hReader != INVALID_HANDLE_VALUE) {
            CloseHandle(hReader);
        }
    }

    // What arrived on the reader's side, once count bytes came or the time is up.
    std::string Received(size_t count, DWORD timeoutMs = 3000) {
        std::string bytes;
        const DWORD start = GetTickCount();
        while (bytes.size() < count && GetTickCount() - start < timeoutMs) {
            char buffer[256];
            DWORD read = 0;
            if (ReadFile(hReader, buffer, static_cast<DWORD>(sizeof(buffer)), &read, nullptr) &&
                read > 0) {
                bytes.append(buffer, read);
            } else {
                Sleep(10);
            }
        }
        return bytes;
    }

    static std::string Hex(const std::string& bytes) {
        std::ostringstream text;
        const char* digits = "0123456789ABCDEF";
        for (const char c : bytes) {
            const unsigned char b = static_cast<unsigned char>(c);
            text << digits[b >> 4] << digits[b & 0x0F] << ' ';
        }
        return text.str();
    }

    const std::string simulatorPort = "COM11";
    const std::string readerPort = "COM1";
    HANDLE hReader = INVALID_HANDLE_VALUE;
};

TEST_F(ReceiverSimulatorTest, SendsFramesWithTheReceiversLineSettings) {
    harness::ClearLineState(simulatorPort);
    ASSERT_EQ(RunTool("ReceiverSimulator", "--port COM11 --quiet press veko 12ED 1"), 0);
    EXPECT_EQ(Hex(Received(3)), "12 ED 13 ");

    harness::LineState state;
    ASSERT_TRUE(harness::ReadLineState(simulatorPort, state));
    EXPECT_EQ(state.baud, 9600);
    EXPECT_EQ(state.dataBits, 8);
    EXPECT_EQ(state.parity, "none");
    EXPECT_EQ(state.stopBits, 1);
}

TEST_F(ReceiverSimulatorTest, HoldSendsRepeatFramesAndPressesFlipTheToggle) {
    ASSERT_EQ(
        RunTool("ReceiverSimulator", "--port COM11 --quiet hold veko 12ED 2 250 --interval 100"),
        0);
    EXPECT_EQ(Hex(Received(9)), "12 ED 1A AA AA AA AA AA AA ");

    ASSERT_EQ(RunTool("ReceiverSimulator",
                      "--port COM11 --quiet --toggle 1 hold zelmar 1F arrow-up 100 --interval 100"),
              0);
    EXPECT_EQ(Hex(Received(6)), "5A 3F 0A 5A 3F 0A ");

    const std::string script = TempFile("sim");
    {
        std::ofstream out(script);
        out << "# two presses flip the toggle bit\n"
               "press zelmar 2 F1\n"
               "wait 20\n"
               "press zelmar 2 F1\n"
               "raw 01 0x0203\n";
    }
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 --quiet script \"" + script + "\""), 0);
    EXPECT_EQ(Hex(Received(9)), "5A 02 04 5A 22 04 01 02 03 ");
    DeleteFileA(script.c_str());
}

// The harness's pairs are wired as a null-modem cable: the reader's DTR is
// the simulator's DSR.
TEST_F(ReceiverSimulatorTest, WaitDtrWaitsForTheOtherEndsDtr) {
    ASSERT_TRUE(EscapeCommFunction(hReader, CLRDTR));
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 --quiet --wait-dtr=300 wait 0"), 3);
    ASSERT_TRUE(EscapeCommFunction(hReader, SETDTR));
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 --quiet --wait-dtr=5000 wait 0"), 0);
}

TEST_F(ReceiverSimulatorTest, BadInputSendsNothing) {
    const std::string script = TempFile("sim");
    {
        std::ofstream out(script);
        out << "press veko 12ED 1\n"
               "press veko 12ED 7\n";
    }
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 --quiet script \"" + script + "\""), 2);
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 press veko 12ED"), 2);
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM11 script Z:\\no\\such\\script.txt"), 2);
    EXPECT_EQ(RunTool("ReceiverSimulator", "--port COM98 press veko 12ED 1"), 1);
    EXPECT_EQ(Hex(Received(1, 300)), "");
    DeleteFileA(script.c_str());
}

} // namespace
