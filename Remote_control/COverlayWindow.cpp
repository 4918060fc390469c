#include "COverlayWindow.h"

#include "WindowDpi.h"

#include <iterator>

namespace {

// Posted by Wake.
const UINT WM_OVERLAY_WAKE = WM_APP + 0x2F0;

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

UINT MonitorDpi(HMONITOR hMonitor) {
    // shcore's, from Windows 8.1 on; the system DPI before.
    static const auto pGetDpiForMonitor = [] {
        const HMODULE hShcore = LoadLibraryW(L"shcore.dll");
        return hShcore == nullptr
                   ? nullptr
                   : reinterpret_cast<GetDpiForMonitorFn>(
                         reinterpret_cast<void (*)()>(GetProcAddress(hShcore, "GetDpiForMonitor")));
    }();
    UINT nX = 0;
    UINT nY = 0;
    if (pGetDpiForMonitor != nullptr && SUCCEEDED(pGetDpiForMonitor(hMonitor, 0, &nX, &nY)) &&
        nX != 0) {
        return nX;
    }
    return framework::GetWindowDpi(nullptr);
}

} // namespace

COverlayWindow::~COverlayWindow() {
    if (m_hWnd != nullptr) {
        DestroyWindow(m_hWnd);
    }
}

bool COverlayWindow::Create(const wchar_t* pszClass, bool bClickThrough, HBRUSH hBackground) {
    if (m_hWnd != nullptr) {
        return true;
    }
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    if (!GetClassInfoW(hInstance, pszClass, &windowClass)) {
        // The object takes the window over as it is created (CreateHook).
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = hInstance;
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = hBackground;
        windowClass.lpszClassName = pszClass;
        if (RegisterClassW(&windowClass) == 0) {
            return false;
        }
    }
    m_bClickThrough = bClickThrough;
    const DWORD dwExStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED |
                            (bClickThrough ? WS_EX_TRANSPARENT : 0);
    HWND hWnd = nullptr;
    {
        CreateHook hook(*this);
        hWnd = CreateWindowExW(dwExStyle, pszClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               hInstance, nullptr);
    }
    if (hWnd != nullptr && m_hWnd != hWnd) {
        // Not taken over: of no use to this object.
        DestroyWindow(hWnd);
        return false;
    }
    return hWnd != nullptr;
}

void COverlayWindow::ShowAt(const RECT& place) {
    if (m_hWnd != nullptr) {
        SetWindowPos(m_hWnd, HWND_TOPMOST, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void COverlayWindow::Hide() {
    if (m_hWnd != nullptr) {
        ShowWindow(m_hWnd, SW_HIDE);
    }
}

void COverlayWindow::SetOpacity(BYTE nAlpha) {
    if (m_hWnd != nullptr) {
        SetLayeredWindowAttributes(m_hWnd, 0, nAlpha, LWA_ALPHA);
    }
}

void COverlayWindow::SetText(const std::wstring& strText) {
    // Straight to the default procedure in UTF-16: the object's procedure is
    // an ANSI one, which would narrow the text to the code page.
    if (m_hWnd != nullptr) {
        DefWindowProcW(m_hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(strText.c_str()));
    }
}

void COverlayWindow::SetPainter(std::function<void(HDC, const RECT&)> painter) {
    m_painter = std::move(painter);
}

void COverlayWindow::Wake() {
    if (m_hWnd != nullptr && !m_bWakePosted.exchange(true)) {
        if (!PostMessageW(m_hWnd, WM_OVERLAY_WAKE, 0, 0)) {
            m_bWakePosted = false;
        }
    }
}

UINT COverlayWindow::Dpi() const {
    return framework::GetWindowDpi(m_hWnd);
}

bool COverlayWindow::MonitorAt(POINT point, RECT& monitor, UINT& nDpi) {
    const HMONITOR hMonitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(hMonitor, &info)) {
        return false;
    }
    monitor = info.rcMonitor;
    nDpi = MonitorDpi(hMonitor);
    return true;
}

const framework::MessageMap* COverlayWindow::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_NCHITTEST, 0, Handler<&COverlayWindow::OnNcHitTest>},
        {WM_MOUSEACTIVATE, 0, Handler<&COverlayWindow::OnMouseActivate>},
        {WM_DPICHANGED, 0, Handler<&COverlayWindow::OnDpiChangedMessage>},
        {WM_PAINT, 0, Handler<&COverlayWindow::OnPaint>},
        {WM_ERASEBKGND, 0, Handler<&COverlayWindow::OnEraseBackground>},
        {WM_OVERLAY_WAKE, 0, Handler<&COverlayWindow::OnWake>},
    };
    static const framework::MessageMap map{nullptr, entries, std::size(entries)};
    return &map;
}

LRESULT COverlayWindow::OnNcHitTest(WPARAM, LPARAM) {
    return m_bClickThrough ? HTTRANSPARENT : Default();
}

LRESULT COverlayWindow::OnMouseActivate(WPARAM, LPARAM) {
    return MA_NOACTIVATE;
}

LRESULT COverlayWindow::OnDpiChangedMessage(WPARAM wParam, LPARAM) {
    // The owner places its overlays itself: the suggested rectangle is not
    // taken, the owner redraws at the new DPI instead.
    OnDpiChanged(LOWORD(wParam));
    return 0;
}

LRESULT COverlayWindow::OnPaint(WPARAM, LPARAM) {
    if (!m_painter) {
        return Default();
    }
    PAINTSTRUCT paint;
    const HDC hDC = BeginPaint(m_hWnd, &paint);
    RECT client;
    GetClientRect(m_hWnd, &client);
    m_painter(hDC, client);
    EndPaint(m_hWnd, &paint);
    return 0;
}

LRESULT COverlayWindow::OnEraseBackground(WPARAM, LPARAM) {
    // A painter covers the whole window: no flash of the background first.
    return m_painter ? 1 : Default();
}

LRESULT COverlayWindow::OnWake(WPARAM, LPARAM) {
    m_bWakePosted = false;
    if (m_onWake) {
        m_onWake();
    }
    return 0;
}
