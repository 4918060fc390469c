// KV480 as the benches run it: settings for COM1 and the test remote with
// LIRC off, its files in a folder of its own under %TEMP%, started and waited
// for until it has opened its port; at the end closed as a user closes it and
// its settings removed.
#pragma once

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "LineState.h"
#include "ProgramUnderTest.h"
#include "RegistryWriter.h"
#include "TestConstants.h"

namespace harness {

class BenchKV480 {
public:
    // KV480 (RC_KV480_EXE) with keyMap as its KeyMap.ini and no receiving
    // application; false, said on stderr, when it cannot be started so.
    bool Start(const char* folder, const std::string& keyMap) {
        const std::string exe = WindowsPathFromEnv("RC_KV480_EXE");
        char temp[MAX_PATH];
        GetTempPathA(sizeof(temp), temp);
        const std::string dir = std::string(temp) + folder + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
        if (exe.empty() || !WriteRegistryDword(kSettingsKey, "Address", kAddress)) {
            std::fprintf(stderr, "bench: RC_KV480_EXE not set or settings not writable\n");
            return false;
        }
        WriteRegistryDword(kSettingsKey, "CommPort", 1);
        WriteRegistryDword(kSettingsKey, "LircPort", 0);
        WriteRegistryString(kSettingsKey, "Path", dir);
        std::ofstream(dir + "RecvApp.ini", std::ios::binary | std::ios::trunc) << "";
        std::ofstream(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc) << keyMap;
        ClearLineState("COM1");
        if (!m_program.Start(exe, "-nr") || !WaitUntil([] { return DtrRaised("COM1"); }, 10000)) {
            std::fprintf(stderr, "bench: KV480 did not open its port\n");
            return false;
        }
        return true;
    }

    void Stop() {
        const HWND main = FindWindowA("CRemoteControlClass", "Remote Control");
        if (main != nullptr)
            PostMessageA(main, WM_CLOSE, 0, 0);
        m_program.WaitForExit(5000);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    }

    ProgramUnderTest& Program() { return m_program; }

private:
    ProgramUnderTest m_program;
};

} // namespace harness
