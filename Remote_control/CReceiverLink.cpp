#include "CReceiverLink.h"

#include "CSerialLine.h"
#include "CSerialReader.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "RcMessages.h"

#include <dbt.h>
#include <process.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

namespace {

const char* const TITLE_CONNECT = "Remote Control - Connect";
const char* const TITLE_DISCONNECT = "Remote Control - Disconnect";
const char* const TITLE_ERROR = "Remote Control - ERROR";
const char* const TEXT_CANNOT_OPEN =
    "Cannot open port of device.\nPlease connect the device or configure it.";
const char* const TEXT_ARRIVED = "Device was connect. Ready to use.";
const char* const TEXT_REMOVED = "Device was disconnect. Not ready to use.";
const char* const TEXT_LINK_ERROR = "Any ERROR was occured. Device NOT READY to use!";
const char* const TEXT_NO_THREAD = "Cannot run watch thread.";

// The option of the configuration utility's restart: one attempt only.
const char* const NO_RETRY_OPTION = "-nr";

// Beyond this the watch thread is left to end by itself (one stuck in a
// driver request keeps its port to the end of the process).
constexpr DWORD STOP_TIMEOUT_MS = 5000;

// A registration for session notifications fails until the session service
// runs (early at logon); tried again this often.
constexpr DWORD SESSION_REGISTER_RETRY_MS = 5000;

// The COM port device interface class (GUID_DEVINTERFACE_COMPORT): drivers
// that never broadcast a port arrival (usbser, many virtual ports) still
// announce their interface.
const GUID COMPORT_INTERFACE = {
    0x86E0D1E0, 0x8089, 0x11D0, {0x9C, 0xE4, 0x08, 0x00, 0x3E, 0x30, 0x1F, 0x73}};

// The receiver's line (the record's 9600 8N1). A read ends 20 ms after the
// last byte of a burst, so a frame's three bytes arrive as one chunk. The
// queue size, purge and lines are best effort: some virtual, Bluetooth and
// minimal USB drivers reject one of them, and the port reads all the same.
CSerialLine::Settings ReceiverLine() {
    CSerialLine::Settings settings;
    settings.readTimeouts = {20, 3, 500};
    settings.dwEventMask = EV_RXCHAR;
    settings.queueSizes = {1024, 0};
    settings.bPreparationRequired = false;
    return settings;
}

bool IsNoRetryOption() {
    const CWinApp* pApp = framework::AfxGetApp();
    return pApp != nullptr && pApp->GetArguments().size() == 1 &&
           pApp->GetArguments()[0] == NO_RETRY_OPTION;
}

// Withdraws an overlapped operation that may still be running and waits until
// the system is done with its record and result, which live on the caller's
// stack.
void AbandonIo(HANDLE hPort, OVERLAPPED& ov) {
    CancelIo(hPort);
    DWORD dwIgnored = 0;
    GetOverlappedResult(hPort, &ov, &dwIgnored, TRUE);
}

// The same for a comm-event wait, which not every driver cancels: a new event
// mask ends it. The port is closed after this anyway.
void AbandonCommWait(HANDLE hPort, OVERLAPPED& ov) {
    SetCommMask(hPort, 0);
    AbandonIo(hPort, ov);
}

// What WaitForCommEvent returns for a wait that Wine has let go (below).
constexpr DWORD COMM_WAIT_LOST = WAIT_OBJECT_0 + 2;

// Waits for the stop event or the end of the pending comm-event wait in ov:
// WAIT_OBJECT_0 for the stop, WAIT_OBJECT_0 + 1 when the wait has ended,
// COMM_WAIT_LOST when it never will, anything else for a failed wait.
// Wine at times sets the event of a wait as bytes arrive but never stores its
// result (ERROR_IO_INCOMPLETE for good: neither new bytes nor a new mask end
// it). Taken for a failure, that reopened the port and lost the arriving
// frame; the read that follows takes it instead.
DWORD WaitForCommEvent(HANDLE hPort, OVERLAPPED& ov, HANDLE hStopEvent, DWORD dwEventMask) {
    const HANDLE handles[] = {hStopEvent, ov.hEvent};
    const DWORD dwWait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    DWORD dwIgnored = 0;
    if (dwWait != WAIT_OBJECT_0 + 1 || GetOverlappedResult(hPort, &ov, &dwIgnored, FALSE) ||
        GetLastError() != ERROR_IO_INCOMPLETE) {
        return dwWait;
    }
    // Should the wait live on after all, it ends here rather than later (its
    // record is the next wait's, on this same stack, which a late result
    // would only end early: a read follows every wait).
    SetCommMask(hPort, dwEventMask);
    return COMM_WAIT_LOST;
}

} // namespace

