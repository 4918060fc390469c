#include "CActionNote.h"

#include "Settings.h"
#include "WideText.h"
#include "WindowDpi.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// The window class, as WINDOW_CLASS.
const wchar_t* const CLASS_NAME = L"KV480ActionNote";
// Lengths at 96 DPI.
const int FONT_HEIGHT = 22;
const int PADDING = 12;
const int BOTTOM_GAP = 64;
const BYTE OPACITY = 230;
const COLORREF BACKGROUND = RGB(32, 32, 32);
const COLORREF FOREGROUND = RGB(255, 255, 255);

} // namespace

CActionNote::~CActionNote() {
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
    if (m_hFont != nullptr) {
        DeleteObject(m_hFont);
    }
}

bool CActionNote::IsWanted() {
    DWORD dwValue = 0;
    DWORD dwSize = sizeof(dwValue);
    return RegGetValueA(HKEY_CURRENT_USER, settings::USER_KEY, settings::VALUE_SHOW_ACTIONS,
                        RRF_RT_REG_DWORD, nullptr, &dwValue, &dwSize) == ERROR_SUCCESS &&
           dwValue == 1;
}

bool CActionNote::IsUserBusy() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (FAILED(SHQueryUserNotificationState(&state))) {
        return false;
    }
    return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN ||
           state == QUNS_PRESENTATION_MODE;
}

bool CActionNote::Create() {
    if (m_hWnd != nullptr) {
        return true;
    }
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    if (!GetClassInfoW(hInstance, CLASS_NAME, &windowClass)) {
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = hInstance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = CLASS_NAME;
        if (RegisterClassW(&windowClass) == 0) {
            return false;
        }
    }
    // Never activated, clicks go through to what lies below, above other
    // windows, and not on the taskbar.
    m_hWnd = CreateWindowExW(
        WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
        CLASS_NAME, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, hInstance, this);
    if (m_hWnd == nullptr) {
        return false;
    }
    SetLayeredWindowAttributes(m_hWnd, 0, OPACITY, LWA_ALPHA);
    return true;
}

void CActionNote::Show(const std::string& strText, HWND hForeground) {
    if (IsUserBusy() || !Create()) {
        return;
    }
    m_strText = widetext::Widen(strText);
    SetWindowTextW(m_hWnd, m_strText.c_str());

    const HMONITOR hMonitor = hForeground != nullptr
                                  ? MonitorFromWindow(hForeground, MONITOR_DEFAULTTOPRIMARY)
                                  : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof(monitor));
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(hMonitor, &monitor)) {
        return;
    }
    // Placed on that monitor first: this program is aware of each monitor's
    // DPI, so its own window then reads the monitor's, whatever the window in
    // front reports.
    SetWindowPos(m_hWnd, nullptr, monitor.rcWork.left, monitor.rcWork.top, 1, 1,
                 SWP_NOACTIVATE | SWP_NOZORDER);
    const UINT nDpi = framework::GetWindowDpi(m_hWnd);
    if (m_hFont == nullptr || nDpi != m_nFontDpi) {
        if (m_hFont != nullptr) {
            DeleteObject(m_hFont);
        }
        m_hFont = CreateFontW(-MulDiv(FONT_HEIGHT, static_cast<int>(nDpi), 96), 0, 0, 0,
                              FW_SEMIBOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
        m_nFontDpi = nDpi;
    }
    RECT text = {0, 0, 0, 0};
    const HDC hDC = GetDC(m_hWnd);
    const HGDIOBJ hOld = SelectObject(hDC, m_hFont);
    DrawTextW(hDC, m_strText.c_str(), static_cast<int>(m_strText.size()), &text,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(hDC, hOld);
    ReleaseDC(m_hWnd, hDC);

    const int nPadding = MulDiv(PADDING, static_cast<int>(nDpi), 96);
    const RECT& work = monitor.rcWork;
    const int nWidth = (std::min)(static_cast<int>(text.right) + 2 * nPadding,
                                  static_cast<int>(work.right - work.left));
    const int nHeight = text.bottom + 2 * nPadding;
    const int nX = work.left + (work.right - work.left - nWidth) / 2;
    const int nY = work.bottom - nHeight - MulDiv(BOTTOM_GAP, static_cast<int>(nDpi), 96);
    SetWindowPos(m_hWnd, HWND_TOPMOST, nX, nY, nWidth, nHeight, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(m_hWnd, nullptr, TRUE);
    SetTimer(m_hWnd, HIDE_TIMER_ID, SHOW_TIME_MS, nullptr);
}

void CActionNote::Paint() {
    PAINTSTRUCT paint;
    const HDC hDC = BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(m_hWnd, &client);
    const HBRUSH hBrush = CreateSolidBrush(BACKGROUND);
    FillRect(hDC, &client, hBrush);
    DeleteObject(hBrush);
    const HGDIOBJ hOld = SelectObject(hDC, m_hFont);
    SetBkMode(hDC, TRANSPARENT);
    SetTextColor(hDC, FOREGROUND);
    DrawTextW(hDC, m_strText.c_str(), static_cast<int>(m_strText.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(hDC, hOld);
    EndPaint(m_hWnd, &paint);
}

LRESULT CALLBACK CActionNote::WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_NCCREATE) {
        const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pNote = reinterpret_cast<CActionNote*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (nMessage) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_TIMER:
        if (wParam == HIDE_TIMER_ID) {
            KillTimer(hWnd, HIDE_TIMER_ID);
            ShowWindow(hWnd, SW_HIDE);
            return 0;
        }
        break;
    case WM_PAINT:
        if (pNote != nullptr) {
            pNote->Paint();
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hWnd, nMessage, wParam, lParam);
}
