#include "KeyboardWindow.h"

#include "ProgramUnderTest.h"

namespace harness {

namespace {
const char* const kOwnerProperty = "KeyboardWindow";
}

KeyboardWindow::KeyboardWindow(const std::string& className, const std::string& caption)
    : m_window(className, caption) {
    SetPropA(Handle(), kOwnerProperty, this);
    // A Unicode procedure, so that typed characters arrive whole.
    m_previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProc)));
}

KeyboardWindow::~KeyboardWindow() {
    SetWindowLongPtrW(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_previous));
    RemovePropA(Handle(), kOwnerProperty);
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
    SetForegroundWindow(Handle());
    return WaitUntil([&] { return GetForegroundWindow() == Handle(); }, 2000);
}

LRESULT CALLBACK KeyboardWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* self = static_cast<KeyboardWindow*>(GetPropA(window, kOwnerProperty));
    const bool isKey = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
                       message == WM_SYSKEYUP;
    const bool isMouse = message == WM_LBUTTONDOWN || message == WM_LBUTTONUP ||
                         message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
                         message == WM_MOUSEWHEEL;
    // The window's own procedure is ANSI: it would store a caption outside
    // the code page with '?'.
    if (message == WM_SETTEXT)
        return DefWindowProcW(window, message, wParam, lParam);
    if (self != nullptr && message == WM_CHAR)
        self->m_chars.push_back(static_cast<wchar_t>(wParam));
    if (self != nullptr && isMouse)
        self->m_events.push_back({message, 0, false, false, false, false, GetTickCount()});
    if (self != nullptr && (isKey || message == WM_APPCOMMAND)) {
        auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
        self->m_events.push_back(
            {message, isKey ? wParam : static_cast<WPARAM>(GET_APPCOMMAND_LPARAM(lParam)),
             isKey && (lParam & (1 << 24)) != 0, down(VK_CONTROL), down(VK_SHIFT), down(VK_MENU),
             GetTickCount()});
        if (isKey)
            return 0; // Alt chords must not open the system menu
    }
    return self != nullptr ? CallWindowProcW(self->m_previous, window, message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

bool NoModifierDown() {
    for (int vk : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN})
        if ((GetAsyncKeyState(vk) & 0x8000) != 0 || (GetKeyState(vk) & 0x8000) != 0)
            return false;
    return true;
}

} // namespace harness
