// What the receiver link has to say besides the bytes it reads: the state to
// show in the tray, the console and the lock. Apart from the link, so that
// whoever reacts need not know the link itself.
#pragma once

#include <windows.h>

class IReceiverLinkListener {
public:
    // The link's state for the tray: replace the icon unless it shows this
    // state already. nBalloonIcon: NIIF_INFO, NIIF_WARNING, NIIF_ERROR.
    virtual void ShowLinkState(bool bReady, const char* pszTitle, const char* pszText,
                               DWORD nBalloonIcon) = 0;
    // Told after every event whether this session is away from the console,
    // where the receiver belongs to another session's KV480.
    virtual void OnConsoleAway(bool bAway) = 0;
    // The user locked this session.
    virtual void OnSessionLocked() = 0;

protected:
    ~IReceiverLinkListener() = default;
};
