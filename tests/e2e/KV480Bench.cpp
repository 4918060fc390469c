// Figures for the resident program under Wine (run through the `bench` target):
//  - key latency: from the last byte of a frame written on the device side to
//    the receiving window's procedure, over many presses;
//  - keystroke latency in the same run: from the last byte to WM_KEYDOWN in
//    the foreground window, typed by KeyMap.ini once the receiving window is
//    hidden; then again with both key maps, sections by program and long
//    and double forms on other keys, the lookup's most costly case for a
//    key that acts at its press;
//  - CPU time of KV480 while idle with its port open.
// Both ends of the latency live in this process, so one clock measures it.
#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "DevicePort.h"
#include "KeyboardWindow.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "RegistryWriter.h"
#include "TestConstants.h"

namespace {

using harness::kSettingsKey;

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

ULONGLONG CpuTime100ns(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

bool Configure(const std::string& dir) {
    if (!harness::WriteRegistryDword(kSettingsKey, "Address", harness::kAddress))
        return false;
    harness::WriteRegistryDword(kSettingsKey, "CommPort", 1);
    harness::WriteRegistryString(kSettingsKey, "Path", dir);
    std::ofstream ini(dir + "RecvApp.ini", std::ios::binary | std::ios::trunc);
    ini << "[Bench]\r\nClassName=KV480BenchReceiver\r\nWindowName=NULL\r\n";
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(10, std::atoi(argv[1])) : 250;
    const DWORD idleMs = argc > 2 ? static_cast<DWORD>(std::max(1000, std::atoi(argv[2]))) : 30000;
    std::string exe = harness::WindowsPathFromEnv("RC_KV480_EXE");
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string dir = std::string(temp) + "kv480-bench\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    if (exe.empty() || !Configure(dir)) {
        std::fprintf(stderr, "bench: RC_KV480_EXE not set or settings not writable\n");
        return 1;
    }

    harness::ReceivingWindow receiver("KV480BenchReceiver", "Bench receiver");
    receiver.BringToTop();
    harness::ClearLineState("COM1");
    harness::ProgramUnderTest program;
    if (!program.Start(exe, "-nr") || !harness::WaitUntil(
                                          [] {
                                              harness::LineState state;
                                              return harness::ReadLineState("COM1", state) &&
                                                     state.dtr == 1;
                                          },
                                          10000)) {
        std::fprintf(stderr, "bench: KV480 did not open its port\n");
        return 1;
    }
    harness::DevicePort device("COM11");
    device.SetLine(CBR_9600);

    // Key latency. Each press is a new VEKO key frame; keys alternate so that
    // every frame is a press, and the next waits for the previous to arrive.
    // arrived(tick) holds once it arrived, tick being when the window
    // procedure saw it (GetTickCount, 1 ms steps; the wait itself may add a
    // wake-up delay).
    const char codes[] = {static_cast<char>(harness::VekoCode(1)),
                          static_cast<char>(harness::VekoCode(2))};
    auto measure = [&](const char* what, auto clear, auto arrived) {
        std::vector<double> waited;
        std::vector<double> inProcedure;
        for (int i = 0; i < presses; ++i) {
            clear();
            std::string frame = {0x12, static_cast<char>(0xED), codes[i % 2]};
            device.Write(frame);
            const LONGLONG written = Now();
            const DWORD writtenTick = GetTickCount();
            DWORD tick = 0;
            if (!harness::WaitUntil([&] { return arrived(tick); }, 5000)) {
                std::fprintf(stderr, "bench: %s %d did not arrive\n", what, i);
                return false;
            }
            waited.push_back(Milliseconds(Now() - written));
            inProcedure.push_back(static_cast<double>(tick - writtenTick));
            harness::PumpMessages();
        }
        std::printf("%s latency over %d presses: p50 %.1f ms, p99 %.1f ms, max %.1f ms; "
                    "in the window procedure p50 %.0f ms, p99 %.0f ms\n",
                    what, presses, Percentile(waited, 0.5), Percentile(waited, 0.99),
                    *std::max_element(waited.begin(), waited.end()), Percentile(inProcedure, 0.5),
                    Percentile(inProcedure, 0.99));
        return true;
    };
    const bool messagesArrived = measure(
        "key", [&] { receiver.Clear(); },
        [&](DWORD& tick) {
            return !receiver.Keys().empty() && ((tick = receiver.Keys()[0].tick), true);
        });

    // Keystroke latency: the same presses typed by the key map into an
    // ordinary window, once the receiving window is hidden.
    {
        std::ofstream keyMap(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc);
        keyMap << "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=B\r\n";
    }
    ShowWindow(receiver.Handle(), SW_HIDE);
    harness::KeyboardWindow typing("KV480BenchTyping", "Bench typing");
    typing.MakeForeground();
    const bool keystrokesArrived =
        messagesArrived && measure(
                               "keystroke", [&] { typing.Clear(); },
                               [&](DWORD& tick) {
                                   const auto downs = typing.KeyDowns();
                                   return !downs.empty() && ((tick = downs[0].tick), true);
                               });
    wchar_t appData[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    const std::wstring userFolder = std::wstring(appData) + L"\\Remote Control";
    const std::wstring userFile = userFolder + L"\\KeyMap.ini";
    bool layeredArrived = keystrokesArrived;
    if (keystrokesArrived) {
        CreateDirectoryW(userFolder.c_str(), nullptr);
        std::ofstream userMap(userFile.c_str(), std::ios::binary | std::ios::trunc);
        std::ofstream keyMap(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 20; ++i) {
            userMap << "[Player " << i << "]\r\nProgram=player" << i << ".exe\r\nKey1=X\r\n"
                    << "Key3 long=Y\r\nKey4 double=Z\r\n";
            keyMap << "[App " << i << "]\r\nClassName=NULL\r\nWindowName=*Přehled " << i
                   << "*\r\nKey2=X\r\nKey5 long=Y\r\n";
        }
        keyMap << "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=B\r\n";
    }
    layeredArrived = keystrokesArrived &&
                     measure(
                         "keystroke (both files, 20 sections by program)", [&] { typing.Clear(); },
                         [&](DWORD& tick) {
                             const auto downs = typing.KeyDowns();
                             return !downs.empty() && ((tick = downs[0].tick), true);
                         });
    DeleteFileA((dir + "KeyMap.ini").c_str());
    DeleteFileW(userFile.c_str());
    if (!layeredArrived)
        return 1;

    // Idle CPU with the port open.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.ProcessId());
    ULONGLONG before = CpuTime100ns(process);
    Sleep(idleMs);
    ULONGLONG after = CpuTime100ns(process);
    CloseHandle(process);
    std::printf("KV480 CPU time over %.0f s idle with the port open: %.1f ms\n", idleMs / 1000.0,
                static_cast<double>(after - before) / 10000.0);

    HWND main = FindWindowA("CRemoteControlClass", "Remote Control");
    if (main != nullptr)
        PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit(5000);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    return 0;
}
