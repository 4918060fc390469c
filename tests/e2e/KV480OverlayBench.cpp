// Figures for the presenter's overlays under Wine (run through the `bench`
// target):
//  - KV480's CPU time before any overlay was on, and again after each was on
//    and off: an overlay that is off must cost nothing;
//  - KV480's CPU time per second while an overlay follows a pointer that moves
//    at display rate (the bench moves it 60 times a second, as a mouse would);
//  - the same movement with every overlay off, which the figures above are
//    read against;
//  - the delay from a pointer move to the overlay's move (the dot's and the
//    lens's window in place, the spotlight's circle on screen), and whether
//    the pointer then stays where the move put it;
//  - the pixels each tool uploads per move (the sizes of its windows that
//    are drawn again rather than moved);
//  - a key's latency, from the frame's last byte to WM_KEYDOWN in the window in
//    front, with every overlay off and with the spotlight on.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "BenchFigures.h"
#include "BenchKV480.h"
#include "DevicePort.h"
#include "KeyboardWindow.h"
#include "Pointer.h"
#include "ProgramUnderTest.h"
#include "TestConstants.h"

namespace {

using harness::CpuMs;
using harness::Milliseconds;
using harness::Now;
using harness::Percentile;
using harness::SpinUntil;

COLORREF Pixel(POINT point) {
    const HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

SIZE Size(const char* windowClass) {
    RECT area{};
    const HWND window = FindWindowA(windowClass, nullptr);
    if (window != nullptr)
        GetWindowRect(window, &area);
    return SIZE{area.right - area.left, area.bottom - area.top};
}

void MovePointer(POINT point) {
    harness::MouseAt(0, point);
}

class Bench {
public:
    Bench(harness::ProgramUnderTest& program, harness::DevicePort& device,
          harness::KeyboardWindow& window)
        : m_program(program), m_device(device), m_window(window) {}

    // Presses the VEKO key that KeyMap.ini maps to the tool.
    bool Toggle(int key) {
        const bool ok = m_device.Write(harness::VekoFrame(key));
        harness::WaitUntil([] { return false; }, 300);
        return ok;
    }

    void Idle(const char* when, DWORD ms) {
        const double before = CpuMs(m_program.ProcessId());
        harness::WaitUntil([] { return false; }, ms);
        std::printf("KV480 CPU time over %.0f s, %s: %.1f ms\n", ms / 1000.0, when,
                    CpuMs(m_program.ProcessId()) - before);
    }

    // The pointer moves 60 times a second along a circle for ms.
    void Follow(const char* what, DWORD ms) {
        const POINT centre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
        const double before = CpuMs(m_program.ProcessId());
        const DWORD start = GetTickCount();
        int moves = 0;
        while (GetTickCount() - start < ms) {
            const int angle = moves * 3 % 360;
            MovePointer({centre.x + static_cast<int>(200 * std::cos(angle * 3.14159 / 180)),
                         centre.y + static_cast<int>(200 * std::sin(angle * 3.14159 / 180))});
            ++moves;
            harness::WaitUntil([] { return false; }, 16);
        }
        const double seconds = (GetTickCount() - start) / 1000.0;
        std::printf("%s following %d moves in %.1f s: KV480 CPU %.1f ms per second\n", what, moves,
                    seconds, (CpuMs(m_program.ProcessId()) - before) / seconds);
    }

    // From a move to arrived(point) at the new place, over count moves; then
    // whether the pointer is still where the move put it 100 ms later.
    template <typename Arrived> void Delay(const char* what, int count, Arrived arrived) {
        std::vector<double> delays;
        int stayed = 0;
        int stayedEarly = 0;
        const POINT centre = {GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2};
        for (int i = 0; i < count; ++i) {
            const POINT target = {centre.x + (i % 2 == 0 ? -150 : 150), centre.y};
            // Quiet first, so each move starts a frame.
            harness::WaitUntil([] { return false; }, 40);
            const LONGLONG start = Now();
            MovePointer(target);
            if (SpinUntil([&] { return arrived(target); }, 2000))
                delays.push_back(Milliseconds(Now() - start));
            // Wine shows another process an absolute move only after
            // SetCursorPos; then the pointer must stay, not be pulled back.
            SetCursorPos(target.x, target.y);
            // Read before and after the 100 ms past which Wine's GetCursorPos
            // asks the X server again rather than its own record.
            const auto there = [&] {
                POINT at{};
                return GetCursorPos(&at) && std::abs(at.x - target.x) <= 1 &&
                       std::abs(at.y - target.y) <= 1;
            };
            harness::WaitUntil([] { return false; }, 50);
            stayedEarly += there() ? 1 : 0;
            harness::WaitUntil([] { return false; }, 50);
            stayed += there() ? 1 : 0;
        }
        std::printf("%s: move to overlay moved over %zu moves: p50 %.1f ms, p99 %.1f ms; "
                    "pointer where moved 50 ms later %d, 100 ms later %d of %d times\n",
                    what, delays.size(), Percentile(delays, 0.5), Percentile(delays, 0.99),
                    stayedEarly, stayed, count);
    }

    void KeyLatency(const char* when, int presses) {
        std::vector<double> delays;
        for (int i = 0; i < presses; ++i) {
            m_window.Clear();
            const LONGLONG start = Now();
            m_device.Write(harness::VekoFrame(5 + i % 2));
            if (SpinUntil([&] { return !m_window.KeyDowns().empty(); }, 5000))
                delays.push_back(Milliseconds(Now() - start));
            harness::WaitUntil([] { return false; }, 30);
        }
        std::printf("keystroke latency over %zu presses, %s: p50 %.1f ms, p99 %.1f ms\n",
                    delays.size(), when, Percentile(delays, 0.5), Percentile(delays, 0.99));
    }

private:
    harness::ProgramUnderTest& m_program;
    harness::DevicePort& m_device;
    harness::KeyboardWindow& m_window;
};

} // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::max(2, std::atoi(argv[1]))) : 10;
    harness::KeyboardWindow window("KV480OverlayBenchWindow", "Overlay bench");
    MoveWindow(window.Handle(), 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               TRUE);
    window.MakeForeground();
    harness::BenchKV480 kv480;
    if (!kv480.Start("kv480-overlay-bench",
                     "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=Spotlight\r\n"
                     "Key2=LaserDot\r\nKey3=Magnifier\r\nKey4=Timer \"20:00\"\r\nKey5=A\r\n"
                     "Key6=B\r\n"))
        return 1;
    harness::ProgramUnderTest& program = kv480.Program();
    harness::DevicePort device("COM11");
    device.SetLine(CBR_9600);
    Bench bench(program, device, window);
    const DWORD ms = seconds * 1000;

