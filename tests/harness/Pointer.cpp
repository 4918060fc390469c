#include "Pointer.h"

#include "ProgramUnderTest.h"

#include <cstdlib>

namespace harness {

void MouseAt(DWORD flags, POINT point) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Windows takes pixel = value * size / 65536: rounded up, the value
    // gives back the very pixel.
    const auto value = [](LONG pixel, int size) {
        return static_cast<LONG>((pixel * 65536LL + size - 1) / size);
    };
    input.mi.dx = value(point.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = value(point.y, GetSystemMetrics(SM_CYSCREEN));
    SendInput(1, &input, sizeof(input));
}

bool MovePointer(POINT point) {
    // Wine moves the X pointer, which other processes' GetCursorPos reads,
    // only for SetCursorPos; and it may drop a move that comes while it warps
    // the pointer for another, so both are sent again now and then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        MouseAt(0, point);
        SetCursorPos(point.x, point.y);
        POINT now;
        if (WaitUntil(
                [&] {
                    return GetCursorPos(&now) && std::abs(now.x - point.x) <= 1 &&
                           std::abs(now.y - point.y) <= 1;
                },
                500))
            return true;
    }
    return false;
}

} // namespace harness
