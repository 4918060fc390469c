#include "CLinkReactions.h"

#include "CKeyRouter.h"
#include "CLircServer.h"
#include "CPresenterOverlays.h"
#include "CTrayIcon.h"

void CLinkReactions::ShowLinkState(bool bReady, const char* pszTitle, const char* pszText,
                                   DWORD nBalloonIcon) {
    const int nIconState = bReady ? CTrayIcon::STATE_READY : CTrayIcon::STATE_NOT_READY;
    if (m_trayIcon.IsShowing(nIconState)) {
        return;
    }
    m_trayIcon.Remove();
    m_trayIcon.Show(pszTitle, pszText, nBalloonIcon, nIconState);
}

void CLinkReactions::OnConsoleAway(bool bAway) {
    // LIRC clients of this session must not read the console user's keys, nor
    // keep the console user's KV480 from listening.
    m_lirc.SetSessionAway(bAway);
}

void CLinkReactions::OnSessionLocked() {
    m_overlays.AllOff();
    m_router.SessionLocked();
}
