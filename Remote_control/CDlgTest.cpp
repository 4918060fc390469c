#include "CDlgTest.h"

#include "CDC.h"
#include "CMemDC.h"
#include "CReg.h"
#include "DpiScale.h"
#include "RcMessages.h"
#include "Settings.h"
#include "WideText.h"
#include "WindowDpi.h"
#include "resource.h"

#include <iterator>

namespace {

// Outlines only, so the key stays visible under its mark.
const CRemotePicture::Pen MARK_PEN{RGB(250, 0, 0), 3};
const int RC_ZELMAR_OVI = static_cast<int>(settings::RC_TYPE_ZELMAR_OVI);

// Outer window size per remote control at 96 DPI; the picture is centred in
// the client area, whatever the frame takes. At other DPIs the margin around
// the picture grows with it.
const int WINDOW_WIDTH_VEKO = 100;
const int WINDOW_WIDTH_ZELMAR_OVI = 160;
const int WINDOW_HEIGHT = 300;

} // namespace

CDlgTest::CDlgTest(CDeadlineClock& clock, CWnd* pParentWnd)
    : CDialog(IDD_TEST_DIALOG, pParentWnd), m_clock(clock),
      m_lampTimer(clock, [this] { LampsDue(); }), m_blinkTimer(clock, [this] { BlinkDue(); }) {}

CDlgTest::~CDlgTest() = default;

const framework::MessageMap* CDlgTest::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CDlgTest::OnPaint>},
        {WM_ERASEBKGND, 0, Handler<&CDlgTest::OnEraseBkgnd>},
        {WM_RC_TESTKEY, 0, Handler<&CDlgTest::OnTestKey>},
        {WM_RC_TESTRELEASE, 0, Handler<&CDlgTest::OnTestRelease>},
        {WM_DPICHANGED, 0, Handler<&CDlgTest::OnDpiChanged>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

void CDlgTest::KeyEvent(int nKey, int nRepeat) {
    if (m_hWnd != nullptr) {
        PostMessageA(m_hWnd, WM_RC_TESTKEY, static_cast<WPARAM>(nKey), nRepeat);
    }
}

void CDlgTest::KeyRelease(int nKey) {
    if (m_hWnd != nullptr) {
        PostMessageA(m_hWnd, WM_RC_TESTRELEASE, static_cast<WPARAM>(nKey), 0);
    }
}

BOOL CDlgTest::OnInitDialog() {
    CDialog::OnInitDialog();

    // The type is fixed at the first opening: the resident program reads its
    // settings once. Only the scale of its picture follows the display.
    if (!m_picture.IsLoaded()) {
        const CReg reg;
        DWORD dwType = 0;
        if (reg.ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_RC_TYPE,
                          &dwType) == CReg::RESULT_OK) {
            m_nRcType = static_cast<int>(dwType);
        }
    }
    const UINT nDpi = framework::GetWindowDpi(m_hWnd);
    m_picture.Load(m_nRcType, nDpi);

    const SIZE size = WindowSizeForDpi(nDpi);
    SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT rcDesktop;
    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    SetWindowPos(m_hWnd, nullptr, rcDesktop.left + (rcDesktop.right - rcDesktop.left - size.cx) / 2,
                 rcDesktop.top + (rcDesktop.bottom - rcDesktop.top - size.cy) / 2, 0, 0,
                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    return TRUE;
}

SIZE CDlgTest::WindowSizeForDpi(UINT nDpi) const {
    const DWORD dwStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE));
    const DWORD dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE));
    const SIZE frame = framework::GetFrameSizeForDpi(dwStyle, dwExStyle, nDpi);
    const SIZE frameAtBase = framework::GetFrameSizeForDpi(dwStyle, dwExStyle, dpi::BASE_DPI);
    const SIZE picture = m_picture.GetSize();
    const int nWidth = m_nRcType == RC_ZELMAR_OVI ? WINDOW_WIDTH_ZELMAR_OVI : WINDOW_WIDTH_VEKO;
    const dpi::Size size = dpi::WindowSizeForPicture(
        {picture.cx, picture.cy}, m_picture.GetHalves(), {frame.cx, frame.cy},
        {nWidth, WINDOW_HEIGHT}, {frameAtBase.cx, frameAtBase.cy});
    return SIZE{size.cx, size.cy};
}

