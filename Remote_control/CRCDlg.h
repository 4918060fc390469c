// The main dialog of KV480. It is created from its template but never shown;
// it owns all state of the program and receives every message: the received
// bytes and link failures from the watch thread, port arrival and removal,
// the tray icon's notifications and the commands of the tray menu. The link
// to the receiver is its member m_link (CReceiverLink), which keeps the port
// (m_hPort, m_nPort, m_bPortOpen, m_csPort), the watch thread (m_watchThread,
// m_hStopEvent, WatchThreadProc) and the link's timers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CDialog.h"
#include "CDlgAbout.h"
#include "CDlgTest.h"
#include "CExitSignal.h"
#include "CFrameDecoder.h"
#include "CKeyRouter.h"
#include "CLircServer.h"
#include "CPresenterOverlays.h"
#include "CReceiverLink.h"
#include "CRecvApp.h"
#include "CTrayIcon.h"
#include "CWin32KeyDesktop.h"
#include "CWindowClock.h"

class CRCDlg : public CDialog, private CFrameDecoder::Listener, private CReceiverLink::Listener {
public:
    CRCDlg();
    ~CRCDlg() override;

    // Runs the dialog's modal loop without ever showing it.
    INT_PTR DoModal() override;

    // Serial link: m_link's.
    int IsPortOpen() { return m_link.IsPortOpen(); }
    void ClosePort(bool bKeepWatch) { m_link.ClosePort(bKeepWatch); }
    int StartWatchThread() { return m_link.StartWatchThread(); }
    bool StopWatchThread() { return m_link.StopWatchThread(); }
    void ConnectAtStart() { m_link.ConnectAtStart(m_hWnd); }

    // Tray, kept by m_trayIcon. nBalloonIcon: NIIF_INFO,
    // NIIF_WARNING or NIIF_ERROR; nIconState: TRAY_READY or TRAY_NOT_READY. 1
    // if the icon was added.
    enum : int { TRAY_READY = CTrayIcon::STATE_READY, TRAY_NOT_READY = CTrayIcon::STATE_NOT_READY };
    int ShowTrayIcon(const std::string& strTitle, const std::string& strText, DWORD nBalloonIcon,
                     int nIconState) {
        return m_trayIcon.Show(strTitle, strText, nBalloonIcon, nIconState) ? 1 : 0;
    }
    void RemoveTrayIcon() { m_trayIcon.Remove(); }
    // A balloon on the icon as it stands, leaving its image and tooltip
    // alone; 1 if the shell took it (it fails while there is no icon).
    int ShowTrayBalloon(const std::string& strTitle, const std::string& strText,
                        DWORD nBalloonIcon) {
        return m_trayIcon.ShowBalloon(strTitle, strText, nBalloonIcon) ? 1 : 0;
    }