CReceiverLink::CReceiverLink(CDeadlineClock& clock, CKeyPipeline& pipeline, Listener& listener)
    : m_pipeline(pipeline), m_listener(listener),
      m_hStopEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_startPauseTimer(clock, [this] { RunLink(CLinkPolicy::Event::StartPauseOver); }),
      m_retryTimer(clock, [this] { RunLink(CLinkPolicy::Event::RetryDue); }),
      m_removalTimer(clock, [this] { RunLink(CLinkPolicy::Event::RemovalWaitOver); }),
      m_consoleTimer(clock, [this] { RunLink(CLinkPolicy::Event::ConsoleAskDue); }),
      m_sessionTimer(clock, [this] { OnSessionRetry(); }) {}

CReceiverLink::~CReceiverLink() {
    if (m_hStopEvent != nullptr) {
        CloseHandle(m_hStopEvent);
    }
}

const framework::MessageMap* CReceiverLink::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_RC_DATA, 0, Handler<&CReceiverLink::OnRcData>},
        {WM_RC_ERROR, 0, Handler<&CReceiverLink::OnRcError>},
        {WM_RC_OPENED, 0, Handler<&CReceiverLink::OnPortOpened>},
        {WM_DEVICECHANGE, 0, Handler<&CReceiverLink::OnDeviceChange>},
        {WM_POWERBROADCAST, 0, Handler<&CReceiverLink::OnPowerBroadcast>},
        {WM_WTSSESSION_CHANGE, 0, Handler<&CReceiverLink::OnSessionChange>},
    };
    static const framework::MessageMap map{nullptr, entries, std::size(entries)};
    return &map;
}

