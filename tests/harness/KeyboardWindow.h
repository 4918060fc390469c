// An ordinary application's window inside the test process, listed in no
// RecvApp.ini: records the keyboard input that reaches it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ReceivingWindow.h"

namespace harness {

struct KeyboardEvent {
    UINT message;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_APPCOMMAND, or a
                   // mouse button or wheel message
    WPARAM vk;     // virtual key; for WM_APPCOMMAND the command
    bool extended; // bit 24 of lParam
    bool ctrlDown; // GetKeyState(VK_CONTROL) as the message was handled
    bool shiftDown;
    bool altDown;
    DWORD tick;
};

class KeyboardWindow {
public:
    // A visible top-level window of class className with caption.
    KeyboardWindow(const std::string& className, const std::string& caption);
    ~KeyboardWindow();
    KeyboardWindow(const KeyboardWindow&) = delete;
    KeyboardWindow& operator=(const KeyboardWindow&) = delete;

    HWND Handle() const { return m_window.Handle(); }
    const std::vector<KeyboardEvent>& Events() const { return m_events; }
    // The characters typed (WM_CHAR, as UTF-16 units).
    const std::wstring& Chars() const { return m_chars; }
    void Clear() {
        m_events.clear();
        m_chars.clear();
    }
    // The key-down messages (WM_KEYDOWN and WM_SYSKEYDOWN) so far.
    std::vector<KeyboardEvent> KeyDowns() const;
    // Pumps messages until count key-downs arrived or timeoutMs passed.
    bool WaitForKeyDowns(size_t count, DWORD timeoutMs);
    // Makes the window the foreground window and waits until it is.
    bool MakeForeground();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // A window of its own class that is not listed anywhere, its procedure
    // wrapped to record the keyboard.
    ReceivingWindow m_window;
    WNDPROC m_previous = nullptr;
    std::vector<KeyboardEvent> m_events;
    std::wstring m_chars;
};

// True when none of Ctrl, Shift, Alt and the Windows keys reads down.
bool NoModifierDown();

} // namespace harness
