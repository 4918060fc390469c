#include "CDialog.h"

#include "CWinApp.h"

#include <iterator>

namespace {

// The window procedure does all the work; the dialog manager is told that
// nothing was handled here.
INT_PTR CALLBACK NullDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

const framework::MessageMap* CDialog::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_INITDIALOG, 0, Handler<&CDialog::HandleInitDialog>},
        {WM_COMMAND, IDOK, Handler<&CDialog::OnOK>},
        {WM_COMMAND, IDCANCEL, Handler<&CDialog::OnCancel>},
    };
    static const framework::MessageMap map{CWnd::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = false;
    // The loop may be blocked in GetMessage (a handler run for a message sent
    // from another thread does not end the wait): wake it.
    if (m_hWnd != nullptr) {
        PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
}

INT_PTR CDialog::DoModal() {
    return RunModal(Visibility::ShowWhenIdle);
}

HWND CDialog::FindOwner() const {
    if (m_pParentWnd != nullptr) {
        return m_pParentWnd->GetSafeHwnd();
    }
    const CWinApp* pApp = framework::AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd != nullptr && pApp->m_pMainWnd != this) {
        return pApp->m_pMainWnd->GetSafeHwnd();
    }
    return nullptr;
}

INT_PTR CDialog::RunModal(Visibility visibility) {
    if (m_hWnd != nullptr) {
        // Already running: one object, one window.
        return -1;
    }
    const HINSTANCE hInstance = framework::AfxGetInstanceHandle();
    const HRSRC hResource = FindResourceA(hInstance, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    const HGLOBAL hTemplate = hResource != nullptr ? LoadResource(hInstance, hResource) : nullptr;
    const auto* pTemplate =
        static_cast<const DLGTEMPLATE*>(hTemplate != nullptr ? LockResource(hTemplate) : nullptr);
    if (pTemplate == nullptr) {
        return -1;
    }

    // The owner takes no input while the dialog runs.
    const HWND hOwner = FindOwner();
    const bool bOwnerDisabled = hOwner != nullptr && IsWindowEnabled(hOwner);
    if (bOwnerDisabled) {
        EnableWindow(hOwner, FALSE);
    }

    m_bContinueModal = true;
    m_nModalResult = -1;
    HWND hWnd = nullptr;
    {
        CreateHook hook(*this);
        hWnd = CreateDialogIndirectParamA(hInstance, pTemplate, hOwner, NullDialogProc,
                                          reinterpret_cast<LPARAM>(this));
    }
    if (hWnd != nullptr && m_hWnd == nullptr) {
        // The creation hook could not be set: take the window now.
        SubclassWindow(hWnd);
    }
    if (hWnd != nullptr) {
        RunModalLoop(visibility);
        // Hide before the owner comes back, so that the owner is activated
        // rather than some other window.
        if (m_hWnd != nullptr) {
            SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        }
    }
    if (bOwnerDisabled) {
        EnableWindow(hOwner, TRUE);
        if (hWnd != nullptr && GetActiveWindow() == hWnd) {
            SetActiveWindow(hOwner);
        }
    }
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
    m_bContinueModal = false;
    return hWnd != nullptr ? m_nModalResult : -1;
}

void CDialog::RunModalLoop(Visibility visibility) {
    bool bShowPending = visibility == Visibility::ShowWhenIdle &&
                        (GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE) == 0;
    MSG msg;
    while (m_bContinueModal && m_hWnd != nullptr) {
        if (bShowPending && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            ShowWindow(m_hWnd, SW_SHOWNORMAL);
            UpdateWindow(m_hWnd);
            bShowPending = false;
        }
        const BOOL bGot = GetMessageA(&msg, nullptr, 0, 0);
        if (bGot == 0) {
            // WM_QUIT ends every loop: leave it for the outer ones.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (bGot == -1) {
            break;
        }
        if (m_hWnd == nullptr || !IsDialogMessageA(m_hWnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

bool CDialog::PaintIconIfMinimized(HICON hIcon) {
    if (!IsIconic(m_hWnd)) {
        return false;
    }
    PAINTSTRUCT ps;
    const HDC hDC = BeginPaint(m_hWnd, &ps);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    const int x = (rc.right - rc.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.bottom - rc.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(hDC, x, y, hIcon);
    EndPaint(m_hWnd, &ps);
    return true;
}