// Asks to be told when the system wants to remove the open port's device (safe
// removal, driver update), so the handle does not hold the removal up.
void CReceiverLink::WatchPortHandle() {
    DEV_BROADCAST_HANDLE filter;
    std::memset(&filter, 0, sizeof(filter));
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = m_hPort;
    m_hPortNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CReceiverLink::UnwatchPortHandle() {
    if (m_hPortNotify != nullptr) {
        UnregisterDeviceNotification(m_hPortNotify);
        m_hPortNotify = nullptr;
    }
}

// Runs on the opener's thread: opens the port and sets it up for the
// receiver; the port, or INVALID_HANDLE_VALUE with the failing call's error.
HANDLE CReceiverLink::OpenReceiverPort(int nPort, DWORD* pdwError) {
    HANDLE hPort = INVALID_HANDLE_VALUE;
    *pdwError = CSerialLine::Open(nPort, ReceiverLine(), &hPort).dwError;
    return hPort;
}

bool CReceiverLink::IsPortOpen() {
    m_csPort.Lock();
    const bool bOpen = m_bPortOpen;
    m_csPort.Unlock();
    return bOpen;
}

// Stops the watch thread and closes the port; the handle's removal
// notification stays when bKeepWatch (a removal under way).
void CReceiverLink::ClosePort(bool bKeepWatch) {
    if (m_bClosingPort) {
        // Reached from a message handled while this same close waits for the
        // watch thread; that close finishes the job.
        return;
    }
    m_bClosingPort = true;
    const bool bStopped = StopWatchThread();
    // Before the handle it watches goes.
    if (!bKeepWatch) {
        UnwatchPortHandle();
    }
    m_csPort.Lock();
    if (m_hPort != INVALID_HANDLE_VALUE) {
        if (bStopped) {
            SetCommMask(m_hPort, 0);
            PurgeComm(m_hPort, CSerialLine::PURGE_ALL);
            CloseHandle(m_hPort);
        }
        // A thread stuck in a driver request keeps the port to the end of
        // the process; the link goes on with new opens, refused while it lasts.
        m_hPort = INVALID_HANDLE_VALUE;
    }
    m_bPortOpen = false;
    m_csPort.Unlock();
    m_bClosingPort = false;
}

bool CReceiverLink::StartWatchThread() {
    if (m_watchThread.IsRunning()) {
        return true;
    }
    if (m_hStopEvent == nullptr) {
        // A thread that could not be told to stop is not started.
        return false;
    }
    // Clears a stop signal left over from a thread that had ended by itself.
    ResetEvent(m_hStopEvent);
    return m_watchThread.Start(&CReceiverLink::WatchThreadProc, this);
}

bool CReceiverLink::StopWatchThread() {
    // The thread may be inside its send of WM_RC_DATA, which returns only once
    // this thread has handled it; one stuck elsewhere is terminated, and one
    // inside a driver request that never completes cannot finish that: the
    // wait is bounded, since the main thread may be in a suspend notice that
    // Windows gives 2 s.
    return m_watchThread.Stop(m_hStopEvent, STOP_TIMEOUT_MS);
}

void CReceiverLink::PostLinkError(DWORD dwError) const {
    // The main thread changes the link number only while no thread runs.
    PostMessageA(m_hWnd, WM_RC_ERROR, dwError, static_cast<LPARAM>(m_nLinkNumber));
}

unsigned WINAPI CReceiverLink::WatchThreadProc(void* pParam) {
    CReceiverLink& link = *static_cast<CReceiverLink*>(pParam);
    // The main thread changes the handle only after stopping this thread.
    const HANDLE hPort = link.m_hPort;
    CSerialReader reader(link.m_hStopEvent);
    const HANDLE hWaitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (hWaitEvent == nullptr) {
        link.PostLinkError(GetLastError());
        return 0;
    }
    DWORD dwEventMask = 0;
    for (;;) {
        if (!link.IsPortOpen()) {
            break;
        }
        // With bytes streaming in, the wait and the read below can complete at
        // once every time and never look at the stop event.
        if (WaitForSingleObject(link.m_hStopEvent, 0) == WAIT_OBJECT_0) {
            break;
        }
        OVERLAPPED ov;
        std::memset(&ov, 0, sizeof(ov));
        ov.hEvent = hWaitEvent;
        // A wait that completed at once leaves the event set, and Wine does
        // not clear it when the next wait starts: cleared here, so a set
        // event means this wait has ended.
        ResetEvent(hWaitEvent);
        if (WaitCommEvent(hPort, &dwEventMask, &ov)) {
            if (!link.ReadStep(hPort, reader)) {
                break;
            }
            continue;
        }
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_IO_PENDING) {
            link.PostLinkError(dwError);
            break;
        }
        const DWORD dwWait =
            WaitForCommEvent(hPort, ov, link.m_hStopEvent, ReceiverLine().dwEventMask);
        if (dwWait == WAIT_OBJECT_0) {
            AbandonCommWait(hPort, ov);
            break;
        }
        if (dwWait == WAIT_OBJECT_0 + 1 || dwWait == COMM_WAIT_LOST) {
            // A wait that failed is how a vanished adapter often shows first.
            DWORD dwIgnored = 0;
            if (dwWait == WAIT_OBJECT_0 + 1 &&
                !GetOverlappedResult(hPort, &ov, &dwIgnored, FALSE)) {
                link.PostLinkError(GetLastError());
                break;
            }
            // Whatever the event, one read.
            if (!link.ReadStep(hPort, reader)) {
                break;
            }
        } else {
            AbandonCommWait(hPort, ov);
        }
    }
    CloseHandle(hWaitEvent);
    return 0;
}

// One read on the watch thread, handed to the main thread. False when the
// thread has to end: stopped, or a failure that has been reported.
bool CReceiverLink::ReadStep(HANDLE hPort, CSerialReader& reader) {
    DWORD dwCount = 0;
    DWORD dwError = ERROR_SUCCESS;
    const CSerialReader::Outcome outcome =
        reader.Read(hPort, m_abyReadBuffer, READ_CHUNK, INFINITE, &dwCount, &dwError);
    if (outcome == CSerialReader::READ_STOPPED) {
        return false;
    }
    if (outcome != CSerialReader::READ_DONE) {
        PostLinkError(dwError);
        return false;
    }
    // Returns once the decoder is done with the buffer; an empty chunk (a read
    // that timed out) goes too. The decoder joins the pieces of a frame by the
    // time each read completed.
    m_ullReadTimeMs = GetTickCount64();
    SendMessageA(m_hWnd, WM_RC_DATA, reinterpret_cast<WPARAM>(m_abyReadBuffer),
                 static_cast<LPARAM>(dwCount));
    return true;
}

