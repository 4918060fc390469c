#include "CPortEnum.h"
#include "PortNumberFromName.h"
#include "VirtualPortDevice.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Sizes the configuration utility passes.
const int kCallerBufferSize = 100;

class CPortEnumTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(VirtualPortDevice::RemoveAll()) << GetLastError();
        std::vector<VirtualPortDevice::Entry> left;
        ASSERT_TRUE(VirtualPortDevice::List(left));
        ASSERT_TRUE(left.empty());
    }

    void TearDown() override { EXPECT_TRUE(VirtualPortDevice::RemoveAll()) << GetLastError(); }

    static std::string AddPort(const std::string& name,
                               const std::string& description = "Communications Port") {
        const std::string instanceId = VirtualPortDevice::Add(name, description);
        EXPECT_FALSE(instanceId.empty()) << name << ": " << GetLastError();
        return instanceId;
    }

    // Every port a fresh enumerator returns, called the way the utility calls it.
    static std::vector<std::string> PortNames() {
        std::vector<std::string> names;
        CPortEnum ports;
        char name[kCallerBufferSize];
        char description[kCallerBufferSize];
        while (ports.Next(name, description, sizeof(description), nullptr, 0)) {
            names.push_back(name);
        }
        return names;
    }
};

using Names = std::vector<std::string>;

