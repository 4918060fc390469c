#include "CActionNote.h"

#include "Settings.h"
#include "WideText.h"

#include <shellapi.h>

#include <algorithm>
#include <iterator>

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

CActionNote::CActionNote(CDeadlineClock& clock)
    : COverlayWindow(clock), m_changeTimer(clock, [this] { OnTimeReached(); }) {}

CActionNote::~CActionNote() {
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

bool CActionNote::MayShow(CActionNoteRule::Kind kind) {
    // The option and the user's state are asked only of ordinary notes.
    const bool bOrdinary = kind == CActionNoteRule::Kind::Ordinary;
    const bool bWanted = !bOrdinary || IsWanted();
    const auto state = bOrdinary && bWanted && IsUserBusy()
                           ? CActionNoteRule::UserState::Busy
                           : CActionNoteRule::UserState::AcceptsNotes;
    return CActionNoteRule::Shows(kind, bWanted, state);
}

bool CActionNote::Show(const std::string& strText, HWND hForeground, CActionNoteRule::Kind kind,
                       bool bKeyHeld) {
    if (!MayShow(kind)) {
        return false;
    }
    m_timing.Note(strText, bKeyHeld, Clock().Now());
    m_hMonitor = MonitorOf(hForeground);
    return Place();
}

bool CActionNote::ShowCountdown(const CActionNoteTiming::Countdown& countdown, HWND hForeground) {
    m_timing.Count(countdown, Clock().Now());
    m_hMonitor = MonitorOf(hForeground);
    return Place();
}

void CActionNote::KeyReleased() {
    m_timing.KeyReleased(Clock().Now());
    ScheduleNext();
}

void CActionNote::HideNote() {
    m_timing.Hide();
    m_changeTimer.Cancel();
    Hide();
}

void CActionNote::OnTimeReached() {
    if (!m_timing.IsShown(Clock().Now())) {
        HideNote();
        return;
    }
    // Only a countdown changes its text; it stays on its monitor.
    Place();
}

HMONITOR CActionNote::MonitorOf(HWND hForeground) {
    return hForeground != nullptr ? MonitorFromWindow(hForeground, MONITOR_DEFAULTTOPRIMARY)
                                  : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

void CActionNote::ScheduleNext() {
    std::uint64_t nDueMs = 0;
    if (m_timing.NextChange(Clock().Now(), nDueMs)) {
        m_changeTimer.SetAt(nDueMs);
    } else {
        m_changeTimer.Cancel();
    }
}

bool CActionNote::Place() {
    if (!Create(CLASS_NAME, true)) {
        m_timing.Hide();
        return false;
    }
    SetOpacity(OPACITY);
    m_strText = widetext::Widen(m_timing.Text(Clock().Now()));
    SetText(m_strText);

    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof(monitor));
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(m_hMonitor, &monitor)) {
        HideNote();
        return false;
    }
    // Placed on that monitor first: this program is aware of each monitor's
    // DPI, so its own window then reads the monitor's, whatever the window in
    // front reports.
    SetWindowPos(m_hWnd, nullptr, monitor.rcWork.left, monitor.rcWork.top, 1, 1,
                 SWP_NOACTIVATE | SWP_NOZORDER);
    const UINT nDpi = Dpi();
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
    ShowAt(RECT{nX, nY, nX + nWidth, nY + nHeight});
    InvalidateRect(m_hWnd, nullptr, TRUE);
    ScheduleNext();
    return true;
}

void CActionNote::OnPaint() {
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

const framework::MessageMap* CActionNote::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CActionNote::OnPaint>},
    };
    static const framework::MessageMap map{COverlayWindow::GetMessageMap(), entries,
                                           std::size(entries)};
    return &map;
}