void CReceiverLink::ConnectAtStart(HWND hWnd) {
    m_hWnd = hWnd;
    m_linkPolicy = CLinkPolicy(IsNoRetryOption());
    RegisterInterfaceNotification();
    // Registered before the console is read, so a change in between is told.
    RegisterSessionNotification();
    ReportConsole();
    RunLink(CLinkPolicy::Event::Start);
}

void CReceiverLink::RegisterInterfaceNotification() {
    DEV_BROADCAST_DEVICEINTERFACE_A filter;
    std::memset(&filter, 0, sizeof(filter));
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = COMPORT_INTERFACE;
    m_hInterfaceNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void CReceiverLink::RegisterSessionNotification() {
    m_bSessionNotify = WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (!m_bSessionNotify) {
        m_sessionTimer.SetAfter(SESSION_REGISTER_RETRY_MS);
    }
}

// Tells the link whether this session has the console (the receiver follows
// the session at the console). Unknown session: taken as at the console.
void CReceiverLink::ReportConsole() {
    if (ProcessIdToSessionId(GetCurrentProcessId(), &m_dwSessionId)) {
        RunLink(CLinkPolicy::ConsoleEvent(m_dwSessionId, WTSGetActiveConsoleSessionId()));
    }
}

// Hands an event to the policy and carries out its actions. An event that
// arrives meanwhile (a message sent while the watch thread stops, a failure
// of an action) waits its turn, so the actions of one event stay together.
void CReceiverLink::RunLink(CLinkPolicy::Event event) {
    using Event = CLinkPolicy::Event;
    using Kind = CLinkPolicy::Action::Kind;
    m_linkEvents.push_back(event);
    if (m_bRunningLink) {
        return;
    }
    m_bRunningLink = true;
    while (!m_linkEvents.empty()) {
        const Event next = m_linkEvents.front();
        m_linkEvents.erase(m_linkEvents.begin());
        for (const CLinkPolicy::Action& action : m_linkPolicy.OnEvent(next)) {
            switch (action.kind) {
            case Kind::Open:
                if (!m_opener.Start(m_hWnd, WM_RC_OPENED, m_nPort)) {
                    m_linkEvents.push_back(Event::OpenFailed);
                }
                break;
            case Kind::Adopt:
                if (!AdoptOpenedPort()) {
                    m_linkEvents.push_back(Event::LinkFault);
                }
                break;
            case Kind::Discard:
                if (m_hOpenedPort != INVALID_HANDLE_VALUE) {
                    CloseHandle(m_hOpenedPort);
                    m_hOpenedPort = INVALID_HANDLE_VALUE;
                }
                break;
            case Kind::Close:
                ClosePort(false);
                break;
            case Kind::CloseKeepWatch:
                ClosePort(true);
                break;
            case Kind::Unwatch:
                UnwatchPortHandle();
                break;
            case Kind::ArmTimer:
                PolicyTimer(action.timer).SetAfter(action.delayMs);
                break;
            case Kind::KillTimer:
                PolicyTimer(action.timer).Cancel();
                break;
            case Kind::Show:
                ShowNotice(action.notice);
                break;
            case Kind::AskConsole:
                if (ProcessIdToSessionId(GetCurrentProcessId(), &m_dwSessionId)) {
                    m_linkEvents.push_back(
                        CLinkPolicy::ConsoleEvent(m_dwSessionId, WTSGetActiveConsoleSessionId()));
                }
                break;
            }
        }
    }
    m_bRunningLink = false;
    m_listener.OnConsoleAway(m_linkPolicy.IsConsoleAway());
}

CDeadlineClock::Timer& CReceiverLink::PolicyTimer(CLinkPolicy::Timer timer) {
    switch (timer) {
    case CLinkPolicy::Timer::StartPause:
        return m_startPauseTimer;
    case CLinkPolicy::Timer::Retry:
        return m_retryTimer;
    case CLinkPolicy::Timer::RemovalWait:
        return m_removalTimer;
    case CLinkPolicy::Timer::ConsoleAsk:
        return m_consoleTimer;
    }
    return m_retryTimer;
}

void CReceiverLink::OnSessionRetry() {
    RegisterSessionNotification();
    if (m_bSessionNotify) {
        // A change before the registration went untold.
        ReportConsole();
    }
}

LRESULT CReceiverLink::OnPortOpened(WPARAM wParam, LPARAM) {
    HANDLE hPort = INVALID_HANDLE_VALUE;
    DWORD dwError = ERROR_SUCCESS;
    // Any process can post this message number: only the open under way counts.
    if (!m_opener.TakeResult(wParam, &hPort, &dwError)) {
        return 0;
    }
    m_hOpenedPort = hPort;
    RunLink(hPort != INVALID_HANDLE_VALUE ? CLinkPolicy::Event::OpenDone
                                          : CLinkPolicy::Event::OpenFailed);
    return 0;
}

// Takes the port just opened into use: its removal notification and its
// watch thread. False when the thread could not start (the port is then
// open but unread, and closed by the fault that follows).
bool CReceiverLink::AdoptOpenedPort() {
    m_csPort.Lock();
    m_hPort = m_hOpenedPort;
    m_bPortOpen = m_hPort != INVALID_HANDLE_VALUE;
    m_csPort.Unlock();
    m_hOpenedPort = INVALID_HANDLE_VALUE;
    // Tells this link's failure reports from those of an earlier one.
    ++m_nLinkNumber;
    m_bLinkWorks = false;
    WatchPortHandle();
    if (!StartWatchThread()) {
        framework::AfxMessageBox(TEXT_NO_THREAD, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

void CReceiverLink::ShowNotice(CLinkPolicy::Notice notice) {
    switch (notice) {
    case CLinkPolicy::Notice::Ready:
        m_listener.ShowLinkState(true, TITLE_CONNECT, "", NIIF_INFO);
        break;
    case CLinkPolicy::Notice::Arrived:
        m_listener.ShowLinkState(true, TITLE_CONNECT, TEXT_ARRIVED, NIIF_INFO);
        break;
    case CLinkPolicy::Notice::CannotOpen:
        m_listener.ShowLinkState(false, TITLE_DISCONNECT, TEXT_CANNOT_OPEN, NIIF_WARNING);
        break;
    case CLinkPolicy::Notice::Removed:
        m_listener.ShowLinkState(false, TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING);
        break;
    case CLinkPolicy::Notice::Fault:
        m_listener.ShowLinkState(false, TITLE_ERROR, TEXT_LINK_ERROR, NIIF_ERROR);
        break;
    case CLinkPolicy::Notice::QuietDown:
        m_listener.ShowLinkState(false, TITLE_DISCONNECT, "", NIIF_WARNING);
        break;
    }
}

void CReceiverLink::EndLink() {
    m_sessionTimer.Cancel();
    RunLink(CLinkPolicy::Event::End);
    // An open still running closes its port itself when it ends.
    m_opener.Abandon();
    if (m_hInterfaceNotify != nullptr) {
        UnregisterDeviceNotification(m_hInterfaceNotify);
        m_hInterfaceNotify = nullptr;
    }
    if (m_bSessionNotify) {
        WTSUnRegisterSessionNotification(m_hWnd);
        m_bSessionNotify = false;
    }
    if (IsPortOpen()) {
        ClosePort(false);
    }
}

// Whether a device notification's record names the configured port. Nothing
// beyond the size the record gives for itself is read.
bool CReceiverLink::IsConfiguredPort(LPARAM lParam) const {
    if (lParam == 0) {
        return false;
    }
    const auto* pHeader = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
    if (pHeader->dbch_devicetype != DBT_DEVTYP_PORT) {
        return false;
    }
    const std::size_t nNameOffset = offsetof(DEV_BROADCAST_PORT_A, dbcp_name);
    if (pHeader->dbch_size <= nNameOffset) {
        return false;
    }
    // The name ends within the record, or it is not a name.
    const char* pszName = reinterpret_cast<const DEV_BROADCAST_PORT_A*>(pHeader)->dbcp_name;
    const std::size_t nMax = pHeader->dbch_size - nNameOffset;
    const void* pEnd = std::memchr(pszName, '\0', nMax);
    if (pEnd == nullptr) {
        return false;
    }
    const std::string strName(pszName, static_cast<const char*>(pEnd));
    return strName == "COM" + std::to_string(m_nPort);
}

LRESULT CReceiverLink::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    // Some device came or went: ours may be among them.
    if (wParam == DBT_DEVNODES_CHANGED) {
        RunLink(CLinkPolicy::Event::Arrival);
        return TRUE;
    }
    // Only these events carry a record; for the others lParam is no pointer.
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE &&
        wParam != DBT_DEVICEQUERYREMOVE && wParam != DBT_DEVICEQUERYREMOVEFAILED &&
        wParam != DBT_DEVICEREMOVEPENDING) {
        return TRUE;
    }
    if (lParam == 0) {
        return TRUE;
    }
    const DWORD dwType = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype;
    if (dwType == DBT_DEVTYP_HANDLE) {
        OnPortHandleChange(wParam);
        return TRUE;
    }
    if (dwType == DBT_DEVTYP_DEVICEINTERFACE) {
        // Only the COM port class was asked for; the port's name is not in
        // the record, so any arrival is worth a try.
        if (wParam == DBT_DEVICEARRIVAL) {
            RunLink(CLinkPolicy::Event::Arrival);
        }
        return TRUE;
    }
    if (!IsConfiguredPort(lParam)) {
        return TRUE;
    }
    if (wParam == DBT_DEVICEARRIVAL) {
        RunLink(CLinkPolicy::Event::Arrival);
    } else if (wParam == DBT_DEVICEREMOVECOMPLETE) {
        RunLink(CLinkPolicy::Event::PortRemoved);
    }
    return TRUE;
}

// Notifications for the open port's handle. Only the window that asked gets
// them, and this one asks only for its port, so every such record is ours.
void CReceiverLink::OnPortHandleChange(WPARAM wParam) {
    switch (wParam) {
    case DBT_DEVICEQUERYREMOVE:
        RunLink(CLinkPolicy::Event::QueryRemove);
        break;
    case DBT_DEVICEQUERYREMOVEFAILED:
        RunLink(CLinkPolicy::Event::QueryRemoveFailed);
        break;
    case DBT_DEVICEREMOVEPENDING:
    case DBT_DEVICEREMOVECOMPLETE:
        RunLink(CLinkPolicy::Event::RemoveComplete);
        break;
    default:
        break;
    }
}

LRESULT CReceiverLink::OnRcData(WPARAM wParam, LPARAM lParam) {
    // Any process can send this message number: take only the watch thread's
    // own buffer, and never more than it holds.
    if (wParam != reinterpret_cast<WPARAM>(m_abyReadBuffer) || lParam < 0 ||
        static_cast<ULONG_PTR>(lParam) > sizeof(m_abyReadBuffer)) {
        return 0;
    }
    if (lParam > 0 && !m_bLinkWorks) {
        m_bLinkWorks = true;
        RunLink(CLinkPolicy::Event::DataArrived);
    }
    m_pipeline.Bytes(m_abyReadBuffer, static_cast<std::size_t>(lParam), m_ullReadTimeMs);
    return 1;
}

LRESULT CReceiverLink::OnRcError(WPARAM wParam, LPARAM lParam) {
    // A report from a link that is closed already (removed, reopened since)
    // is old news.
    if (static_cast<unsigned>(lParam) != m_nLinkNumber || !IsPortOpen()) {
        return 1;
    }
    RunLink(CLinkPolicy::FailureEvent(static_cast<std::uint32_t>(wParam)));
    return 1;
}

LRESULT CReceiverLink::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if (wParam == PBT_APMSUSPEND) {
        RunLink(CLinkPolicy::Event::Suspend);
    } else if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        RunLink(CLinkPolicy::Event::Resume);
    }
    return TRUE;
}

LRESULT CReceiverLink::OnSessionChange(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != m_dwSessionId) {
        return 0;
    }
    if (wParam == WTS_SESSION_LOCK) {
        m_listener.OnSessionLocked();
    }
    // Another session takes the console (fast user switching, a remote
    // connection): its KV480 gets the receiver.
    if (wParam == WTS_CONSOLE_DISCONNECT) {
        RunLink(CLinkPolicy::Event::ConsoleAway);
    } else if (wParam == WTS_CONSOLE_CONNECT) {
        RunLink(CLinkPolicy::Event::ConsoleHere);
    }
    return 0;
}