TEST_F(CPortEnumTest, NoPortsGivesFalseFromTheStart) {
    CPortEnum ports;
    char name[kCallerBufferSize] = "unchanged";
    EXPECT_FALSE(ports.Next(name, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(ports.Next(name, nullptr, 0, nullptr, 0));
}

TEST_F(CPortEnumTest, ReturnsComPortsInRegistrationOrderThenStaysAtTheEnd) {
    AddPort("COM3");
    AddPort("COM1");
    AddPort("COM12");

    CPortEnum ports;
    char name[kCallerBufferSize];
    Names seen;
    while (ports.Next(name, nullptr, 0, nullptr, 0)) {
        seen.push_back(name);
    }
    EXPECT_EQ((Names{"COM3", "COM1", "COM12"}), seen);
    EXPECT_FALSE(ports.Next(name, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(ports.Next(name, nullptr, 0, nullptr, 0));
}

TEST_F(CPortEnumTest, SkipsDevicesThatAreNotComPorts) {
    AddPort("LPT1", "Printer Port");
    AddPort("COM2");
    AddPort("LPT2", "Printer Port");
    AddPort("CO");
    AddPort("COM4");
    AddPort("LPT3", "Printer Port");
    EXPECT_EQ((Names{"COM2", "COM4"}), PortNames());
}

TEST_F(CPortEnumTest, PrefixMatchesInAnyCaseAndNameIsReturnedUnchanged) {
    AddPort("com5");
    AddPort("Com6");
    EXPECT_EQ((Names{"com5", "Com6"}), PortNames());
    // The number is only taken from an upper-case name.
    EXPECT_EQ(0, PortNumberFromName("com5", kCallerBufferSize));
}

TEST_F(CPortEnumTest, NullPortNameBufferGivesFalseWithoutUsingUpAPort) {
    AddPort("COM3");
    CPortEnum ports;
    EXPECT_FALSE(ports.Next(nullptr, nullptr, 0, nullptr, 0));
    char name[kCallerBufferSize];
    ASSERT_TRUE(ports.Next(name, nullptr, 0, nullptr, 0));
    EXPECT_STREQ("COM3", name);
}

TEST_F(CPortEnumTest, FillsDescriptionAndInstanceId) {
    const std::string firstId = AddPort("COM3", "First test port");
    const std::string secondId = AddPort("COM4", "Second test port");

    CPortEnum ports;
    char name[kCallerBufferSize];
    char description[kCallerBufferSize];
    char instanceId[kCallerBufferSize];
    ASSERT_TRUE(ports.Next(name, description, sizeof(description), instanceId, sizeof(instanceId)));
    EXPECT_STREQ("First test port", description);
    EXPECT_EQ(firstId, instanceId);
    ASSERT_TRUE(ports.Next(name, description, sizeof(description), instanceId, sizeof(instanceId)));
    EXPECT_STREQ("Second test port", description);
    EXPECT_EQ(secondId, instanceId);
}

TEST_F(CPortEnumTest, OmittedBuffersAreLeftAlone) {
    AddPort("COM3");
    CPortEnum ports;
    char name[kCallerBufferSize];
    char description[] = "untouched";
    char instanceId[] = "untouched";
    ASSERT_TRUE(ports.Next(name, description, 0, instanceId, -1));
    EXPECT_STREQ("untouched", description);
    EXPECT_STREQ("untouched", instanceId);
    EXPECT_STREQ("COM3", name);
}

TEST_F(CPortEnumTest, ShortBuffersStayWithinTheirSizeAndTerminated) {
    const std::string description = "A description much longer than the buffer";
    const std::string instanceId = AddPort("COM3", description);

    const int small = 8;
    char descriptionBuffer[kCallerBufferSize];
    char instanceIdBuffer[kCallerBufferSize];
    std::memset(descriptionBuffer, 'x', sizeof(descriptionBuffer));
    std::memset(instanceIdBuffer, 'x', sizeof(instanceIdBuffer));

    CPortEnum ports;
    char name[kCallerBufferSize];
    ASSERT_TRUE(ports.Next(name, descriptionBuffer, small, instanceIdBuffer, small));
    EXPECT_STREQ("COM3", name);
    for (int i = small; i < kCallerBufferSize; ++i) {
        ASSERT_EQ('x', descriptionBuffer[i]) << "description written at " << i;
        ASSERT_EQ('x', instanceIdBuffer[i]) << "instance id written at " << i;
    }
    // Cut or left empty, but always a terminated beginning of the real text.
    ASSERT_NE(nullptr, std::memchr(descriptionBuffer, '\0', small));
    ASSERT_NE(nullptr, std::memchr(instanceIdBuffer, '\0', small));
    EXPECT_EQ(0u, description.find(descriptionBuffer));
    EXPECT_EQ(0u, instanceId.find(instanceIdBuffer));
}

TEST_F(CPortEnumTest, LongestNameFitsTheNameBuffer) {
    const std::string longest = "COM" + std::string(CPortEnum::PortNameSize - 4, '9');
    AddPort(longest);
    EXPECT_EQ((Names{longest}), PortNames());
}

TEST_F(CPortEnumTest, OverlongOrUnterminatedNamesAreSkipped) {
    const std::string exactlyFull = "COM" + std::string(CPortEnum::PortNameSize - 3, '1');
    ASSERT_TRUE(VirtualPortDevice::WriteRawPortName(AddPort("COM1"), exactlyFull));
    const std::string tooLong = "COM" + std::string(CPortEnum::PortNameSize, '2');
    AddPort(tooLong);
    AddPort("COM5");

    CPortEnum ports;
    char name[kCallerBufferSize];
    std::memset(name, 'x', sizeof(name));
    ASSERT_TRUE(ports.Next(name, nullptr, 0, nullptr, 0));
    EXPECT_STREQ("COM5", name);
    EXPECT_FALSE(ports.Next(name, nullptr, 0, nullptr, 0));
}

TEST_F(CPortEnumTest, UnterminatedShortNameIsNotMixedWithThePreviousOne) {
    AddPort("LPT12345");
    ASSERT_TRUE(VirtualPortDevice::WriteRawPortName(AddPort("COM1"), "COM3"));
    EXPECT_EQ((Names{"COM3"}), PortNames());
}

TEST_F(CPortEnumTest, EnumeratorIsASnapshotOfItsConstruction) {
    AddPort("COM3");
    CPortEnum earlier;
    AddPort("COM4");

    char name[kCallerBufferSize];
    ASSERT_TRUE(earlier.Next(name, nullptr, 0, nullptr, 0));
    EXPECT_STREQ("COM3", name);
    EXPECT_FALSE(earlier.Next(name, nullptr, 0, nullptr, 0));

    EXPECT_EQ((Names{"COM3", "COM4"}), PortNames());
}

// The configuration utility sees devices that another process registers and
// stops seeing them once that process removes them.
TEST_F(CPortEnumTest, SeesDevicesOfOtherProcesses) {
    char exe[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, exe, sizeof(exe)));
    std::string tool = exe;
    tool = tool.substr(0, tool.find_last_of('\\')) + "\\..\\harness\\vportctl.exe";
    if (GetFileAttributesA(tool.c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "vportctl.exe not built";
    }
    const auto run = [&tool](const std::string& arguments) -> DWORD {
        std::string commandLine = "\"" + tool + "\" " + arguments;
        // The tool's messages (one failure is expected) would only clutter the log.
        SECURITY_ATTRIBUTES inherit = {};
        inherit.nLength = sizeof(inherit);
        inherit.bInheritHandle = TRUE;
        HANDLE hNul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, OPEN_EXISTING, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = hNul;
        startup.hStdError = hNul;
        PROCESS_INFORMATION process = {};
        const BOOL started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0,
                                            nullptr, nullptr, &startup, &process);
        const DWORD startError = GetLastError();
        if (hNul != INVALID_HANDLE_VALUE) {
            CloseHandle(hNul);
        }
        if (!started) {
            return startError;
        }
        WaitForSingleObject(process.hProcess, 30000);
        DWORD exitCode = STILL_ACTIVE;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode;
    };

    ASSERT_EQ(0u, run("add COM7 \"Other process port\""));
    ASSERT_EQ(0u, run("add COM8"));
    EXPECT_EQ((Names{"COM7", "COM8"}), PortNames());
    ASSERT_EQ(0u, run("remove COM7"));
    EXPECT_EQ((Names{"COM8"}), PortNames());
    ASSERT_EQ(0u, run("clear"));
    EXPECT_TRUE(PortNames().empty());
    EXPECT_NE(0u, run("remove COM8"));
}

} // namespace
