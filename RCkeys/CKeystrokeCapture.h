// Takes the keyboard while the user presses the keystroke a remote key is to
// type: a low-level hook sees every key, the Windows key and the media keys
// included, before any program acts on it, and keeps it from them. Tab and
// Shift+Tab still move the focus, so the keyboard can leave the field, and
// Alt+Down still opens the field's list.
#pragma once

#include <windows.h>

class CKeystrokeCapture {
public:
    static constexpr LPARAM HELD_CTRL = 1;
    static constexpr LPARAM HELD_SHIFT = 2;
    static constexpr LPARAM HELD_ALT = 4;
    static constexpr LPARAM HELD_WIN = 8;

    CKeystrokeCapture() = default;
    ~CKeystrokeCapture();
    CKeystrokeCapture(const CKeystrokeCapture&) = delete;
    CKeystrokeCapture& operator=(const CKeystrokeCapture&) = delete;

    // Each key pressed then goes to hTarget as nMessage (wParam: virtual
    // key, lParam: modifiers held). One capture at a time in the process.
    bool Start(HWND hTarget, UINT nMessage);
    void Stop();
    bool IsActive() const { return m_hHook != nullptr; }

private:
    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam);
    LRESULT OnKey(WPARAM wParam, const KBDLLHOOKSTRUCT& key);

    HHOOK m_hHook = nullptr;
    HWND m_hTarget = nullptr;
    UINT m_nMessage = 0;
    LPARAM m_nModifiers = 0;
};
