// The main dialog of KV480. It is created from its template but never shown;
// it owns all state of the program and receives every message: the received
// bytes and link failures from the watch thread, port arrival and removal,
// the tray icon's notifications and the commands of the tray menu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "CCriticalSection.h"
#include "CActionConfirmation.h"
#include "CActionNote.h"
#include "CDialog.h"
#include "CDlgAbout.h"
#include "CDlgTest.h"
#include "CExitSignal.h"
#include "CFrameDecoder.h"
#include "CKeyActionEngine.h"
#include "CKeyMapFile.h"
#include "CLinkPolicy.h"
#include "CLinkOpener.h"
#include "CLircServer.h"
#include "CModeState.h"
#include "CRecvApp.h"
#include "CRefusedPostNotice.h"
#include "CTrayIcon.h"
#include "CWindowClock.h"
#include "CWorkerThread.h"

class CSerialReader;

class CRCDlg : public CDialog, private CFrameDecoder::Listener {
public:
    CRCDlg();
    ~CRCDlg() override;

    // Runs the dialog's modal loop without ever showing it.
    INT_PTR DoModal() override;

    // Serial link (CRCDlgLink.cpp).
    int IsPortOpen();
    void ClosePort(bool bKeepWatch);
    int StartWatchThread();
    // False when the thread would not end, even terminated.
    bool StopWatchThread();
    void ConnectAtStart();

    // Tray (CRCDlgTray.cpp), kept by m_trayIcon. nBalloonIcon: NIIF_INFO,
    // NIIF_WARNING or NIIF_ERROR; nIconState: TRAY_READY or TRAY_NOT_READY. 1
    // if the icon was added.
    enum : int { TRAY_READY = CTrayIcon::STATE_READY, TRAY_NOT_READY = CTrayIcon::STATE_NOT_READY };
    int ShowTrayIcon(const std::string& strTitle, const std::string& strText, DWORD nBalloonIcon,
                     int nIconState);
    void RemoveTrayIcon();
    // A balloon on the icon as it stands, leaving its image and tooltip
    // alone; 1 if the shell took it (it fails while there is no icon).
    int ShowTrayBalloon(const std::string& strTitle, const std::string& strText,
                        DWORD nBalloonIcon);

