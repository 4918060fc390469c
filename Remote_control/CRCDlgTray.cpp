// The main dialog's icon in the notification area (CTrayIcon) and the popup
// menu behind it.
#include "CRCDlg.h"

#include <string>

int CRCDlg::ShowTrayIcon(const std::string& strTitle, const std::string& strText,
                         DWORD nBalloonIcon, int nIconState) {
    return m_trayIcon.Show(strTitle, strText, nBalloonIcon, nIconState) ? 1 : 0;
}

int CRCDlg::ShowTrayBalloon(const std::string& strTitle, const std::string& strText,
                            DWORD nBalloonIcon) {
    return m_trayIcon.ShowBalloon(strTitle, strText, nBalloonIcon) ? 1 : 0;
}

void CRCDlg::RemoveTrayIcon() {
    m_trayIcon.Remove();
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
