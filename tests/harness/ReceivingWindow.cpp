#include "ReceivingWindow.h"

#include "ProgramUnderTest.h"

namespace harness {

ReceivingWindow::ReceivingWindow(const std::string& className, const std::string& caption)
    : m_className(className), m_remoteControlMsg(RegisterWindowMessageA("WM_REMOTECONTROL")),
      m_releaseMsg(RegisterWindowMessageA("WM_REMOTECONTROL_RELEASE")) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = m_className.c_str();
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    m_window =
        CreateWindowExA(0, m_className.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        100, 100, 300, 200, nullptr, nullptr, windowClass.hInstance, this);
    PumpMessages();
}

ReceivingWindow::~ReceivingWindow() {
    if (m_window != nullptr)
        DestroyWindow(m_window);
    UnregisterClassA(m_className.c_str(), GetModuleHandleA(nullptr));
}

bool ReceivingWindow::WaitForKeys(size_t count, DWORD timeoutMs) {
    return WaitUntil([&] { return m_keys.size() >= count; }, timeoutMs);
}

bool ReceivingWindow::BringToTop() {
    SetWindowPos(m_window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    // Above every other visible window of this process (always-on-top windows
    // of other processes, such as Wine's tray, may stay above it).
    return WaitUntil(
        [&] {
            for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w != nullptr;
                 w = GetWindow(w, GW_HWNDNEXT)) {
                if (w == m_window)
                    return true;
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(w))
                    return false;
            }
            return false;
        },
        2000);
}

LRESULT CALLBACK ReceivingWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<ReceivingWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == self->m_remoteControlMsg && message != 0) {
        self->m_keys.push_back({wParam, lParam, GetTickCount()});
        return 0;
    }
    if (self != nullptr && message == self->m_releaseMsg && message != 0) {
        self->m_releases.push_back({wParam, lParam, GetTickCount()});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace harness