    // Posts the key (wParam key number, lParam repeat flag) to the receiving
    // application's window that is highest in the Z order. Always 1.
    LRESULT DispatchKey(WPARAM wParam, LPARAM lParam);

protected:
    BOOL OnInitDialog() override;
    // Enter and Escape must not end the program.
    void OnOK() override {}
    void OnCancel() override {}
    LRESULT WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) override;
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
    LRESULT OnRcData(WPARAM wParam, LPARAM lParam);
    LRESULT OnRcError(WPARAM wParam, LPARAM lParam);
    LRESULT OnPortOpened(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnTimer(WPARAM wParam, LPARAM lParam);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    LRESULT OnSessionChange(WPARAM wParam, LPARAM lParam);

    // CFrameDecoder::Listener.
    void OnKeyEvent(int nKey, int nRepeat) override;
    void StartHoldTimer() override;
    void OnKeyRelease(int nKey) override;
    void StartReleaseTimer(unsigned int nDelayMs) override;
    // DispatchKey's note of the window that got a press (none: nullptr), to
    // which the release of that key goes.
    void NotePressTarget(WPARAM wParam, LPARAM lParam, HWND hTarget);

    // A post to the receiving application's window was refused: tells the
    // user once per window.
    void TellRefusedPost(HWND hTarget);

    // The test dialog's window while it exists; it gets every key event first.
    HWND TestDialogWindow() const;

    // Key map (CRCDlgKeyMap.cpp): the user's KeyMap.ini and the one in the
    // folder Path, and what a key that no receiving application takes does.
    void LoadKeyMap();
    void TypeMappedKey(int nKey, int nRepeat);
    void ReleaseMappedKey(int nKey);
    void OnActionTimer();
    // The key-map editor's window while it is in front: it gets the keys
    // as a receiving application would.
    HWND KeysEditorInFront() const;
    void CarrySteps(const std::vector<CKeyActionEngine::Step>& steps);
    // Modes and the PC's own actions (CRCDlgModes.cpp): false when the step
    // is none of them.
    bool CarryOwnAction(const CKeyActionEngine::Step& step);
    LRESULT OnPcRefused(WPARAM wParam, LPARAM lParam);
    void ScheduleActionTimer();
    void RefreshKeyMaps();
    enum : UINT_PTR { ACTION_TIMER_ID = 0x30 };

    // LIRC server (CRCDlgLirc.cpp): started with the port of the settings;
    // its thread tells when another program holds that port.
    void StartLircServer();
    LRESULT OnLircPortTaken(WPARAM wParam, LPARAM lParam);
    // The warning waits for the tray icon, which the link's start may not
    // have shown yet: tried again on this timer until the balloon is shown.
    enum : UINT_PTR { LIRC_BALLOON_TIMER_ID = 0x20 };
    static constexpr UINT LIRC_BALLOON_RETRY_MS = 1000;
    void TellLircPortTaken();

    // Tray: the popup menu at the cursor after a right click on the icon.
    void ShowTrayMenu();

    // Serial link internals.
    static HANDLE OpenReceiverPort(int nPort, DWORD* pdwError);
    bool IsConfiguredPort(LPARAM lParam) const;
    static unsigned WINAPI WatchThreadProc(void* pParam);
    bool ReadStep(HANDLE hPort, CSerialReader& reader);
    // Reports the failure that ends the watch thread: dwError is the failing
    // call's error, or ERROR_SUCCESS for a failure without one.
    void PostLinkError(DWORD dwError) const;
    void WatchPortHandle();
    void UnwatchPortHandle();
    void OnPortHandleChange(WPARAM wParam);

    // The link's decisions are CLinkPolicy's; these carry them out. Timers
    // of the link: its policy's four, and the retry of the registration for
    // session notifications.
    enum : UINT_PTR {
        START_TIMER_ID = 0x10,
        RETRY_TIMER_ID = 0x11,
        REMOVAL_TIMER_ID = 0x12,
        CONSOLE_TIMER_ID = 0x13,
        SESSION_TIMER_ID = 0x14,
    };
    static UINT_PTR LinkTimerId(CLinkPolicy::Timer timer);
    static bool IsLinkTimer(UINT_PTR nTimerId);
    void OnLinkTimer(UINT_PTR nTimerId);
    void RunLink(CLinkPolicy::Event event);
    bool AdoptOpenedPort();
    void ShowNotice(CLinkPolicy::Notice notice);
    void RegisterInterfaceNotification();
    void RegisterSessionNotification();
    void ReportConsole();
    // Shutdown: timers, notifications, port.
    void EndLink();
    // Replaces the tray icon when the link's state differs from the one shown.
    void ShowLinkState(int nIconState, const char* pszTitle, const char* pszText,
                       DWORD nBalloonIcon);

    // The longest chunk the watch thread reads at once.
    static constexpr DWORD READ_CHUNK = 255;

    // Every deadline of the program, on one timer of this window. Declared
    // first so that it outlives every member that holds a timer of it.
    CWindowClock m_clock;
    enum : UINT_PTR { CLOCK_TIMER_ID = 0x40 };

    HICON m_hIcon;
    HMENU m_hTrayMenu = nullptr;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    int m_nPort = 0;
    int m_bPortOpen = 0;
    HANDLE m_hStopEvent = nullptr;
    CWorkerThread m_watchThread;
    CCriticalSection m_csPort;
    int m_bAboutOpen = 0;
    int m_bTestOpen = 0;
    // Declared after the lock and before the list, so they are destroyed
    // after the list and before the lock.
    CDlgAbout m_dlgAbout;
    CDlgTest m_dlgTest;
    UINT m_nRemoteControlMsg = 0;
    UINT m_nReleaseMsg = 0;
    // The window that got the press of m_nPressKey as "WM_REMOTECONTROL".
    HWND m_hPressTarget = nullptr;
    int m_nPressKey = 0;
    CRecvApp m_recvApps;
    CFrameDecoder m_decoder;
    // The user's key map is asked before the installation folder's.
    CKeyMapFile m_userKeyMap;
    CKeyMapFile m_keyMap;
    CKeyActionEngine m_actionEngine;
    CActionNote m_actionNote;
    // The mode that is on, asked before the key maps; and the second press
    // a shutdown waits for.
    CModeState m_modeState;
    CActionConfirmation m_confirmation;
    CLircServer m_lirc;

    // The icon, what it last showed, and its return when the shell restarts.
    CTrayIcon m_trayIcon;

    // The menu resource whose first popup is m_hTrayMenu.
    HMENU m_hTrayMenuResource = nullptr;
    // Set while ClosePort runs: the stop lets sent messages through, and one
    // of them must not close the port underneath it.
    bool m_bClosingPort = false;
    // Link state.
    CLinkPolicy m_linkPolicy{false};
    CLinkOpener m_opener{&CRCDlg::OpenReceiverPort};
    // The port an open just delivered, until adopted or discarded.
    HANDLE m_hOpenedPort = INVALID_HANDLE_VALUE;
    std::vector<CLinkPolicy::Event> m_linkEvents; // waiting for RunLink
    bool m_bRunningLink = false;
    HDEVNOTIFY m_hPortNotify = nullptr;
    HDEVNOTIFY m_hInterfaceNotify = nullptr;
    unsigned m_nLinkNumber = 0; // counts the opens of the port
    bool m_bLinkWorks = false;  // bytes came since the port was adopted
    bool m_bSessionNotify = false;
    DWORD m_dwSessionId = 0;
    // The watch thread reads into this buffer and hands it over with
    // WM_RC_DATA; the main thread reads it only during that send.
    BYTE m_abyReadBuffer[READ_CHUNK] = {};
    // When the read into that buffer completed (GetTickCount64), handed over
    // the same way.
    ULONGLONG m_ullReadTimeMs = 0;
    // Windows that refused a key and that the user has been told about.
    CRefusedPostNotice m_refusedPosts;
    // The setup's request, from any session, to end.
    CExitSignal m_exitSignal;
};
