// A receiving application's window inside the test process: registers
// "WM_REMOTECONTROL" and "WM_REMOTECONTROL_RELEASE" and records every key and
// release that reaches it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace harness {

struct KeyReceived {
    WPARAM key;
    LPARAM repeat;
    DWORD tick; // GetTickCount when the window procedure saw it
};

class ReceivingWindow {
public:
    // A visible top-level window of class className with caption.
    ReceivingWindow(const std::string& className, const std::string& caption);
    ~ReceivingWindow();
    ReceivingWindow(const ReceivingWindow&) = delete;
    ReceivingWindow& operator=(const ReceivingWindow&) = delete;

    HWND Handle() const { return m_window; }
    const std::vector<KeyReceived>& Keys() const { return m_keys; }
    // Releases: key in wParam, repeat holds the lParam (0).
    const std::vector<KeyReceived>& Releases() const { return m_releases; }
    void Clear() {
        m_keys.clear();
        m_releases.clear();
    }
    // Pumps messages until count keys arrived or timeoutMs passed.
    bool WaitForKeys(size_t count, DWORD timeoutMs);
    // Puts the window on top of the Z order and waits until it is there.
    bool BringToTop();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::string m_className;
    HWND m_window = nullptr;
    UINT m_remoteControlMsg = 0;
    UINT m_releaseMsg = 0;
    std::vector<KeyReceived> m_keys;
    std::vector<KeyReceived> m_releases;
};

} // namespace harness
