#include "CFinderTool.h"

#include "EditorMessages.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>

const framework::MessageMap* CFinderTool::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_LBUTTONDOWN, 0, Handler<&CFinderTool::OnLButtonDown>},
        {WM_LBUTTONUP, 0, Handler<&CFinderTool::OnLButtonUp>},
        {WM_CAPTURECHANGED, 0, Handler<&CFinderTool::OnCaptureChanged>},
        {WM_PAINT, 0, Handler<&CFinderTool::OnPaint>},
    };
    static const framework::MessageMap map{nullptr, entries, std::size(entries)};
    return &map;
}

LRESULT CFinderTool::OnLButtonDown(WPARAM, LPARAM) {
    SetCapture(m_hWnd);
    m_bDragging = true;
    SetCursor(LoadCursorA(nullptr, IDC_CROSS));
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CFinderTool::OnLButtonUp(WPARAM, LPARAM lParam) {
    if (!m_bDragging) {
        return 0;
    }
    m_bDragging = false;
    ReleaseCapture();
    // Where the button went up, not where the pointer is by now; signed, as
    // a monitor left of or above the main one has negative coordinates.
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(m_hWnd, &pt);
    const HWND hUnder = WindowFromPoint(pt);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hUnder, &dwProcess);
    // Let go over the editor itself: nothing was pointed at.
    if (hUnder != nullptr && dwProcess != GetCurrentProcessId()) {
        PostMessageA(GetParent(m_hWnd), WM_FINDER_DROPPED, reinterpret_cast<WPARAM>(hUnder), 0);
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CFinderTool::OnCaptureChanged(WPARAM, LPARAM) {
    m_bDragging = false;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

void CFinderTool::OnPaint() {
    PAINTSTRUCT ps;
    const HDC hDC = BeginPaint(m_hWnd, &ps);
    if (hDC != nullptr) {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        FillRect(hDC, &rc, GetSysColorBrush(COLOR_BTNFACE));
        // While it is dragged the tool is in the pointer, not here.
        if (!m_bDragging) {
            const int cx = (rc.left + rc.right) / 2;
            const int cy = (rc.top + rc.bottom) / 2;
            const int r = std::min(rc.right - rc.left, rc.bottom - rc.top) * 3 / 8;
            const HGDIOBJ hOldBrush = SelectObject(hDC, GetStockObject(HOLLOW_BRUSH));
            const HGDIOBJ hOldPen = SelectObject(hDC, GetStockObject(BLACK_PEN));
            Ellipse(hDC, cx - r, cy - r, cx + r + 1, cy + r + 1);
            MoveToEx(hDC, cx, cy - r - 2, nullptr);
            LineTo(hDC, cx, cy + r + 3);
            MoveToEx(hDC, cx - r - 2, cy, nullptr);
            LineTo(hDC, cx + r + 3, cy);
            SelectObject(hDC, hOldPen);
            SelectObject(hDC, hOldBrush);
        }
        if (GetFocus() == m_hWnd) {
            DrawFocusRect(hDC, &rc);
        }
    }
    EndPaint(m_hWnd, &ps);
}
