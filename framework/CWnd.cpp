#include "CWnd.h"

namespace {

// The window property that leads from a window to its object.
const char* const OBJECT_PROPERTY = "framework.CWnd";

// The object waiting for its window to be created (CWnd::CreateHook).
thread_local CWnd* t_pCreating = nullptr;

} // namespace

CWnd::~CWnd() {
    // An object that dies before its window must not be called any more.
    if (m_hWnd != nullptr) {
        Detach();
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    return static_cast<CWnd*>(GetPropA(hWnd, OBJECT_PROPERTY));
}

bool CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || hWnd == nullptr || FromHandlePermanent(hWnd) != nullptr) {
        return false;
    }
    if (!SetPropA(hWnd, OBJECT_PROPERTY, this)) {
        return false;
    }
    m_hWnd = hWnd;
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
    return true;
}

void CWnd::Detach() {
    if (m_pfnSuper != nullptr &&
        GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)) {
        SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    RemovePropA(m_hWnd, OBJECT_PROPERTY);
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

const framework::MessageMap* CWnd::GetMessageMap() const {
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    framework::MessageTarget* pTarget = this;
    const framework::MessageMapEntry* pEntry =
        framework::FindMessageEntry(GetMessageMap(), pTarget, nMessage, wParam);
    if (pEntry != nullptr) {
        return pEntry->pfnHandler(*pTarget, wParam, lParam);
    }
    return DefWindowProc(nMessage, wParam, lParam);
}

LRESULT CWnd::DefWindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) {
        return CallWindowProcA(m_pfnSuper, m_hWnd, nMessage, wParam, lParam);
    }
    return ::DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_current.nMessage, m_current.wParam, m_current.lParam);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr) {
        return ::DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
    // Handlers may send messages to their own window: keep the outer one for
    // its Default().
    const CurrentMessage outer = pWnd->m_current;
    pWnd->m_current = CurrentMessage{nMessage, wParam, lParam};
    const LRESULT lResult = pWnd->WindowProc(nMessage, wParam, lParam);
    pWnd->m_current = outer;
    if (nMessage == WM_NCDESTROY) {
        pWnd->Detach();
        pWnd->PostNcDestroy();
    }
    return lResult;
}

LRESULT CALLBACK CWnd::CbtHookProc(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HCBT_CREATEWND && t_pCreating != nullptr) {
        CWnd* pWnd = t_pCreating;
        t_pCreating = nullptr;
        pWnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

CWnd::CreateHook::CreateHook(CWnd& wnd)
    : m_pPrevious(t_pCreating),
      m_hHook(SetWindowsHookExA(WH_CBT, &CWnd::CbtHookProc, nullptr, GetCurrentThreadId())) {
    t_pCreating = &wnd;
}

CWnd::CreateHook::~CreateHook() {
    if (m_hHook != nullptr) {
        UnhookWindowsHookEx(m_hHook);
    }
    t_pCreating = m_pPrevious;
}
