// The serial link of the main dialog: the receiver's port, the watch thread
// that reads it, and the reactions to port arrival, removal and failures.
#include "CRCDlg.h"

#include "CSerialLine.h"
#include "CSerialReader.h"
#include "ClassifyLinkError.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "RcMessages.h"

#include <dbt.h>
#include <shellapi.h>
#include <wtsapi32.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
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
constexpr int CONNECT_ATTEMPTS = 5;
constexpr DWORD CONNECT_PAUSE_MS = 4000;

// Beyond this the watch thread is terminated.
constexpr DWORD STOP_TIMEOUT_MS = 5000;

// A port that went away, was given up for sleep or another session, or is
// busy, is tried again this often until it opens.
constexpr DWORD RETRY_PERIOD_MS = 2000;

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

} // namespace

int CRCDlg::OpenPort(int nPort) {
    m_csPort.Lock();
    const int nResult = OpenAndConfigure(nPort);
    m_csPort.Unlock();
    if (nResult == OPEN_OK) {
        // Tells this link's failure reports from those of an earlier one.
        ++m_nLinkNumber;
        WatchPortHandle();
    }
    return nResult;
}

// Asks to be told when the system wants to remove the open port's device (safe
// removal, driver update), so the handle does not hold the removal up.
void CRCDlg::WatchPortHandle() {
    DEV_BROADCAST_HANDLE filter;
    std::memset(&filter, 0, sizeof(filter));
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = m_hPort;
    m_hPortNotify = RegisterDeviceNotificationA(m_hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

// OpenPort's work, under the port lock.
int CRCDlg::OpenAndConfigure(int nPort) {
    m_bPortOpen = 0;
    const CSerialLine::Result result = CSerialLine::Open(nPort, ReceiverLine(), &m_hPort);
    m_dwOpenError = result.step == CSerialLine::STEP_OPEN ? result.dwError : ERROR_SUCCESS;
    if (result.step == CSerialLine::STEP_OPEN) {
        return OPEN_FAILED;
    }
    if (!result.IsOk()) {
        return OPEN_CONFIG_FAILED;
    }
    m_bPortOpen = 1;
    return OPEN_OK;
}

int CRCDlg::IsPortOpen() {
    m_csPort.Lock();
    const int bOpen = m_bPortOpen;
    m_csPort.Unlock();
    return bOpen;
}

void CRCDlg::ClosePort() {
    if (m_bClosingPort) {
        // Reached from a message handled while this same close waits for the
        // watch thread; that close finishes the job.
        return;
    }
    m_bClosingPort = true;
    StopWatchThread();
    // Before the handle it watches goes.
    if (m_hPortNotify != nullptr) {
        UnregisterDeviceNotification(m_hPortNotify);
        m_hPortNotify = nullptr;
    }
    if (m_bPortOpen) {
        m_csPort.Lock();
        SetCommMask(m_hPort, 0);
        PurgeComm(m_hPort, CSerialLine::PURGE_ALL);
        if (m_hPort != INVALID_HANDLE_VALUE) {
            CloseHandle(m_hPort);
            m_hPort = INVALID_HANDLE_VALUE;
            m_bPortOpen = 0;
        }
        m_csPort.Unlock();
    }
    m_bClosingPort = false;
}

int CRCDlg::StartWatchThread() {
    if (m_watchThread.IsRunning()) {
        return 1;
    }
    if (m_hStopEvent == nullptr) {
        // A thread that could not be told to stop is not started.
        return 0;
    }
    // Clears a stop signal left over from a thread that had ended by itself.
    ResetEvent(m_hStopEvent);
    return m_watchThread.Start(&CRCDlg::WatchThreadProc, this) ? 1 : 0;
}

void CRCDlg::StopWatchThread() {
    // The thread may be inside its send of WM_RC_DATA, which returns only once
    // this thread has handled it; one stuck elsewhere is terminated.
    m_watchThread.Stop(m_hStopEvent, STOP_TIMEOUT_MS, INFINITE);
}

void CRCDlg::PostLinkError(DWORD dwError) const {
    // The main thread changes the link number only while no thread runs.
    PostMessageA(m_hWnd, WM_RC_ERROR, dwError, static_cast<LPARAM>(m_nLinkNumber));
}

unsigned WINAPI CRCDlg::WatchThreadProc(void* pParam) {
    CRCDlg& dlg = *static_cast<CRCDlg*>(pParam);
    // The main thread changes the handle only after stopping this thread.
    const HANDLE hPort = dlg.m_hPort;
    CSerialReader reader(dlg.m_hStopEvent);
    const HANDLE hWaitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (hWaitEvent == nullptr) {
        dlg.PostLinkError(GetLastError());
        return 0;
    }
    DWORD dwEventMask = 0;
    for (;;) {
        if (!dlg.IsPortOpen()) {
            break;
        }
        // With bytes streaming in, the wait and the read below can complete at
        // once every time and never look at the stop event.
        if (WaitForSingleObject(dlg.m_hStopEvent, 0) == WAIT_OBJECT_0) {
            break;
        }
        OVERLAPPED ov;
        std::memset(&ov, 0, sizeof(ov));
        ov.hEvent = hWaitEvent;
        if (WaitCommEvent(hPort, &dwEventMask, &ov)) {
            if (!dlg.ReadStep(hPort, reader)) {
                break;
            }
            continue;
        }
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_IO_PENDING) {
            dlg.PostLinkError(dwError);
            break;
        }
        const HANDLE handles[] = {dlg.m_hStopEvent, hWaitEvent};
        const DWORD dwWait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (dwWait == WAIT_OBJECT_0) {
            AbandonCommWait(hPort, ov);
            break;
        }
        if (dwWait == WAIT_OBJECT_0 + 1) {
            // A wait that failed is how a vanished adapter often shows first.
            DWORD dwIgnored = 0;
            if (!GetOverlappedResult(hPort, &ov, &dwIgnored, FALSE)) {
                dlg.PostLinkError(GetLastError());
                break;
            }
            // Whatever the event, one read.
            if (!dlg.ReadStep(hPort, reader)) {
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
bool CRCDlg::ReadStep(HANDLE hPort, CSerialReader& reader) {
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

void CRCDlg::ConnectAtStart() {
    // The receiver follows the session at the console: one started away from
    // it (a remote session) waits until it gets the console.
    if (ProcessIdToSessionId(GetCurrentProcessId(), &m_dwSessionId)) {
        m_bConsoleAway = WTSGetActiveConsoleSessionId() != m_dwSessionId;
    }
    m_bSessionNotify = WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_THIS_SESSION) != FALSE;
    if (m_bConsoleAway) {
        m_bQuietChange = true;
        ShowLinkState(TRAY_NOT_READY, TITLE_DISCONNECT, "", NIIF_WARNING);
        return;
    }
    m_nStartAttempt = 0;
    StartAttempt();
}

// One attempt of the start-up; the pauses between them run on a timer, so the
// window answers messages meanwhile (programs broadcast at logon).
void CRCDlg::StartAttempt() {
    ++m_nStartAttempt;
    if (IsPortOpen() || !IsPortWanted()) {
        // An arrival was quicker, or the port is not ours to take now.
        m_nStartAttempt = 0;
        return;
    }
    if (OpenPort(m_nPort) == OPEN_OK) {
        LinkUp("");
        return;
    }
    if (IsNoRetryOption() || m_nStartAttempt == CONNECT_ATTEMPTS) {
        m_nStartAttempt = 0;
        ShowLinkState(TRAY_NOT_READY, TITLE_DISCONNECT, TEXT_CANNOT_OPEN, NIIF_WARNING);
        if (IsPortBusy()) {
            // Another session's KV480 may be about to let it go.
            StartRetry();
        }
        return;
    }
    SetTimer(m_hWnd, START_TIMER_ID, CONNECT_PAUSE_MS, nullptr);
}

void CRCDlg::OnLinkTimer(UINT_PTR nTimerId) {
    KillTimer(m_hWnd, nTimerId);
    if (nTimerId == START_TIMER_ID) {
        StartAttempt();
        return;
    }
    if (!IsPortWanted() || IsPortOpen()) {
        return;
    }
    if (OpenPort(m_nPort) == OPEN_OK) {
        LinkUp(m_bQuietChange ? "" : TEXT_ARRIVED);
        return;
    }
    // Quietly on until it works.
    StartRetry();
}

void CRCDlg::StartRetry() {
    SetTimer(m_hWnd, RETRY_TIMER_ID, RETRY_PERIOD_MS, nullptr);
}

void CRCDlg::LinkUp(const char* pszText) {
    KillTimer(m_hWnd, START_TIMER_ID);
    KillTimer(m_hWnd, RETRY_TIMER_ID);
    m_nStartAttempt = 0;
    m_bQuietChange = false;
    if (StartWatchThread()) {
        ShowLinkState(TRAY_READY, TITLE_CONNECT, pszText, NIIF_INFO);
    } else {
        framework::AfxMessageBox(TEXT_NO_THREAD, MB_OK | MB_ICONSTOP);
    }
}

void CRCDlg::LinkLost(const char* pszTitle, const char* pszText, DWORD nBalloonIcon, bool bRetry) {
    ClosePort();
    m_bQuietChange = false;
    ShowLinkState(TRAY_NOT_READY, pszTitle, pszText, nBalloonIcon);
    if (bRetry) {
        StartRetry();
    }
}

void CRCDlg::ReleasePort() {
    KillTimer(m_hWnd, START_TIMER_ID);
    KillTimer(m_hWnd, RETRY_TIMER_ID);
    m_nStartAttempt = 0;
    if (IsPortOpen()) {
        ClosePort();
        // Given up on purpose: the icon tells, without a balloon.
        m_bQuietChange = true;
        ShowLinkState(TRAY_NOT_READY, TITLE_DISCONNECT, "", NIIF_WARNING);
    }
}

void CRCDlg::ReclaimPort() {
    if (IsPortWanted() && !IsPortOpen()) {
        // Adapters come back seconds after a resume: at once, then by the retry.
        OnLinkTimer(RETRY_TIMER_ID);
    }
}

void CRCDlg::EndLink() {
    KillTimer(m_hWnd, START_TIMER_ID);
    KillTimer(m_hWnd, RETRY_TIMER_ID);
    if (m_bSessionNotify) {
        WTSUnRegisterSessionNotification(m_hWnd);
        m_bSessionNotify = false;
    }
    if (IsPortOpen()) {
        ClosePort();
    }
}

void CRCDlg::ShowLinkState(int nIconState, const char* pszTitle, const char* pszText,
                           DWORD nBalloonIcon) {
    // One notification per change: an unplug that the watch thread notices
    // before the removal notice arrives is told once.
    if (m_trayIcon.IsShowing(nIconState)) {
        return;
    }
    RemoveTrayIcon();
    ShowTrayIcon(pszTitle, pszText, nBalloonIcon, nIconState);
}

bool CRCDlg::IsPortWanted() const {
    return !m_bSuspended && !m_bConsoleAway;
}

bool CRCDlg::IsPortBusy() const {
    return m_dwOpenError == ERROR_ACCESS_DENIED || m_dwOpenError == ERROR_SHARING_VIOLATION;
}

// Whether a device notification's record names the configured port. Nothing
// beyond the size the record gives for itself is read.
bool CRCDlg::IsConfiguredPort(LPARAM lParam) const {
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

LRESULT CRCDlg::OnDeviceChange(WPARAM wParam, LPARAM lParam) {
    // Only these events carry a record; for the others lParam is no pointer.
    if (wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE &&
        wParam != DBT_DEVICEQUERYREMOVE && wParam != DBT_DEVICEQUERYREMOVEFAILED &&
        wParam != DBT_DEVICEREMOVEPENDING) {
        return TRUE;
    }
    if (lParam != 0 &&
        reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)->dbch_devicetype == DBT_DEVTYP_HANDLE) {
        OnPortHandleChange(wParam);
        return TRUE;
    }
    if ((wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) ||
        !IsConfiguredPort(lParam)) {
        return TRUE;
    }
    if (wParam == DBT_DEVICEARRIVAL) {
        // An open that fails stays silent: the port may come again.
        if (!IsPortOpen() && IsPortWanted()) {
            if (OpenPort(m_nPort) == OPEN_OK) {
                LinkUp(TEXT_ARRIVED);
            } else if (IsPortBusy()) {
                StartRetry();
            }
        }
        return TRUE;
    }
    // The arrival brings it back.
    LinkLost(TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING, false);
    return TRUE;
}

// Notifications for the open port's handle. Only the window that asked gets
// them, and this one asks only for its port, so every such record is ours.
void CRCDlg::OnPortHandleChange(WPARAM wParam) {
    switch (wParam) {
    case DBT_DEVICEQUERYREMOVE:
        // Let go, so the removal can go ahead; should it be called off, the
        // retry takes the port again.
        if (IsPortOpen()) {
            LinkLost(TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING, true);
        }
        break;
    case DBT_DEVICEQUERYREMOVEFAILED:
        ReclaimPort();
        break;
    case DBT_DEVICEREMOVEPENDING:
    case DBT_DEVICEREMOVECOMPLETE:
        // Removed without asking first.
        if (IsPortOpen()) {
            LinkLost(TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING, true);
        }
        break;
    default:
        break;
    }
}

LRESULT CRCDlg::OnRcError(WPARAM wParam, LPARAM lParam) {
    // A report from a link that is closed already (removed, reopened since)
    // is old news.
    if (static_cast<unsigned>(lParam) != m_nLinkNumber || !IsPortOpen()) {
        return 1;
    }
    if (ClassifyLinkError(static_cast<std::uint32_t>(wParam)) == LinkError::DeviceGone) {
        LinkLost(TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING, true);
    } else {
        LinkLost(TITLE_ERROR, TEXT_LINK_ERROR, NIIF_ERROR, false);
    }
    return 1;
}

LRESULT CRCDlg::OnPowerBroadcast(WPARAM wParam, LPARAM) {
    if (wParam == PBT_APMSUSPEND) {
        m_bSuspended = true;
        ReleasePort();
    } else if ((wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) &&
               m_bSuspended) {
        m_bSuspended = false;
        ReclaimPort();
    }
    return TRUE;
}

LRESULT CRCDlg::OnSessionChange(WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != m_dwSessionId) {
        return 0;
    }
    // Another session takes the console (fast user switching, a remote
    // connection): its KV480 gets the receiver.
    if (wParam == WTS_CONSOLE_DISCONNECT) {
        m_bConsoleAway = true;
        ReleasePort();
    } else if (wParam == WTS_CONSOLE_CONNECT && m_bConsoleAway) {
        m_bConsoleAway = false;
        ReclaimPort();
    }
    return 0;
}
