// The main dialog of KV480. It is created from its template but never shown;
// it wires the program's objects once and owns the tray icon, its menu and
// the dialogs. Every message comes to its window: the link to the receiver
// (m_link, CReceiverLink: the port, the watch thread, device, power and
// session notifications) handles its own through its message map, chained
// into this one, and hands the bytes it reads to the key pipeline
// (m_pipeline: decoder, then the test dialog, the router and LIRC).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CDialog.h"
#include "CDlgAbout.h"
#include "CDlgTest.h"
#include "CExitSignal.h"
#include "CKeyPipeline.h"
#include "CLinkReactions.h"
#include "CLircServer.h"
#include "CMenuWindow.h"
#include "CPresenterOverlays.h"
#include "CReceiverLink.h"
#include "CRecvApp.h"
#include "CRunningState.h"
#include "CTrayIcon.h"
#include "CWin32DesktopEffects.h"
#include "CWin32DesktopWindows.h"
#include "CWin32UserNotices.h"
#include "CWindowClock.h"

class CRCDlg : public CDialog {
public:
    CRCDlg();
    ~CRCDlg() override;

    // Runs the dialog's modal loop without ever showing it.
    INT_PTR DoModal() override;

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
    // The tray icon's notifications: lParam is the mouse message.
    LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    // The shell (re)started: the icon comes back as it stood.
    void OnTaskbarCreated() { m_trayIcon.OnTaskbarCreated(); }
    // The editor asks this KV480, run as administrator, to end so that it
    // can start it again at the user's level.
    void OnEndForRestart() { OnAppExit(); }

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

    // Tray: the popup menu, its bottom right corner at pt (screen): the
    // icon's place, or the pointer's for an older shell.
    void ShowTrayMenu(POINT pt);

    // Every deadline of the program, on one timer of this window. Declared
    // first so that it outlives every member that holds a timer of it.
    CWindowClock m_clock;
    enum : UINT_PTR { CLOCK_TIMER_ID = 0x40 };

    HICON m_hIcon;
    HMENU m_hTrayMenu = nullptr;
    bool m_bAboutOpen = false;
    bool m_bTestOpen = false;
    CDlgAbout m_dlgAbout;
    CDlgTest m_dlgTest{m_clock.Clock()};
    UINT m_nRemoteControlMsg = 0;
    CRecvApp m_recvApps;
    // The presenter's tools; before the desktop, which hands them their actions.
    // They tell the user through m_notices only once the program runs.
    CPresenterOverlays m_overlays{m_clock.Clock(), m_notices};
    CLircServer m_lirc;
    CDeadlineClock::Timer m_lircBalloonTimer;

    // The icon, what it last showed, and its return when the shell restarts.
    CTrayIcon m_trayIcon{m_clock.Clock()};

    // What the editor learns of this KV480: the key maps it reads, the mode.
    CRunningState m_runningState;
    // The desktop in its three roles: the windows and their facts, the
    // effects that carry out the key maps' actions (the on-screen menu
    // among them), what the user is told.
    CWin32UserNotices m_notices{m_trayIcon, m_clock.Clock(), m_runningState};
    CWin32DesktopWindows m_windows;
    CMenuWindow m_menuWindow{m_clock.Clock()};
    CWin32DesktopEffects m_effects{m_overlays, m_notices, m_menuWindow};
    // The way of every key event: decoded, shown in the test dialog, routed
    // (the router decides, the desktop carries it out) and served to LIRC.
    CKeyPipeline m_pipeline;

    // The menu resource whose first popup is m_hTrayMenu.
    HMENU m_hTrayMenuResource = nullptr;
    // The setup's request, from any session, to end.
    CExitSignal m_exitSignal;
    // What the link tells goes to the tray icon, LIRC, the overlays and the router.
    CLinkReactions m_linkReactions{m_trayIcon, m_lirc, m_overlays, m_pipeline.Router()};
    // After the clock, whose timers it holds, and the objects its listener
    // calls reach: destroyed first.
    CReceiverLink m_link{m_clock.Clock(), m_pipeline, m_linkReactions};
};
