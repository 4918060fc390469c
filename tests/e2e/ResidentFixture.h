// What the end-to-end tests of KV480 share: a clean settings key, a folder for
// "Path" and RecvApp.ini, KV480 started with the receiver connected, and KV480
// ended the orderly way after each test (so its tray icon goes with it).
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "DevicePort.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "RegistryWriter.h"
#include "TestConstants.h"
#include "TrayIcons.h"

namespace e2e {

using harness::Frame;
using harness::kAddress;
using harness::kSettingsKey;

inline const char* const kMainClass = "CRemoteControlClass";
inline const char* const kMainCaption = "Remote Control";
// The receiver on COM1 is played from COM11.
inline const char* const kPort = "COM1";
inline const char* const kDevice = "COM11";
// The badges of the two tray images: a green tick when ready, a red cross not.
inline const COLORREF kReadyBadge = RGB(30, 160, 60);
inline const COLORREF kNotReadyBadge = RGB(215, 35, 35);

class ResidentFixture : public ::testing::Test {
protected:
    // folder: below the temporary folder, ending with a backslash.
    explicit ResidentFixture(const char* folder) : m_folder(folder) {}

    void SetUp() override {
        m_exe = harness::WindowsPathFromEnv("RC_KV480_EXE");
        ASSERT_FALSE(m_exe.empty()) << "RC_KV480_EXE not set";
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
        // No LIRC listener unless a test asks for one: another program on
        // port 8765 of this machine would add a balloon that tests do not expect.
        WriteDword("LircPort", 0);
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof(temp), temp));
        m_dir = std::string(temp) + m_folder;
        CreateDirectoryA(m_dir.c_str(), nullptr);
        DeleteFileA((m_dir + "RecvApp.ini").c_str());
        harness::ClearLineState(kPort);
        ASSERT_TRUE(harness::WaitUntil([] { return harness::CountTrayIcons() == 0; }, 5000))
            << "a tray icon was left over";
    }

    void TearDown() override {
        m_device.reset();
        if (m_program.IsRunning()) {
            HWND main =
                harness::FindProcessWindow(m_program.ProcessId(), kMainClass, kMainCaption, false);
            if (main != nullptr)
                PostMessageA(main, WM_CLOSE, 0, 0);
            if (!m_program.WaitForExit(5000))
                m_program.Terminate();
        }
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    }

    // A Store app's frame as Windows shows one: a program named
    // ApplicationFrameHost.exe (a copy of the demo receiver) with its window,
    // which is returned; null when it does not show.
    HWND StartStoreFrame(harness::ProgramUnderTest& frameHost) const {
        const std::string host = m_dir + "ApplicationFrameHost.exe";
        if (!CopyFileA(
                (harness::WindowsPathFromEnv("RC_TOOLS_DIR") + "\\DemoReceiver\\DemoReceiver.exe")
                    .c_str(),
                host.c_str(), FALSE) ||
            !frameHost.Start(host))
            return nullptr;
        return frameHost.WaitForWindow("KV480DemoReceiver", nullptr, 10000);
    }

    static void WriteDword(const char* name, DWORD value) {
        ASSERT_TRUE(harness::WriteRegistryDword(kSettingsKey, name, value));
    }

    void WritePath() { ASSERT_TRUE(harness::WriteRegistryString(kSettingsKey, "Path", m_dir)); }

    void Configure(DWORD port = 1) {
        WriteDword("Address", kAddress);
        WriteDword("CommPort", port);
        WritePath();
    }

    void WriteIni(const std::string& text) {
        std::ofstream ini(m_dir + "RecvApp.ini", std::ios::binary | std::ios::trunc);
        ini << text;
    }

    // The program raises DTR as the last step of setting its port up, on a
    // thread of its own, and then takes the port into use and shows the ready
    // icon: the link is up once both are seen.
    static bool WaitForPortOpen(DWORD timeoutMs = 10000) {
        return harness::WaitUntil(
            [] { return harness::DtrRaised(kPort) && harness::TrayIconShowsColour(kReadyBadge); },
            timeoutMs);
    }

    // Starts KV480 and waits for its hidden main dialog (m_main).
    void StartProgram(const std::string& arguments = "-nr") {
        ASSERT_TRUE(m_program.Start(m_exe, arguments));
        m_main = m_program.WaitForWindow(kMainClass, kMainCaption, 10000);
        ASSERT_NE(nullptr, m_main);
    }

    // Starts KV480 as configured and waits until it has the port; the
    // receiver's end is then m_device.
    void StartConnected(const std::string& arguments = "-nr") {
        StartProgram(arguments);
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(WaitForPortOpen()) << "the port was not opened";
        m_device = std::make_unique<harness::DevicePort>(kDevice);
        ASSERT_NE(INVALID_HANDLE_VALUE, m_device->handle());
        ASSERT_TRUE(m_device->SetLine(CBR_9600));
    }

    harness::ProgramUnderTest m_program;
    std::string m_exe;
    std::string m_dir;
    HWND m_main = nullptr;
    std::unique_ptr<harness::DevicePort> m_device;

private:
    const char* m_folder;
};

} // namespace e2e