    bench.Idle("every overlay off, none on yet", ms);
    bench.KeyLatency("every overlay off", 100);

    bench.Follow("every overlay off", ms);
    bench.Delay("every overlay off (nothing to wait for)", 20, [](POINT) { return true; });

    bench.Toggle(1);
    bench.Follow("spotlight", ms);
    bench.Delay("spotlight", 100, [](POINT target) {
        // The circle has come when the pointer's pixel is no longer dark.
        return Pixel(target) != RGB(0, 0, 0);
    });
    bench.KeyLatency("spotlight on", 100);
    // Followed without a hook: a still pointer is still read once a frame.
    bench.Idle("spotlight on, pointer still", ms);
    // The ring's picture is drawn again only where the monitor's edge cuts it.
    std::printf("pixels uploaded per move away from the edges: spotlight 0 (ring %ld x %ld "
                "moved, four shades resized), ",
                Size("KV480Spotlight").cx, Size("KV480Spotlight").cy);
    bench.Toggle(1);

    std::printf("laser dot 0 (moved)\n");
    bench.Toggle(2);
    bench.Follow("laser dot", ms);
    bench.Delay("laser dot", 100, [](POINT target) {
        RECT dot;
        const HWND window = FindWindowA("KV480LaserDot", nullptr);
        return window != nullptr && GetWindowRect(window, &dot) &&
               std::abs((dot.left + dot.right) / 2 - target.x) <= 1;
    });
    bench.Toggle(2);

    bench.Toggle(3);
    bench.Follow("magnifier", ms);
    bench.Delay("magnifier", 100, [](POINT target) {
        RECT lens;
        const HWND window = FindWindowA("KV480Magnifier", nullptr);
        // Right of the pointer, beside what it enlarges.
        return window != nullptr && GetWindowRect(window, &lens) && lens.left > target.x &&
               lens.left < target.x + 200;
    });
    std::printf("pixels uploaded per move: magnifier %ld (its lens, drawn anew)\n",
                Size("KV480Magnifier").cx * Size("KV480Magnifier").cy);
    bench.Idle("magnifier on, pointer still", ms);
    bench.Toggle(3);

    bench.Toggle(4);
    bench.Idle("talk timer on", ms);
    bench.Toggle(4);

    bench.Idle("every overlay off again", ms);

    kv480.Stop();
    return 0;
}
