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
#include <string>
#include <vector>

#include "BenchFigures.h"
#include "BenchKV480.h"
#include "DevicePort.h"
#include "KeyboardWindow.h"
#include "ProgramUnderTest.h"
#include "TestConstants.h"

namespace {

using harness::CpuMs;
using harness::Milliseconds;
using harness::Now;
using harness::Percentile;
using harness::SpinUntil;

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

void Pause(DWORD ms) {
    harness::WaitUntil([] { return false; }, ms);
}

} // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::max(2, std::atoi(argv[1]))) : 10;
    const int rounds = 30;
    harness::KeyboardWindow window("KV480MenuBenchWindow", "Menu bench");
    window.MakeForeground();
    harness::BenchKV480 kv480;
    if (!kv480.Start("kv480-menu-bench",
                     "[Steering]\r\nMode=Menu\r\nKey2=Menu Down\r\nKey3=Menu Up\r\n"
                     "Key6=Menu Back\r\n"
                     "[Main]\r\nMenu=Main\r\nItem1=\"First\" A\r\nItem2=\"Second\" B\r\n"
                     "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Menu\r\nKey4=A\r\n"
                     "Key5=B\r\n"))
        return 1;
    harness::ProgramUnderTest& program = kv480.Program();
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

    kv480.Stop();
    return 0;
}
