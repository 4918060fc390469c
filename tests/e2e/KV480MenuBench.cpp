// Figures for the on-screen menu under Wine (run through the `bench` target):
//  - from a key's frame to the menu shown and drawn (its window visible with
//    the first entry's text and its frame's colour on screen);
//  - from a steering key's frame to the next entry's text and its row drawn;
//  - for comparison, from a key's frame to the keystroke it types arriving
//    in the window in front (the same way through the receiver and Wine);
//  - KV480's CPU time while no menu is open, and while one is open and not
//    scanning: neither should cost anything.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "BenchFigures.h"
#include "DevicePort.h"
#include "KeyboardWindow.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "RegistryWriter.h"
#include "TestConstants.h"

namespace {

using harness::CpuMs;
using harness::Milliseconds;
using harness::Now;
using harness::Percentile;

using harness::kSettingsKey;

// The menu window's frame, and its selected row, as KV480 draws them
// without high contrast.
const COLORREF MENU_FRAME = RGB(160, 160, 160);
const COLORREF MENU_SELECTED = RGB(0, 90, 180);

COLORREF Pixel(int x, int y) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

// The menu's text while its window is shown; empty when it is hidden.
std::wstring MenuText(RECT& area) {
    const HWND menu = FindWindowA("KV480Menu", nullptr);
    wchar_t text[64] = L"";
    if (menu == nullptr || !IsWindowVisible(menu) || !GetWindowRect(menu, &area))
        return L"";
    GetWindowTextW(menu, text, 64);
    return text;
}

// Spins (yielding) until done() or timeoutMs, so a delay reads to well under
// a millisecond.
template <typename Done> bool SpinUntil(Done done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        harness::PumpMessages();
        Sleep(0);
    }
    return true;
}

void Pause(DWORD ms) {
    harness::WaitUntil([] { return false; }, ms);
}

} // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::max(2, std::atoi(argv[1]))) : 10;
    const int rounds = 30;
    const std::string exe = harness::WindowsPathFromEnv("RC_KV480_EXE");
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    const std::string dir = std::string(temp) + "kv480-menu-bench\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    if (exe.empty() || !harness::WriteRegistryDword(kSettingsKey, "Address", harness::kAddress)) {
        std::fprintf(stderr, "bench: RC_KV480_EXE not set or settings not writable\n");
        return 1;
    }
    harness::WriteRegistryDword(kSettingsKey, "CommPort", 1);
    harness::WriteRegistryDword(kSettingsKey, "LircPort", 0);
    harness::WriteRegistryString(kSettingsKey, "Path", dir);
    std::ofstream(dir + "RecvApp.ini", std::ios::binary | std::ios::trunc) << "";
    std::ofstream(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc)
        << "[Steering]\r\nMode=Menu\r\nKey2=Menu Down\r\nKey3=Menu Up\r\nKey6=Menu Back\r\n"
           "[Main]\r\nMenu=Main\r\nItem1=\"First\" A\r\nItem2=\"Second\" B\r\n"
           "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Menu\r\nKey4=A\r\nKey5=B\r\n";

    harness::KeyboardWindow window("KV480MenuBenchWindow", "Menu bench");
    window.MakeForeground();
    harness::ClearLineState("COM1");
    harness::ProgramUnderTest program;
    if (!program.Start(exe, "-nr") ||
        !harness::WaitUntil([] { return harness::DtrRaised("COM1"); }, 10000)) {
        std::fprintf(stderr, "bench: KV480 did not open its port\n");
        return 1;
    }
    harness::DevicePort device("COM11");
    device.SetLine(CBR_9600);
    const auto idle = [&](const char* when) {
        const double before = CpuMs(program.ProcessId());
        Pause(seconds * 1000);
        std::printf("KV480 CPU time over %lu s, %s: %.1f ms\n", seconds, when,
                    CpuMs(program.ProcessId()) - before);
    };

    idle("no menu open yet");
    std::vector<double> keystrokes;
    for (int i = 0; i < rounds; ++i) {
        window.Clear();
        const LONGLONG start = Now();
        device.Write(harness::VekoFrame(4 + i % 2));
        if (SpinUntil([&] { return !window.KeyDowns().empty(); }, 5000))
            keystrokes.push_back(Milliseconds(Now() - start));
        Pause(30);
    }
    std::vector<double> opens, moves;
    RECT area{};
    for (int i = 0; i < rounds; ++i) {
        LONGLONG start = Now();
        device.Write(harness::VekoFrame(1));
        if (SpinUntil(
                [&] {
                    return MenuText(area) == L"First" &&
                           Pixel(area.left + 1, (area.top + area.bottom) / 2) == MENU_FRAME;
                },
                5000))
            opens.push_back(Milliseconds(Now() - start));
        Pause(30);
        // Down, then Up: each moves the selected row's colour to the other
        // row (read left of its text, inside the row's 12 px inset at 96 DPI).
        for (const int key : {2, 3}) {
            const std::wstring expected = key == 2 ? L"Second" : L"First";
            const LONGLONG rowHeight = (area.bottom - area.top) / 4;
            const int rowY = static_cast<int>(area.bottom - (key == 2 ? 1 : 2) * rowHeight);
            start = Now();
            device.Write(harness::VekoFrame(key));
            if (SpinUntil(
                    [&] {
                        return MenuText(area) == expected &&
                               Pixel(area.left + 16, rowY) == MENU_SELECTED;
                    },
                    5000))
                moves.push_back(Milliseconds(Now() - start));
            Pause(30);
        }
        if (i == 0)
            idle("a menu open, not scanning");
        device.Write(harness::VekoFrame(6));
        SpinUntil([&] { return MenuText(area).empty(); }, 5000);
        Pause(30);
    }
    std::printf("key to menu shown and drawn over %zu of %d opens: p50 %.1f ms, p99 %.1f ms\n",
                opens.size(), rounds, Percentile(opens, 0.5), Percentile(opens, 0.99));
    std::printf("key to the next entry drawn over %zu of %d moves: p50 %.1f ms, p99 %.1f ms\n",
                moves.size(), 2 * rounds, Percentile(moves, 0.5), Percentile(moves, 0.99));
    std::printf("key to keystroke in the window over %zu of %d presses: p50 %.1f ms, p99 %.1f ms\n",
                keystrokes.size(), rounds, Percentile(keystrokes, 0.5),
                Percentile(keystrokes, 0.99));
    idle("every menu closed again");

    const HWND main = FindWindowA("CRemoteControlClass", "Remote Control");
    if (main != nullptr)
        PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit(5000);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    return 0;
}