LRESULT CDlgTest::OnDpiChanged(WPARAM, LPARAM) {
    // Moved to a monitor of another scale: the picture drawn for it, and the
    // window resized around its centre, which keeps it on that monitor. The
    // window's own DPI is asked for: the message's values could come from
    // any process.
    const UINT nDpi = framework::GetWindowDpi(m_hWnd);
    m_picture.Load(m_nRcType, nDpi);
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
        m_blinkTimer.Cancel();
        if (IsKey(m_nBlinkKey) && m_nBlinkKey != nKey) {
            m_lamps[m_nBlinkKey] = false;
        }
        m_nBlinkKey = -1;
        m_lamps[nKey] = true;
        Redraw();
        SayKey(nKey, remote_key_text::KeyEvent::Pressed);
        m_lampOffMs[nKey] = m_clock.Now() + LAMP_MS;
        SetLampTimer();
        return 1;
    }
    if (nKey != m_nBlinkKey) {
        if (IsKey(m_nBlinkKey)) {
            m_lamps[m_nBlinkKey] = false;
        }
        m_nBlinkKey = nKey;
        Redraw();
        SayKey(nKey, remote_key_text::KeyEvent::Held);
        m_blinkTimer.SetAfter(BLINK_MS);
    }
    return 1;
}

LRESULT CDlgTest::OnTestRelease(WPARAM wParam, LPARAM) {
    // Any process can post this message number too; only the blinking key
    // has a hold to end.
    if (!IsKey(m_nBlinkKey) || wParam != static_cast<WPARAM>(m_nBlinkKey)) {
        return 0;
    }
    m_lamps[m_nBlinkKey] = false;
    SayKey(m_nBlinkKey, remote_key_text::KeyEvent::Released);
    m_nBlinkKey = -1;
    m_blinkTimer.Cancel();
    Redraw();
    return 1;
}

void CDlgTest::LampsDue() {
    const std::uint64_t nNowMs = m_clock.Now();
    for (int nKey = FIRST_KEY; nKey <= LAST_KEY; ++nKey) {
        if (m_lampOffMs[nKey] != 0 && m_lampOffMs[nKey] <= nNowMs) {
            m_lampOffMs[nKey] = 0;
            m_lamps[nKey] = false;
        }
    }
    Redraw();
    SetLampTimer();
}

void CDlgTest::SetLampTimer() {
    std::uint64_t nNextMs = 0;
    for (const std::uint64_t nOffMs : m_lampOffMs) {
        if (nOffMs != 0 && (nNextMs == 0 || nOffMs < nNextMs)) {
            nNextMs = nOffMs;
        }
    }
    if (nNextMs != 0) {
        m_lampTimer.SetAt(nNextMs);
    } else {
        m_lampTimer.Cancel();
    }
}

void CDlgTest::BlinkDue() {
    // Only a blinking key keeps the timer going.
    if (IsKey(m_nBlinkKey)) {
        m_lamps[m_nBlinkKey] = !m_lamps[m_nBlinkKey];
        Redraw();
        m_blinkTimer.SetAfter(BLINK_MS);
    }
}

void CDlgTest::SayKey(int nKey, remote_key_text::KeyEvent event) {
    const HWND hText = GetDlgItem(m_hWnd, IDC_TEST_KEY_TEXT);
    SetWindowTextW(hText, widetext::Widen(remote_key_text::TestDialogText(nKey, event)).c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hText, OBJID_CLIENT, CHILDID_SELF);
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
    m_picture.Draw(dc, rcClient);
    for (int nKey = FIRST_KEY; nKey <= LAST_KEY; ++nKey) {
        if (m_lamps[nKey]) {
            m_picture.DrawMark(dc, rcClient, nKey, MARK_PEN);
        }
    }
}
