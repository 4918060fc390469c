#include "KeyboardWindow.h"

#include "ProgramUnderTest.h"

namespace harness {

KeyboardWindow::KeyboardWindow(const std::string& className, const std::string& caption)
    : m_className(className) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = m_className.c_str();
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&windowClass);
    m_window =
        CreateWindowExA(0, m_className.c_str(), caption.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        120, 120, 300, 200, nullptr, nullptr, windowClass.hInstance, this);
    PumpMessages();
}

KeyboardWindow::~KeyboardWindow() {
    if (m_window != nullptr)
        DestroyWindow(m_window);
    UnregisterClassA(m_className.c_str(), GetModuleHandleA(nullptr));
}

std::vector<KeyboardEvent> KeyboardWindow::KeyDowns() const {
    std::vector<KeyboardEvent> downs;
    for (const KeyboardEvent& event : m_events)
        if (event.message == WM_KEYDOWN || event.message == WM_SYSKEYDOWN)
            downs.push_back(event);
    return downs;
}

bool KeyboardWindow::WaitForKeyDowns(size_t count, DWORD timeoutMs) {
    return WaitUntil([&] { return KeyDowns().size() >= count; }, timeoutMs);
}

bool KeyboardWindow::MakeForeground() {
    SetForegroundWindow(m_window);
    return WaitUntil([&] { return GetForegroundWindow() == m_window; }, 2000);
}

LRESULT CALLBACK KeyboardWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<KeyboardWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    const bool isKey = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
                       message == WM_SYSKEYUP;
    if (self != nullptr && (isKey || message == WM_APPCOMMAND)) {
        auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
        self->m_events.push_back(
            {message, isKey ? wParam : static_cast<WPARAM>(GET_APPCOMMAND_LPARAM(lParam)),
             isKey && (lParam & (1 << 24)) != 0, down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU),
             GetTickCount()});
        if (isKey)
            return 0; // Alt chords must not open the system menu
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool NoModifierDown() {
    for (int vk : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN})
        if ((GetAsyncKeyState(vk) & 0x8000) != 0 || (GetKeyState(vk) & 0x8000) != 0)
            return false;
    return true;
}

} // namespace harness
