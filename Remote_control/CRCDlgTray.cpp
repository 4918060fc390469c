// The main dialog's icon in the notification area, its notifications and the
// popup menu behind it.
#include "CRCDlg.h"

#include "CWinApp.h"
#include "RcMessages.h"
#include "resource.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>

namespace {

// The program's one icon in the notification area.
constexpr UINT TRAY_ICON_ID = 1;
constexpr UINT BALLOON_TIMEOUT_MS = 10000;
// Pause before the one more try when the shell did not answer in time.
constexpr DWORD TRAY_RETRY_PAUSE_MS = 500;

// Copies as much of the text as fits, leaving the field zero-terminated.
template <std::size_t N> void CopyText(char (&field)[N], const std::string& strText) {
    const std::size_t nLength = std::min(strText.size(), N - 1);
    std::memcpy(field, strText.data(), nLength);
    field[nLength] = '\0';
}

// The tray image of the state at the size the shell uses at the current
// scaling (16 px at 100 %, 32 px at 200 %); nullptr for an unknown state.
HICON LoadTrayImage(int nIconState) {
    UINT nIconId = 0;
    if (nIconState == CRCDlg::TRAY_READY) {
        nIconId = IDR_MAINFRAME;
    } else if (nIconState == CRCDlg::TRAY_NOT_READY) {
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

int CRCDlg::ShowTrayIcon(const std::string& strTitle, const std::string& strText,
                         DWORD nBalloonIcon, int nIconState) {
    // Kept for a shell that starts again and has forgotten the icon.
    m_bTrayIconWanted = true;
    m_strTrayTip = strTitle;
    m_nTrayIconState = nIconState;

    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof(nid));
    // The record with balloon fields but without the balloon icon handle.
    nid.cbSize = NOTIFYICONDATAA_V3_SIZE;
    nid.hIcon = LoadTrayImage(nIconState);

    nid.hWnd = m_hWnd;
    nid.uID = TRAY_ICON_ID;
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO;
    nid.uCallbackMessage = WM_RC_TRAY;
    CopyText(nid.szTip, strTitle);
    CopyText(nid.szInfo, strText);
    nid.uTimeout = BALLOON_TIMEOUT_MS;
    CopyText(nid.szInfoTitle, strTitle);
    nid.dwInfoFlags = nBalloonIcon;

    BOOL bAdded = Shell_NotifyIconA(NIM_ADD, &nid);
    if (!bAdded && GetLastError() == ERROR_TIMEOUT) {
        // The shell was busy; it may have taken the icon after all, or take it now.
        Sleep(TRAY_RETRY_PAUSE_MS);
        bAdded = Shell_NotifyIconA(NIM_ADD, &nid);
    }
    // The shell keeps its own copy of the image.
    if (nid.hIcon != nullptr) {
        DestroyIcon(nid.hIcon);
    }
    return bAdded ? 1 : 0;
}

int CRCDlg::ShowTrayBalloon(const std::string& strTitle, const std::string& strText,
                            DWORD nBalloonIcon) {
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof(nid));
    nid.cbSize = NOTIFYICONDATAA_V3_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = TRAY_ICON_ID;
    nid.uFlags = NIF_INFO;
    CopyText(nid.szInfo, strText);
    nid.uTimeout = BALLOON_TIMEOUT_MS;
    CopyText(nid.szInfoTitle, strTitle);
    nid.dwInfoFlags = nBalloonIcon;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) ? 1 : 0;
}

void CRCDlg::RemoveTrayIcon() {
    m_bTrayIconWanted = false;
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof(nid));
    nid.cbSize = NOTIFYICONDATAA_V3_SIZE;
    nid.hWnd = m_hWnd;
    nid.uID = TRAY_ICON_ID;
    Shell_NotifyIconA(NIM_DELETE, &nid);
}

void CRCDlg::OnTaskbarCreated() {
    // The shell (re)started and has no icons: add ours again as it stood,
    // without repeating the balloon that came with it. The shell also sends
    // this when the scaling changes, while it still holds the icon.
    if (!m_bTrayIconWanted) {
        return;
    }
    const std::string strTip = m_strTrayTip;
    const int nIconState = m_nTrayIconState;
    RemoveTrayIcon();
    ShowTrayIcon(strTip, std::string(), NIIF_NONE, nIconState);
}

void CRCDlg::ShowTrayMenu() {
    POINT pt;
    GetCursorPos(&pt);
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_hWnd);
    if (m_hTrayMenu == nullptr) {
        return;
    }
    TrackPopupMenuEx(m_hTrayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, pt.x, pt.y, m_hWnd, nullptr);
    // Lets the menu close properly the next time it is opened from the tray.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
}
