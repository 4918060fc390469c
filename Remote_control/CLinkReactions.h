// KV480's reactions to what the receiver link tells: the tray icon shows the
// link's state, LIRC's clients of a session away from the console get no
// keys, and a locked session keeps nothing of a talk on its screen while its
// first refused key says why.
#pragma once

#include "IReceiverLinkListener.h"

class CKeyRouter;
class CLircServer;
class CPresenterOverlays;
class CTrayIcon;

class CLinkReactions : public IReceiverLinkListener {
public:
    CLinkReactions(CTrayIcon& trayIcon, CLircServer& lirc, CPresenterOverlays& overlays,
                   CKeyRouter& router)
        : m_trayIcon(trayIcon), m_lirc(lirc), m_overlays(overlays), m_router(router) {}
    CLinkReactions(const CLinkReactions&) = delete;
    CLinkReactions& operator=(const CLinkReactions&) = delete;

    void ShowLinkState(bool bReady, const char* pszTitle, const char* pszText,
                       DWORD nBalloonIcon) override;
    void OnConsoleAway(bool bAway) override;
    void OnSessionLocked() override;

private:
    CTrayIcon& m_trayIcon;
    CLircServer& m_lirc;
    CPresenterOverlays& m_overlays;
    CKeyRouter& m_router;
};
