#include "CDlgTest.h"

#include "CDC.h"
#include "CMemDC.h"
#include "CReg.h"
#include "DpiScale.h"
#include "RcMessages.h"
#include "RemoteKeyLayout.h"
#include "Settings.h"
#include "WindowDpi.h"
#include "resource.h"

#include <iterator>

namespace {

const COLORREF BACKGROUND_COLOUR = RGB(209, 209, 209);
const COLORREF MARK_COLOUR = RGB(250, 0, 0);
const int MARK_PEN_WIDTH = 3;
const int RC_ZELMAR_OVI = static_cast<int>(settings::RC_TYPE_ZELMAR_OVI);

// Outer window size per remote control at 96 DPI; the picture is centred in
// the client area, whatever the frame takes. At other DPIs the margin around
// the picture grows with it.
const int WINDOW_WIDTH_VEKO = 100;
const int WINDOW_WIDTH_ZELMAR_OVI = 160;
const int WINDOW_HEIGHT = 300;

// The picture of each remote control at 1x, 1.5x and 2x.
const UINT PICTURES_VEKO[dpi::PICTURE_SCALES] = {IDB_REMOTE_VEKO, IDB_REMOTE_VEKO_150,
                                                 IDB_REMOTE_VEKO_200};
const UINT PICTURES_ZELMAR_OVI[dpi::PICTURE_SCALES] = {
    IDB_REMOTE_ZELMAR_OVI, IDB_REMOTE_ZELMAR_OVI_150, IDB_REMOTE_ZELMAR_OVI_200};

UINT PictureResource(int nRcType, int nHalves) {
    const UINT* pPictures = nRcType == RC_ZELMAR_OVI ? PICTURES_ZELMAR_OVI : PICTURES_VEKO;
    return pPictures[dpi::PictureIndex(nHalves)];
}

} // namespace

CDlgTest::CDlgTest(CWnd* pParentWnd)
    : CDialog(IDD_TEST_DIALOG, pParentWnd), m_brBackground(CreateSolidBrush(BACKGROUND_COLOUR)) {}

CDlgTest::~CDlgTest() {
    if (m_brBackground != nullptr) {
        DeleteObject(m_brBackground);
    }
}

