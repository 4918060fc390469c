#include "CTrayIcon.h"

#include "CBalloonText.h"
#include "CWinApp.h"
#include "WideText.h"
#include "resource.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Broadcast by the shell when its taskbar is (re)created.
const char* const TASKBAR_CREATED_MESSAGE = "TaskbarCreated";
// The program's one icon in the notification area.
constexpr UINT TRAY_ICON_ID = 1;
constexpr UINT BALLOON_TIMEOUT_MS = 10000;
// Pause before the one more try when the shell did not answer in time.
constexpr DWORD TRAY_RETRY_PAUSE_MS = 500;

// Copies as much of the UTF-8 text as fits, as UTF-16 (paths and Windows'
// messages in any language show whole), leaving the field zero-terminated.
template <std::size_t N> void CopyText(wchar_t (&field)[N], const std::string& strText) {
    const std::wstring strWide = widetext::Widen(strText);
    std::size_t nLength = std::min(strWide.size(), N - 1);
    // Half a surrogate pair would show as garbage.
    if (nLength > 0 && nLength < strWide.size() && IS_HIGH_SURROGATE(strWide[nLength - 1])) {
        --nLength;
    }
    std::memcpy(field, strWide.data(), nLength * sizeof(wchar_t));
    field[nLength] = L'\0';
}

static_assert(sizeof(NOTIFYICONDATAW::szInfoTitle) / sizeof(wchar_t) == CBalloonText::TITLE_UNITS,
              "the balloon's title field");
static_assert(sizeof(NOTIFYICONDATAW::szInfo) / sizeof(wchar_t) == CBalloonText::TEXT_UNITS,
              "the balloon's text field");

// A balloon's title and text in lines, each cut with "…" when too long.
void SetBalloon(NOTIFYICONDATAW& nid, const std::string& strTitle, const std::string& strText) {
    CopyText(nid.szInfoTitle, CBalloonText::Fit(strTitle, std::size(nid.szInfoTitle)));
    CopyText(nid.szInfo, CBalloonText::Fit(CBalloonText::Wrapped(strText), std::size(nid.szInfo)));
}

// The tray image of the state at the size the shell uses at the current
// scaling (16 px at 100 %, 32 px at 200 %); nullptr for an unknown state.
HICON LoadTrayImage(int nIconState) {
    UINT nIconId = 0;
    if (nIconState == CTrayIcon::STATE_READY) {
        nIconId = IDR_MAINFRAME;
    } else if (nIconState == CTrayIcon::STATE_NOT_READY) {
        nIconId = IDI_NOT_READY;
    }
    if (nIconId == 0) {
        return nullptr;
    }
    HICON hIcon = nullptr;
    if (FAILED(LoadIconMetric(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEW(nIconId),
                              LIM_SMALL, &hIcon))) {
        hIcon = static_cast<HICON>(LoadImageA(
            framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIconId), IMAGE_ICON,
            GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    }
    return hIcon;
}

} // namespace

CTrayIcon::CTrayIcon(CDeadlineClock& clock, NotifyFunction notify)
    : m_notify(notify), m_nTaskbarCreatedMsg(RegisterWindowMessageA(TASKBAR_CREATED_MESSAGE)),
      m_retry(clock, [this] { Add(false); }) {
    std::memset(&m_nid, 0, sizeof(m_nid));
    // The record with balloon fields but without the balloon icon handle.
    m_nid.cbSize = NOTIFYICONDATAW_V3_SIZE;
    m_nid.uID = TRAY_ICON_ID;
}

void CTrayIcon::Attach(HWND hWnd, UINT nCallbackMessage) {
    m_nid.hWnd = hWnd;
    m_nid.uCallbackMessage = nCallbackMessage;
    // Run elevated, the program would otherwise never hear from a restarted
    // shell: messages from a lower integrity level are filtered out.
    if (m_nTaskbarCreatedMsg != 0) {
        ChangeWindowMessageFilterEx(hWnd, m_nTaskbarCreatedMsg, MSGFLT_ALLOW, nullptr);
    }
}

bool CTrayIcon::Show(const std::string& strTitle, const std::string& strText, DWORD nBalloonIcon,
                     int nIconState) {
    // Kept for a shell that starts again and has forgotten the icon.
    m_bWanted = true;
    m_strTip = strTitle;
    m_nState = nIconState;
    m_strBalloonText = strText;
    m_nBalloonIcon = nBalloonIcon;
    return Add(true);
}

