// What an author of a receiving application gets: the guide's example program
// receives keys from KV480, and the two tools tell and send as KV480 would.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "ProgramUnderTest.h"
#include "ResidentFixture.h"

using harness::ProgramUnderTest;
using harness::WaitUntil;
using harness::WindowText;
using namespace e2e;

namespace {

const char* const kExampleClass = "MinimalReceiver";

class ReceivingAppKitTest : public ResidentFixture {
protected:
    ReceivingAppKitTest() : ResidentFixture("rc kit\\") {}

    void SetUp() override {
        ResidentFixture::SetUp();
        m_tools = harness::WindowsPathFromEnv("RC_TOOLS_DIR");
        ASSERT_FALSE(m_tools.empty()) << "RC_TOOLS_DIR not set";
        ASSERT_TRUE(m_example.Start(harness::WindowsPathFromEnv("RC_EXAMPLE_EXE")));
        m_window = m_example.WaitForWindow(kExampleClass, nullptr, 10000);
        ASSERT_NE(nullptr, m_window);
        // Found once created; shown a moment later.
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(m_window) != FALSE; }, 10000));
    }

    std::string Tool(const std::string& name) const {
        return m_tools + "\\" + name + "\\" + name + ".exe";
    }

    // Runs a console tool to its end; its exit code, and its output in output.
    DWORD Run(const std::string& name, const std::string& arguments,
              std::string* output = nullptr) {
        const std::string outFile = m_dir + name + ".out";
        SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
        HANDLE hOut = CreateFileA(outFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, hOut);
        std::string commandLine = "\"" + Tool(name) + "\" " + arguments;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = hOut;
        startup.hStdError = hOut;
        PROCESS_INFORMATION process{};
        DWORD code = 99;
        if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                           &startup, &process)) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, 30000)) << name;
            GetExitCodeProcess(process.hProcess, &code);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(hOut);
        if (output != nullptr) {
            std::ifstream in(outFile, std::ios::binary);
            output->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return code;
    }

    bool CaptionBecomes(const std::string& caption, DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return WindowText(m_window) == caption; }, timeoutMs);
    }

    ProgramUnderTest m_example;
    HWND m_window = nullptr;
    std::string m_tools;
};

TEST_F(ReceivingAppKitTest, ExampleReceivesKeysFromKV480) {
    Configure();
    WriteIni("[Minimal receiver]\r\nClassName=MinimalReceiver\r\nWindowName=NULL\r\n");
    ASSERT_TRUE(m_program.Start(m_exe, "-nr"));
    // As the guide's recipe waits: the simulator sees KV480's DTR on its end.
    ASSERT_EQ(0u, Run("ReceiverSimulator", "--port COM11 --quiet --wait-dtr=15000 wait 0"));
    ASSERT_EQ(0u, Run("ReceiverSimulator", "--port COM11 --quiet press veko 12ED top-left"));
    EXPECT_TRUE(CaptionBecomes("Top left: press")) << WindowText(m_window);
    ASSERT_EQ(0u, Run("ReceiverSimulator", "--port COM11 --quiet hold zelmar 12 arrow-up 800"));
    // The number of repeats depends on KV480's hold timer against the frames.
    EXPECT_TRUE(
        WaitUntil([&] { return WindowText(m_window).rfind("Arrow up: repeat ", 0) == 0; }, 10000))
        << WindowText(m_window);
}

TEST_F(ReceivingAppKitTest, ToolsTellAndSendAsKV480Would) {
    ProgramUnderTest hidden;
    ASSERT_TRUE(hidden.Start(Tool("DemoReceiver"), "--class KitHidden --hidden"))
        << "CreateProcess error " << GetLastError();
    ASSERT_NE(nullptr, hidden.WaitForWindow("KitHidden", nullptr, 10000));
    const std::string ini = m_dir + "RecvApp.ini";
    WriteIni("[Absent]\r\nClassName=NoSuchClass\r\nWindowName=NULL\r\n"
             "[Hidden]\r\nClassName=KitHidden\r\nWindowName=NULL\r\n"
             "[Example]\r\nClassName=MinimalReceiver\r\nWindowName=NULL\r\n");

    std::string report;
    EXPECT_EQ(0u, Run("RecvAppCheck", "--ini \"" + ini + "\"", &report));
    const std::string window = "\"Minimal receiver\" (class MinimalReceiver, process " +
                               std::to_string(m_example.ProcessId()) + ")";
    for (const std::string& line :
         {std::string("entry 1: ClassName=NoSuchClass WindowName=NULL\r\n  no such window\r\n"),
          std::string("entry 2: ClassName=KitHidden WindowName=NULL\r\n  window "),
          std::string("  window hidden\r\nentry 3: ClassName=MinimalReceiver WindowName=NULL\r\n"),
          window + "\r\n  gets the keys\r\n", std::string("Keys go to 0x")}) {
        EXPECT_NE(std::string::npos, report.find(line)) << line << "\nin\n" << report;
    }

    // Read from the settings as KV480 reads them, and sent as KV480 sends.
    WritePath();
    EXPECT_EQ(0u, Run("KeySender", "--quiet hold arrow-up 800"));
    EXPECT_TRUE(CaptionBecomes("Arrow up: released after 3 repeats")) << WindowText(m_window);
    EXPECT_EQ(0u, Run("KeySender", "--quiet --class MinimalReceiver press F1"));
    EXPECT_TRUE(CaptionBecomes("F1: released after 0 repeats")) << WindowText(m_window);

    PostMessageA(m_window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(m_example.WaitForExit(5000));
    EXPECT_EQ(1u, Run("RecvAppCheck", "", &report));
    EXPECT_NE(std::string::npos, report.find("No window gets the keys now.")) << report;
    EXPECT_EQ(1u, Run("KeySender", "--quiet press 1"));
}

} // namespace