const framework::MessageMap* CDlgTest::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CDlgTest::OnPaint>},
        {WM_ERASEBKGND, 0, Handler<&CDlgTest::OnEraseBkgnd>},
        {WM_RC_TESTKEY, 0, Handler<&CDlgTest::OnTestKey>},
        {WM_TIMER, 0, Handler<&CDlgTest::OnTimer>},
        {WM_DPICHANGED, 0, Handler<&CDlgTest::OnDpiChanged>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

BOOL CDlgTest::OnInitDialog() {
    CDialog::OnInitDialog();

    // The type is fixed at the first opening: the resident program reads its
    // settings once. Only the scale of its picture follows the display.
    if (m_nPictureHalves == 0) {
        const CReg reg;
        DWORD dwType = 0;
        if (reg.ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_RC_TYPE,
                          &dwType) == CReg::RESULT_OK) {
            m_nRcType = static_cast<int>(dwType);
        }
    }
    const UINT nDpi = framework::GetWindowDpi(m_hWnd);
    LoadPictureForDpi(nDpi);

    const SIZE size = WindowSizeForDpi(nDpi);
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rcDesktop;
    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    SetWindowPos(m_hWnd, nullptr, rcDesktop.left + (rcDesktop.right - rcDesktop.left - size.cx) / 2,
                 rcDesktop.top + (rcDesktop.bottom - rcDesktop.top - size.cy) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

void CDlgTest::LoadPictureForDpi(UINT nDpi) {
    const int nHalves = dpi::PictureHalves(static_cast<int>(nDpi));
    if (nHalves == m_nPictureHalves) {
        return;
    }
    m_bmpRemote.DeleteObject();
    // Without the scaled picture the 1x one still shows every key.
    if (!m_bmpRemote.LoadBitmap(PictureResource(m_nRcType, nHalves))) {
        m_bmpRemote.LoadBitmap(PictureResource(m_nRcType, dpi::HALVES_1X));
        m_nPictureHalves = dpi::HALVES_1X;
        return;
    }
    m_nPictureHalves = nHalves;
}

SIZE CDlgTest::WindowSizeForDpi(UINT nDpi) const {
    const DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
    const SIZE frame = framework::GetFrameSizeForDpi(dwStyle, dwExStyle, nDpi);
    const SIZE frameAtBase = framework::GetFrameSizeForDpi(dwStyle, dwExStyle, dpi::BASE_DPI);
    BITMAP bm{};
    m_bmpRemote.GetBitmap(&bm);
    const int nWidth = m_nRcType == RC_ZELMAR_OVI ? WINDOW_WIDTH_ZELMAR_OVI : WINDOW_WIDTH_VEKO;
    const dpi::Size size =
        dpi::WindowSizeForPicture({bm.bmWidth, bm.bmHeight}, m_nPictureHalves, {frame.cx, frame.cy},
                                  {nWidth, WINDOW_HEIGHT}, {frameAtBase.cx, frameAtBase.cy});
    return SIZE{size.cx, size.cy};
}

LRESULT CDlgTest::OnDpiChanged(WPARAM, LPARAM) {
    // Moved to a monitor of another scale: the picture drawn for it, and the
    // window resized around its centre, which keeps it on that monitor. The
    // window's own DPI is asked for: the message's values could come from
    // any process.
    const UINT nDpi = framework::GetWindowDpi(m_hWnd);
    LoadPictureForDpi(nDpi);
    const SIZE size = WindowSizeForDpi(nDpi);
    RECT rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    SetWindowPos(m_hWnd, nullptr, (rcWindow.left + rcWindow.right - size.cx) / 2,
                 (rcWindow.top + rcWindow.bottom - size.cy) / 2, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(m_hWnd, nullptr, FALSE);
    return 0;
}

LRESULT CDlgTest::OnEraseBkgnd(WPARAM, LPARAM) {
    // The picture covers the whole client area.
    return 1;
}

LRESULT CDlgTest::OnTestKey(WPARAM wParam, LPARAM lParam) {
    // Any process can post this message number: a key or flag out of range
    // would index past the lamps.
    if (wParam < static_cast<WPARAM>(FIRST_KEY) || wParam > static_cast<WPARAM>(LAST_KEY) ||
        (lParam != 0 && lParam != 1)) {
        return 0;
    }
    const int nKey = static_cast<int>(wParam);
    if (lParam == 0) {
        // A new press means the key held until now is up: its lamp must not
        // stay lit in whatever phase the blinking left it.
        KillTimer(m_hWnd, BLINK_TIMER);
        if (IsKey(m_nBlinkKey) && m_nBlinkKey != nKey) {
            m_lamps[m_nBlinkKey] = 0;
        }
        m_nBlinkKey = -1;
        m_lamps[nKey] = 1;
        Redraw();
        SetTimer(m_hWnd, static_cast<UINT_PTR>(nKey), LAMP_MS, nullptr);
        return 1;
    }
    if (nKey != m_nBlinkKey) {
        if (IsKey(m_nBlinkKey)) {
            m_lamps[m_nBlinkKey] = 0;
        }
        m_nBlinkKey = nKey;
        Redraw();
        SetTimer(m_hWnd, BLINK_TIMER, BLINK_MS, nullptr);
    }
    // Restarted by every repeat: the key counts as released when they stop.
    SetTimer(m_hWnd, RELEASE_TIMER, RELEASE_MS, nullptr);
    return 1;
}

LRESULT CDlgTest::OnTimer(WPARAM wParam, LPARAM) {
    const UINT_PTR nId = wParam;
    if (nId == BLINK_TIMER) {
        KillTimer(m_hWnd, BLINK_TIMER);
        // Only a blinking key keeps the timer going; a stray tick has none.
        if (IsKey(m_nBlinkKey)) {
            m_lamps[m_nBlinkKey] = !m_lamps[m_nBlinkKey];
            Redraw();
            SetTimer(m_hWnd, BLINK_TIMER, BLINK_MS, nullptr);
        }
    } else if (nId == RELEASE_TIMER) {
        KillTimer(m_hWnd, RELEASE_TIMER);
        if (IsKey(m_nBlinkKey)) {
            m_lamps[m_nBlinkKey] = 0;
        }
        m_nBlinkKey = -1;
        KillTimer(m_hWnd, BLINK_TIMER);
        Redraw();
    } else if (nId >= static_cast<UINT_PTR>(FIRST_KEY) && nId <= static_cast<UINT_PTR>(LAST_KEY)) {
        KillTimer(m_hWnd, nId);
        m_lamps[nId] = 0;
        Redraw();
    }
    return Default();
}

void CDlgTest::OnPaint() {
    PAINTSTRUCT ps;
    const HDC hDC = BeginPaint(m_hWnd, &ps);
    if (hDC != nullptr) {
        CDC dc;
        dc.Attach(hDC);
        {
            CMemDC memDC(dc);
            DrawPicture(memDC);
        }
        dc.Detach();
    }
    EndPaint(m_hWnd, &ps);
}

void CDlgTest::Redraw() {
    if (m_hWnd == nullptr) {
        return;
    }
    const HDC hDC = GetDC(m_hWnd);
    if (hDC == nullptr) {
        return;
    }
    CDC dc;
    dc.Attach(hDC);
    {
        CMemDC memDC(dc);
        DrawPicture(memDC);
    }
    dc.Detach();
    ReleaseDC(m_hWnd, hDC);
}

void CDlgTest::DrawPicture(CDC& dc) {
    if (!IsWindowVisible(m_hWnd)) {
        return;
    }
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    const int cx = (rcClient.left + rcClient.right) / 2;
    const int cy = (rcClient.top + rcClient.bottom) / 2;
    dc.FillRect(rcClient, m_brBackground);

    BITMAP bm;
    if (m_bmpRemote.GetBitmap(&bm)) {
        CDC picture;
        if (picture.CreateCompatibleDC(&dc)) {
            const HGDIOBJ hOld = picture.SelectObject(m_bmpRemote.GetSafeHandle());
            dc.BitBlt(cx - bm.bmWidth / 2, cy - bm.bmHeight / 2, bm.bmWidth, bm.bmHeight, &picture,
                      0, 0, SRCCOPY);
            picture.SelectObject(hOld);
        }
    }

    // Outlines only, so the key stays visible under its mark.
    const HPEN hPen =
        CreatePen(PS_SOLID, dpi::ScaleByHalves(MARK_PEN_WIDTH, MarkHalves()), MARK_COLOUR);
    const HGDIOBJ hOldPen = dc.SelectObject(hPen);
    const HGDIOBJ hOldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    for (int nKey = FIRST_KEY; nKey <= LAST_KEY; ++nKey) {
        if (m_lamps[nKey]) {
            DrawMark(dc, nKey, cx, cy);
        }
    }
    dc.SelectObject(hOldBrush);
    dc.SelectObject(hOldPen);
    if (hPen != nullptr) {
        DeleteObject(hPen);
    }
}

void CDlgTest::DrawMark(CDC& dc, int nKey, int cx, int cy) {
    // A key of the other remote control has no place on this picture.
    const remote_layout::KeyMark* pMark = remote_layout::FindMark(m_nRcType, nKey);
    if (pMark == nullptr) {
        return;
    }
    // The marks grow with the picture, around the same centre.
    const int nHalves = MarkHalves();
    const remote_layout::Rect scaled = remote_layout::ScaledRect(*pMark, cx, cy, nHalves);
    const RECT rc{scaled.nLeft, scaled.nTop, scaled.nRight, scaled.nBottom};
    if (pMark->shape == remote_layout::Shape::Ellipse) {
        dc.Ellipse(rc);
    } else {
        const int nCorner = dpi::ScaleByHalves(pMark->nCorner, nHalves);
        dc.RoundRect(rc, nCorner, nCorner);
    }
}
