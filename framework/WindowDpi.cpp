#include "WindowDpi.h"

namespace framework {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// An export of user32, or nullptr where this Windows lacks it.
template <typename Fn> Fn User32Function(const char* pszName) {
    const HMODULE hUser32 = GetModuleHandleA("user32.dll");
    if (hUser32 == nullptr) {
        return nullptr;
    }
    // Through the generic function type, which converts to any other.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(hUser32, pszName)));
}

UINT SystemDpi() {
    const HDC hDC = GetDC(nullptr);
    const int nDpi = hDC != nullptr ? GetDeviceCaps(hDC, LOGPIXELSX) : 0;
    if (hDC != nullptr) {
        ReleaseDC(nullptr, hDC);
    }
    return nDpi > 0 ? static_cast<UINT>(nDpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

UINT GetWindowDpi(HWND hWnd) {
    static const auto pGetDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    if (pGetDpiForWindow != nullptr && hWnd != nullptr) {
        const UINT nDpi = pGetDpiForWindow(hWnd);
        if (nDpi != 0) {
            return nDpi;
        }
    }
    return SystemDpi();
}

SIZE GetFrameSizeForDpi(DWORD dwStyle, DWORD dwExStyle, UINT nDpi) {
    static const auto pAdjust =
        User32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT rc{0, 0, 0, 0};
    if (pAdjust == nullptr || !pAdjust(&rc, dwStyle, FALSE, dwExStyle, nDpi)) {
        rc = RECT{0, 0, 0, 0};
        AdjustWindowRectEx(&rc, dwStyle, FALSE, dwExStyle);
    }
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

} // namespace framework