bool CTrayIcon::Add(bool bRetryOnTimeout) {
    m_retry.Cancel();
    NOTIFYICONDATAW nid = m_nid;
    nid.hIcon = LoadTrayImage(m_nState);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    CopyText(nid.szTip, Tip());
    SetBalloon(nid, m_strTip, m_strBalloonText);
    nid.uTimeout = BALLOON_TIMEOUT_MS;
    nid.dwInfoFlags = m_nBalloonIcon;

    const BOOL bAdded = m_notify(NIM_ADD, &nid);
    if (!bAdded && bRetryOnTimeout && GetLastError() == ERROR_TIMEOUT) {
        // The shell was busy; it may have taken the icon after all, or take
        // it in a moment. Asked once more on the clock: the keys go on
        // meanwhile.
        m_retry.SetAfter(TRAY_RETRY_PAUSE_MS);
    }
    // Only version 4 tells of the keyboard (Enter, Space, the menu key) and
    // gives the icon's place to open the menu at.
    NOTIFYICONDATAW version = m_nid;
    version.uVersion = NOTIFYICON_VERSION_4;
    m_bVersion4 = bAdded && m_notify(NIM_SETVERSION, &version) != FALSE;
    // The shell keeps its own copy of the image.
    if (nid.hIcon != nullptr) {
        DestroyIcon(nid.hIcon);
    }
    return bAdded != FALSE;
}

bool CTrayIcon::ShowBalloon(const std::string& strTitle, const std::string& strText,
                            DWORD nBalloonIcon) {
    // The shell takes a balloon also while it hides it (Focus Assist, a
    // presentation, a full-screen game, the lock screen): the caller would
    // count it as told. Not shown then, it is tried again later.
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    if (SUCCEEDED(SHQueryUserNotificationState(&state)) && state != QUNS_ACCEPTS_NOTIFICATIONS) {
        return false;
    }
    NOTIFYICONDATAW nid = m_nid;
    nid.uCallbackMessage = 0;
    nid.uFlags = NIF_INFO;
    SetBalloon(nid, strTitle, strText);
    nid.uTimeout = BALLOON_TIMEOUT_MS;
    nid.dwInfoFlags = nBalloonIcon;
    return m_notify(NIM_MODIFY, &nid) != FALSE;
}

void CTrayIcon::SetTipLine(const std::string& strLine) {
    m_strTipLine = strLine;
    if (!m_bWanted) {
        return;
    }
    NOTIFYICONDATAW nid = m_nid;
    nid.uCallbackMessage = 0;
    nid.uFlags = NIF_TIP;
    CopyText(nid.szTip, Tip());
    m_notify(NIM_MODIFY, &nid);
}

std::string CTrayIcon::Tip() const {
    return m_strTipLine.empty() ? m_strTip : m_strTip + "\n" + m_strTipLine;
}

void CTrayIcon::Remove() {
    m_bWanted = false;
    m_retry.Cancel();
    NOTIFYICONDATAW nid = m_nid;
    nid.uCallbackMessage = 0;
    m_notify(NIM_DELETE, &nid);
}

bool CTrayIcon::IsShowing(int nIconState) const {
    return m_bWanted && nIconState == m_nState;
}

CTrayIcon::MenuRequest CTrayIcon::MenuRequestOf(WPARAM wParam, LPARAM lParam,
                                                POINT ptCursor) const {
    if (!m_bVersion4) {
        return MenuRequest{lParam == WM_RBUTTONUP, ptCursor};
    }
    const UINT nEvent = LOWORD(lParam);
    const bool bOpen = nEvent == WM_CONTEXTMENU || nEvent == NIN_SELECT || nEvent == NIN_KEYSELECT;
    return MenuRequest{bOpen, POINT{GET_X_LPARAM(wParam), GET_Y_LPARAM(wParam)}};
}

void CTrayIcon::OnTaskbarCreated() {
    // Without repeating the balloon that came with it. The shell also sends
    // this when the scaling changes, while it still holds the icon.
    if (!m_bWanted) {
        return;
    }
    const std::string strTip = m_strTip;
    const int nIconState = m_nState;
    Remove();
    Show(strTip, std::string(), NIIF_NONE, nIconState);
}
