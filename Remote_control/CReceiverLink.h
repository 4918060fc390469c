// KV480's link to the receiver: the port, the watch thread that reads it, the
// open on a thread of its own, and the Win32 side of the link policy
// (CLinkPolicy): the events it is told (device, power and session
// notifications, the watch thread's failures, its timers on the one clock)
// and the actions it asks for. The messages arrive at the main window, whose
// message map chains in the link's own; the bytes read go to the key
// pipeline, and what else the link has to say goes to its listener
// (IReceiverLinkListener): the state to show in the tray, the console and the
// lock.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "CCriticalSection.h"
#include "CDeadlineClock.h"
#include "CKeyPipeline.h"
#include "CLinkPolicy.h"
#include "CPortOpener.h"
#include "CWorkerThread.h"
#include "IReceiverLinkListener.h"
#include "MessageMap.h"

class CSerialReader;

class CReceiverLink : public framework::MessageTarget {
public:
    using Listener = IReceiverLinkListener;

    // Each chunk the watch thread reads goes to pipeline, with the time the
    // read completed (GetTickCount64, the clock's time); chunks may be empty.
    CReceiverLink(CDeadlineClock& clock, CKeyPipeline& pipeline, Listener& listener);
    ~CReceiverLink();
    CReceiverLink(const CReceiverLink&) = delete;
    CReceiverLink& operator=(const CReceiverLink&) = delete;

    // The configured port, before ConnectAtStart.
    void SetPort(int nPort) { m_nPort = nPort; }
    // Starts the link; its messages and notifications go to hWnd.
    void ConnectAtStart(HWND hWnd);
    // Shutdown: timers, notifications, port.
    void EndLink();

    // The main window's messages that the link handles, chained into the
    // main window's map.
    const framework::MessageMap* GetMessageMap() const;

private:
    LRESULT OnRcData(WPARAM wParam, LPARAM lParam);
    LRESULT OnRcError(WPARAM wParam, LPARAM lParam);
    LRESULT OnPortOpened(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeviceChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    LRESULT OnSessionChange(WPARAM wParam, LPARAM lParam);

    bool IsPortOpen();
    // Stops the watch thread and closes the port; the handle's removal
    // notification stays when bKeepWatch (a removal under way).
    void ClosePort(bool bKeepWatch);
    bool StartWatchThread();
    // False when the thread would not end, even terminated.
    bool StopWatchThread();

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

    // The link's decisions are CLinkPolicy's; these carry them out.
    void RunLink(CLinkPolicy::Event event);
    CDeadlineClock::Timer& PolicyTimer(CLinkPolicy::Timer timer);
    bool AdoptOpenedPort();
    void ShowNotice(CLinkPolicy::Notice notice);
    void RegisterInterfaceNotification();
    void RegisterSessionNotification();
    void OnSessionRetry();
    void ReportConsole();

    // The longest chunk the watch thread reads at once.
    static constexpr DWORD READ_CHUNK = 255;

    CKeyPipeline& m_pipeline;
    Listener& m_listener;
    HWND m_hWnd = nullptr;
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
    int m_nPort = 0;
    bool m_bPortOpen = false;
    HANDLE m_hStopEvent = nullptr;
    CWorkerThread m_watchThread;
    CCriticalSection m_csPort;
    // Set while ClosePort runs: the stop lets sent messages through, and one
    // of them must not close the port underneath it.
    bool m_bClosingPort = false;
    CLinkPolicy m_linkPolicy{false};
    CPortOpener m_opener{&CReceiverLink::OpenReceiverPort};
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
    // The policy's four timers, and the retry of the registration for
    // session notifications.
    CDeadlineClock::Timer m_startPauseTimer;
    CDeadlineClock::Timer m_retryTimer;
    CDeadlineClock::Timer m_removalTimer;
    CDeadlineClock::Timer m_consoleTimer;
    CDeadlineClock::Timer m_sessionTimer;
    // The watch thread reads into this buffer and hands it over with
    // WM_RC_DATA; the main thread reads it only during that send.
    BYTE m_abyReadBuffer[READ_CHUNK] = {};
    // When the read into that buffer completed (GetTickCount64), handed over
    // the same way.
    ULONGLONG m_ullReadTimeMs = 0;
};