    // Posts the key (wParam key number, lParam repeat flag) to the receiving
    // application's window that is highest in the Z order, or to the
    // key-map editor in front; else does what the key maps name. Always 1.
    LRESULT DispatchKey(WPARAM wParam, LPARAM lParam);

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape must not end the program.
    void OnOK() override {}
    void OnCancel() override {}
    const framework::MessageMap* GetMessageMap() const override;

private:
    // Message handlers.
    LRESULT OnCreate(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    LRESULT OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnClose();
    void OnTestRemoteControl();
    void OnAbout();
    void OnAppExit();
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    // The link's messages and notifications, for m_link.
    LRESULT OnRcData(WPARAM wParam, LPARAM lParam) { return m_link.OnRcData(wParam, lParam); }
    LRESULT OnRcError(WPARAM wParam, LPARAM lParam) { return m_link.OnRcError(wParam, lParam); }
    LRESULT OnPortOpened(WPARAM wParam, LPARAM lParam) {
        return m_link.OnPortOpened(wParam, lParam);
    }
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam) {
        return m_link.OnDeviceChange(wParam, lParam);
    }
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam) {
        return m_link.OnPowerBroadcast(wParam, lParam);
    }
    LRESULT OnSessionChange(WPARAM wParam, LPARAM lParam) {
        return m_link.OnSessionChange(wParam, lParam);
    }
    // The tray icon's notifications: lParam is the mouse message.
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    // The shell (re)started: the icon comes back as it stood.
    void OnTaskbarCreated() { m_trayIcon.OnTaskbarCreated(); }

    // CFrameDecoder::Listener: key events go to the router, the decoder's
    // times to the clock.
    void OnKeyEvent(int nKey, int nRepeat) override { m_router.KeyEvent(nKey, nRepeat); }
    void StartHoldTimer() override { m_holdTimer.SetAfter(CFrameDecoder::HOLD_TIME_MS); }
    void OnKeyRelease(int nKey) override { m_router.KeyRelease(nKey); }
    void StartReleaseTimer(unsigned int nDelayMs) override { m_releaseTimer.SetAfter(nDelayMs); }

    // A PC action that Windows refused after it started (wParam: CKeyAction::Pc,
    // lParam: Windows' error).
    LRESULT OnPcRefused(WPARAM wParam, LPARAM lParam);
    // A Run line's thread has something to tell (CRunWarnings).
    LRESULT OnRunWarning(WPARAM wParam, LPARAM lParam);

    // LIRC server: started with the port of the settings; its thread tells
    // when another program holds that port.
    void StartLircServer();
    LRESULT OnLircPortTaken(WPARAM wParam, LPARAM lParam);
    // The warning waits for the tray icon, which the link's start may not
    // have shown yet: tried again until the balloon is shown.
    static constexpr UINT LIRC_BALLOON_RETRY_MS = 1000;
    void TellLircPortTaken();

    // Tray: the popup menu at the cursor after a right click on the icon.
    void ShowTrayMenu();

    // CReceiverLink::Listener.
    void OnLinkBytes(const BYTE* pBytes, std::size_t nCount, ULONGLONG ullReadTimeMs) override;
    void ShowLinkState(bool bReady, const char* pszTitle, const char* pszText,
                       DWORD nBalloonIcon) override;
    void OnConsoleAway(bool bAway) override;
    // Nothing of a talk stays on a locked screen.
    void OnSessionLocked() override { m_overlays.AllOff(); }

    // Every deadline of the program, on one timer of this window. Declared
    // first so that it outlives every member that holds a timer of it.
    CWindowClock m_clock;
    enum : UINT_PTR { CLOCK_TIMER_ID = 0x40 };

    HICON m_hIcon;
    HMENU m_hTrayMenu = nullptr;
    int m_bAboutOpen = 0;
    int m_bTestOpen = 0;
    CDlgAbout m_dlgAbout;
    CDlgTest m_dlgTest;
    UINT m_nRemoteControlMsg = 0;
    CRecvApp m_recvApps;
    CFrameDecoder m_decoder;
    CDeadlineClock::Timer m_holdTimer;
    CDeadlineClock::Timer m_releaseTimer;
    // The presenter's tools; before the desktop, which hands them their actions.
    CPresenterOverlays m_overlays{m_clock.Clock()};
    CLircServer m_lirc;
    CDeadlineClock::Timer m_lircBalloonTimer;

    // The icon, what it last showed, and its return when the shell restarts.
    CTrayIcon m_trayIcon;

    // The way of every key event: the router decides, the desktop carries it
    // out on this PC.
    CWin32KeyDesktop m_keyDesktop;
    CKeyRouter m_router;

    // The menu resource whose first popup is m_hTrayMenu.
    HMENU m_hTrayMenuResource = nullptr;
    // The setup's request, from any session, to end.
    CExitSignal m_exitSignal;
    // After the clock, whose timers it holds, and the objects its listener
    // calls reach: destroyed first.
    CReceiverLink m_link{m_clock.Clock(), *this};
};
