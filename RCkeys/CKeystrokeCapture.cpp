#include "CKeystrokeCapture.h"

#include <initializer_list>

namespace {

// The hook procedure has no context of its own.
CKeystrokeCapture* g_pActive = nullptr;

LPARAM ModifierOf(DWORD vkCode) {
    switch (vkCode) {
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
        return CKeystrokeCapture::HELD_CTRL;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
        return CKeystrokeCapture::HELD_SHIFT;
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
        return CKeystrokeCapture::HELD_ALT;
    case VK_LWIN:
    case VK_RWIN:
        return CKeystrokeCapture::HELD_WIN;
    default:
        return 0;
    }
}

// A modifier already down when the capture starts sends no key-down that
// the hook could see: asked for once, at the start.
LPARAM ModifiersHeldNow() {
    LPARAM nHeld = 0;
    for (const int nKey : {VK_CONTROL, VK_SHIFT, VK_MENU, VK_LWIN, VK_RWIN}) {
        if (GetAsyncKeyState(nKey) < 0) {
            nHeld |= ModifierOf(static_cast<DWORD>(nKey));
        }
    }
    return nHeld;
}

} // namespace

CKeystrokeCapture::~CKeystrokeCapture() {
    Stop();
}

bool CKeystrokeCapture::Start(HWND hTarget, UINT nMessage) {
    Stop();
    if (g_pActive != nullptr) {
        return false;
    }
    m_hTarget = hTarget;
    m_nMessage = nMessage;
    m_nModifiers = ModifiersHeldNow();
    m_hHook = SetWindowsHookExA(WH_KEYBOARD_LL, HookProc, GetModuleHandleA(nullptr), 0);
    if (m_hHook != nullptr) {
        g_pActive = this;
    }
    return m_hHook != nullptr;
}

void CKeystrokeCapture::Stop() {
    if (m_hHook != nullptr) {
        UnhookWindowsHookEx(m_hHook);
        m_hHook = nullptr;
    }
    if (g_pActive == this) {
        g_pActive = nullptr;
    }
}

LRESULT CALLBACK CKeystrokeCapture::HookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION && g_pActive != nullptr && lParam != 0) {
        const LRESULT lResult =
            g_pActive->OnKey(wParam, *reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam));
        if (lResult != 0) {
            return lResult;
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CKeystrokeCapture::OnKey(WPARAM wParam, const KBDLLHOOKSTRUCT& key) {
    const bool bDown = wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN;
    const LPARAM nModifier = ModifierOf(key.vkCode);
    if (nModifier != 0) {
        m_nModifiers = bDown ? (m_nModifiers | nModifier) : (m_nModifiers & ~nModifier);
        // The Windows key alone would open the Start menu; the others pass,
        // so that Shift+Tab still moves back.
        return nModifier == HELD_WIN ? 1 : 0;
    }
    if (key.vkCode == VK_TAB && (m_nModifiers & ~HELD_SHIFT) == 0) {
        return 0;
    }
    // Alt+Down and Alt+Up open and close the field's list.
    if ((key.vkCode == VK_DOWN || key.vkCode == VK_UP) && m_nModifiers == HELD_ALT) {
        return 0;
    }
    if (bDown) {
        PostMessageA(m_hTarget, m_nMessage, key.vkCode, m_nModifiers);
    }
    return 1;
}
