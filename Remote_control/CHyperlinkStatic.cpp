#include "CHyperlinkStatic.h"

#include "CDC.h"
#include "MessageBox.h"

#include <commctrl.h>
#include <shellapi.h>

#include <iterator>

namespace {

const COLORREF LINK_COLOUR = RGB(0, 0, 255);
const char* const TEXT_CANNOT_OPEN =
    "\ncannot be opened. Check that it exists and that a program is set to open it.";

POINT PointFromLParam(LPARAM lParam) {
    // Signed: a captured mouse reports positions left of or above the control.
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

} // namespace

CHyperlinkStatic::CHyperlinkStatic()
    : m_hHandCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32649))), // IDC_HAND
      m_hArrowCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512))) // IDC_ARROW
{}

CHyperlinkStatic::~CHyperlinkStatic() {
    // Normally gone with the window already.
    if (m_hFont != nullptr) {
        DeleteObject(m_hFont);
    }
}

const framework::MessageMap* CHyperlinkStatic::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_LBUTTONDOWN, 0, Handler<&CHyperlinkStatic::OnLButtonDown>},
        {WM_PAINT, 0, Handler<&CHyperlinkStatic::OnPaint>},
        {WM_DESTROY, 0, Handler<&CHyperlinkStatic::OnDestroy>},
        {WM_MOUSEMOVE, 0, Handler<&CHyperlinkStatic::OnMouseMove>},
        {WM_MOUSELEAVE, 0, Handler<&CHyperlinkStatic::OnMouseLeave>},
        {WM_GETDLGCODE, 0, Handler<&CHyperlinkStatic::OnGetDlgCode>},
        {WM_KEYDOWN, 0, Handler<&CHyperlinkStatic::OnKeyDown>},
        {WM_SETFOCUS, 0, Handler<&CHyperlinkStatic::OnFocusChange>},
        {WM_KILLFOCUS, 0, Handler<&CHyperlinkStatic::OnFocusChange>},
    };
    static const framework::MessageMap map{CStatic::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

void CHyperlinkStatic::SetLinkUrl(const std::string& strUrl) {
    m_strUrl = strUrl;
}

void CHyperlinkStatic::SetLinkText(const std::string& strText) {
    m_strText = strText;
    m_bExtentValid = false;
}

bool CHyperlinkStatic::HitTest(POINT pt) const {
    return m_bExtentValid && pt.x >= 0 && pt.x < m_nExtentWidth && pt.y >= 0 &&
           pt.y < m_nExtentHeight;
}

void CHyperlinkStatic::PreSubclassWindow() {
    // A static control lets the mouse through to its parent without
    // SS_NOTIFY; a link is reached by Tab as well as by the mouse.
    const LONG nStyle = GetWindowLongA(m_hWnd, GWL_STYLE);
    SetWindowLongA(m_hWnd, GWL_STYLE, nStyle | SS_NOTIFY | WS_TABSTOP);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_strText = GetWindowText();
    m_bExtentValid = false;
    CStatic::PreSubclassWindow();
}

void CHyperlinkStatic::CreateUnderlineFont() {
    const HFONT hParentFont =
        reinterpret_cast<HFONT>(SendMessageA(GetParent(m_hWnd), WM_GETFONT, 0, 0));
    if (hParentFont == nullptr) {
        return;
    }
    LOGFONTA lf;
    if (GetObjectA(hParentFont, sizeof(lf), &lf) == 0) {
        return;
    }
    lf.lfUnderline = TRUE;
    m_hFont = CreateFontIndirectA(&lf);
    m_bFontCreated = m_hFont != nullptr;
}

void CHyperlinkStatic::UpdateTextExtent() {
    if (m_bExtentValid || !m_bFontCreated) {
        return;
    }
    const HDC hDC = GetDC(m_hWnd);
    if (hDC == nullptr) {
        return;
    }
    CDC dc;
    dc.Attach(hDC);
    const HGDIOBJ hOldFont = dc.SelectObject(m_hFont);
    const SIZE size = dc.GetTextExtent(m_strText);
    dc.SelectObject(hOldFont);
    dc.Detach();
    ReleaseDC(m_hWnd, hDC);
    m_nExtentWidth = size.cx;
    m_nExtentHeight = size.cy;
    m_bExtentValid = true;
}

void CHyperlinkStatic::OnPaint() {
    if (!m_bFontCreated) {
        CreateUnderlineFont();
    }
    PAINTSTRUCT ps;
    const HDC hDC = BeginPaint(m_hWnd, &ps);
    if (hDC != nullptr) {
        CDC dc;
        dc.Attach(hDC);
        // Without a font of the parent's, the context's own font draws it.
        const HGDIOBJ hOldFont = m_bFontCreated ? dc.SelectObject(m_hFont) : nullptr;
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(LINK_COLOUR);
        dc.TextOut(0, 0, m_strText);
        if (hOldFont != nullptr) {
            dc.SelectObject(hOldFont);
        }
        dc.Detach();
        if (GetFocus() == m_hWnd) {
            DrawFocus(hDC);
        }
    }
    EndPaint(m_hWnd, &ps);
}

void CHyperlinkStatic::DrawFocus(HDC hDC) {
    UpdateTextExtent();
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    RECT rcFocus = rcClient;
    if (m_bExtentValid) {
        // One pixel beyond the text on the right and below, within the control.
        rcFocus.right = m_nExtentWidth + 1 < rcClient.right ? m_nExtentWidth + 1 : rcClient.right;
        rcFocus.bottom =
            m_nExtentHeight + 1 < rcClient.bottom ? m_nExtentHeight + 1 : rcClient.bottom;
    }
    DrawFocusRect(hDC, &rcFocus);
}

LRESULT CHyperlinkStatic::OnMouseMove(WPARAM, LPARAM lParam) {
    if (!m_bTracking) {
        // The cursor is set from the next move on, once the leave is promised.
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        _TrackMouseEvent(&tme);
        m_bTracking = true;
    } else {
        UpdateTextExtent();
        SetCursor(HitTest(PointFromLParam(lParam)) ? m_hHandCursor : m_hArrowCursor);
    }
    return Default();
}

LRESULT CHyperlinkStatic::OnMouseLeave(WPARAM, LPARAM) {
    m_bTracking = false;
    SetCursor(m_hArrowCursor);
    return 0;
}

LRESULT CHyperlinkStatic::OnLButtonDown(WPARAM, LPARAM lParam) {
    UpdateTextExtent();
    if (HitTest(PointFromLParam(lParam))) {
        OpenLink();
    }
    return Default();
}

void CHyperlinkStatic::OpenLink() {
    // An empty target would make the shell open the current folder.
    if (m_strUrl.empty()) {
        return;
    }
    const auto nResult = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", m_strUrl.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values up to 32 are the shell's errors: a click that does nothing
    // would leave the user guessing.
    if (nResult <= 32) {
        framework::ShowMessageBox(GetParent(m_hWnd), (m_strUrl + TEXT_CANNOT_OPEN).c_str(),
                                  framework::AppTitle().c_str(), MB_OK | MB_ICONEXCLAMATION);
    }
}

LRESULT CHyperlinkStatic::OnGetDlgCode(WPARAM, LPARAM lParam) {
    // Enter is the link's own while it has the focus, not the default button's.
    const auto* pMsg = reinterpret_cast<const MSG*>(lParam);
    if (pMsg != nullptr && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN) {
        return Default() | DLGC_WANTMESSAGE;
    }
    return Default();
}

LRESULT CHyperlinkStatic::OnKeyDown(WPARAM wParam, LPARAM lParam) {
    // Once per press: the repeats of a held key open nothing more.
    const bool bRepeat = (lParam & (1L << 30)) != 0;
    if ((wParam == VK_RETURN || wParam == VK_SPACE) && !bRepeat) {
        OpenLink();
        return 0;
    }
    return Default();
}

LRESULT CHyperlinkStatic::OnFocusChange(WPARAM, LPARAM) {
    // The focus rectangle comes and goes with the next paint.
    InvalidateRect(m_hWnd, nullptr, TRUE);
    return Default();
}

void CHyperlinkStatic::OnDestroy() {
    Default();
    if (m_hFont != nullptr) {
        DeleteObject(m_hFont);
        m_hFont = nullptr;
    }
    m_bFontCreated = false;
    m_bExtentValid = false;
    // The leave notification dies with the window; the next window of this
    // object must request its own.
    m_bTracking = false;
}
