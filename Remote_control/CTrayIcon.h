// KV480's icon in the notification area: its record, the state it should
// show and its tooltip, kept so the icon can be added again when the shell
// restarts ("TaskbarCreated").
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "CDeadlineClock.h"

class CTrayIcon {
public:
    enum : int { STATE_READY = 0, STATE_NOT_READY = 1 };

    // How the shell is asked (Shell_NotifyIconW; a test's fake shell).
    using NotifyFunction = BOOL(WINAPI*)(DWORD dwMessage, PNOTIFYICONDATAW pData);

    // clock: where the one more try waits when the shell was too busy.
    explicit CTrayIcon(CDeadlineClock& clock, NotifyFunction notify = Shell_NotifyIconW);

    // The window that gets the icon's notifications as nCallbackMessage, and
    // the shell's restart message even when it runs elevated.
    void Attach(HWND hWnd, UINT nCallbackMessage);

    // nBalloonIcon: NIIF_INFO, NIIF_WARNING, NIIF_ERROR or NIIF_NONE. True
    // if the shell took the icon. A shell that did not answer in time is
    // asked once more 500 ms later.
    bool Show(const std::string& strTitle, const std::string& strText, DWORD nBalloonIcon,
              int nIconState);
    void Remove();
    // A balloon on the icon as it stands, leaving its image and tooltip
    // alone; true if the shell took it (it fails while there is no icon) and
    // the user can see it now.
    bool ShowBalloon(const std::string& strTitle, const std::string& strText, DWORD nBalloonIcon);

    // A second line of the tooltip (UTF-8), kept through every Show until
    // changed; empty for none.
    void SetTipLine(const std::string& strLine);

    // Whether the icon is wanted and shows nIconState.
    bool IsShowing(int nIconState) const;

    // The shell (re)started: adds the icon again as it stood.
    void OnTaskbarCreated();

    // What a notification of the icon asks of the program: the menu, opened
    // at a point of the screen (the icon's for the keyboard), or nothing.
    struct MenuRequest {
        bool bOpen;
        POINT pt;
    };
    // Once the shell speaks version 4, a click, Enter or Space on the icon and
    // the context-menu key (or Shift+F10) all ask for the menu, with the
    // icon's place in wParam; an older shell sends the raw right click only,
    // at the pointer. ptCursor: where the pointer is now.
    MenuRequest MenuRequestOf(WPARAM wParam, LPARAM lParam, POINT ptCursor) const;

private:
    std::string Tip() const;
    // Adds the icon as wanted now; bRetryOnTimeout: one more try later when
    // the shell timed out.
    bool Add(bool bRetryOnTimeout);

    // The icon's identity: size, window, id, callback message.
    NOTIFYICONDATAW m_nid;
    NotifyFunction m_notify;
    UINT m_nTaskbarCreatedMsg = 0;
    bool m_bWanted = false;
    // The shell took NOTIFYICON_VERSION_4 for the icon.
    bool m_bVersion4 = false;
    std::string m_strTip;
    std::string m_strTipLine;
    int m_nState = STATE_NOT_READY;
    // The balloon that comes with the icon.
    std::string m_strBalloonText;
    DWORD m_nBalloonIcon = NIIF_NONE;
    CDeadlineClock::Timer m_retry;
};
