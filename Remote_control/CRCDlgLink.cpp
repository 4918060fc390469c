// The serial link of the main dialog: the receiver's port, the watch thread
// that reads it, and the reactions to port arrival, removal and failures.
#include "CRCDlg.h"

#include "CWinApp.h"
#include "MessageBox.h"
#include "RcMessages.h"

#include <dbt.h>
#include <process.h>
#include <shellapi.h>

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

// Line settings of the receiver.
constexpr DWORD READ_INTERVAL_TIMEOUT_MS = 20;
constexpr DWORD READ_TOTAL_MULTIPLIER_MS = 3;
constexpr DWORD READ_TOTAL_CONSTANT_MS = 500;
constexpr DWORD INPUT_QUEUE_SIZE = 1024;
constexpr DWORD PURGE_ALL = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// WM_RC_ERROR's wParam: access denied (the device went away) or anything else.
constexpr WPARAM LINK_ERROR_ACCESS_DENIED = 5;
constexpr WPARAM LINK_ERROR_OTHER = 0;

std::string DeviceName(int nPort) {
    return "\\\\.\\COM" + std::to_string(nPort);
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
    return nResult;
}

// OpenPort's work, under the port lock.
int CRCDlg::OpenAndConfigure(int nPort) {
    m_bPortOpen = 0;
    m_hPort = CreateFileA(DeviceName(nPort).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                          OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (m_hPort == INVALID_HANDLE_VALUE) {
        return OPEN_FAILED;
    }

    DCB dcb;
    std::memset(&dcb, 0, sizeof(dcb));
    dcb.DCBlength = sizeof(dcb);
    bool bConfigured = GetCommState(m_hPort, &dcb) != FALSE;
    if (bConfigured) {
        dcb.BaudRate = CBR_9600;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        dcb.fOutxCtsFlow = FALSE;
        dcb.fOutxDsrFlow = FALSE;
        dcb.fDsrSensitivity = FALSE;
        dcb.fOutX = FALSE;
        dcb.fInX = FALSE;
        // The lines are set below, by hand.
        dcb.fDtrControl = DTR_CONTROL_DISABLE;
        dcb.fRtsControl = RTS_CONTROL_DISABLE;
        dcb.fParity = FALSE;
        dcb.fTXContinueOnXoff = TRUE;
        dcb.fErrorChar = FALSE;
        dcb.fNull = FALSE;
        dcb.fAbortOnError = FALSE;

        // A read ends 20 ms after the last byte of a burst, so a frame's three
        // bytes arrive as one chunk.
        COMMTIMEOUTS timeouts;
        std::memset(&timeouts, 0, sizeof(timeouts));
        GetCommTimeouts(m_hPort, &timeouts);
        timeouts.ReadIntervalTimeout = READ_INTERVAL_TIMEOUT_MS;
        timeouts.ReadTotalTimeoutMultiplier = READ_TOTAL_MULTIPLIER_MS;
        timeouts.ReadTotalTimeoutConstant = READ_TOTAL_CONSTANT_MS;
        SetCommTimeouts(m_hPort, &timeouts);

        bConfigured = SetCommState(m_hPort, &dcb) && SetCommMask(m_hPort, EV_RXCHAR) &&
                      SetupComm(m_hPort, INPUT_QUEUE_SIZE, 0) && PurgeComm(m_hPort, PURGE_ALL) &&
                      EscapeCommFunction(m_hPort, SETDTR) && EscapeCommFunction(m_hPort, CLRRTS);
    }
    if (!bConfigured) {
        CloseHandle(m_hPort);
        m_hPort = INVALID_HANDLE_VALUE;
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
    if (m_bPortOpen) {
        m_csPort.Lock();
        SetCommMask(m_hPort, 0);
        PurgeComm(m_hPort, PURGE_ALL);
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
    if (m_bWatchRunning) {
        return 1;
    }
    if (m_hStopEvent == nullptr) {
        // A thread that could not be told to stop is not started.
        return 0;
    }
    // Clears a stop signal left over from a thread that had ended by itself.
    ResetEvent(m_hStopEvent);
    unsigned nThreadId = 0;
    const std::uintptr_t hThread =
        _beginthreadex(nullptr, 0, &CRCDlg::WatchThreadProc, this, 0, &nThreadId);
    if (hThread != 0) {
        m_hWatchThread = reinterpret_cast<HANDLE>(hThread);
        SetThreadPriority(m_hWatchThread, THREAD_PRIORITY_LOWEST);
        m_bWatchRunning = 1;
    }
    return m_bWatchRunning;
}

void CRCDlg::StopWatchThread() {
    if (m_hWatchThread == nullptr) {
        return;
    }
    SetEvent(m_hStopEvent);
    // The thread may be inside its send of WM_RC_DATA, which returns only once
    // this thread has handled it: go on handling sent messages while waiting.
    const DWORD dwStart = GetTickCount();
    bool bEnded = false;
    for (;;) {
        const DWORD dwElapsed = GetTickCount() - dwStart;
        if (dwElapsed >= STOP_TIMEOUT_MS) {
            break;
        }
        const DWORD dwWait = MsgWaitForMultipleObjectsEx(
            1, &m_hWatchThread, STOP_TIMEOUT_MS - dwElapsed, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (dwWait == WAIT_OBJECT_0) {
            bEnded = true;
            break;
        }
        if (dwWait != WAIT_OBJECT_0 + 1) {
            break;
        }
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    if (!bEnded) {
        TerminateThread(m_hWatchThread, 0);
    }
    CloseHandle(m_hWatchThread);
    m_hWatchThread = nullptr;
    m_bWatchRunning = 0;
}

void CRCDlg::PostLinkError(DWORD dwError) const {
    PostMessageA(m_hWnd, WM_RC_ERROR,
                 dwError == ERROR_ACCESS_DENIED ? LINK_ERROR_ACCESS_DENIED : LINK_ERROR_OTHER, 0);
}

unsigned WINAPI CRCDlg::WatchThreadProc(void* pParam) {
    CRCDlg& dlg = *static_cast<CRCDlg*>(pParam);
    // The main thread changes the handle only after stopping this thread.
    const HANDLE hPort = dlg.m_hPort;
    const HANDLE hWaitEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (hWaitEvent == nullptr) {
        dlg.PostLinkError(ERROR_SUCCESS);
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
            if (!dlg.ReadStep(hPort)) {
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
            // Whatever the event, one read.
            if (!dlg.ReadStep(hPort)) {
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
bool CRCDlg::ReadStep(HANDLE hPort) {
    const HANDLE hReadEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (hReadEvent == nullptr) {
        PostLinkError(ERROR_SUCCESS);
        return false;
    }
    OVERLAPPED ov;
    std::memset(&ov, 0, sizeof(ov));
    ov.hEvent = hReadEvent;
    DWORD dwCount = 0;
    bool bRead = false;
    bool bGoOn = true;
    if (ReadFile(hPort, m_abyReadBuffer, READ_CHUNK, &dwCount, &ov)) {
        bRead = true;
    } else if (GetLastError() == ERROR_IO_PENDING) {
        const HANDLE handles[] = {m_hStopEvent, hReadEvent};
        const DWORD dwWait = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (dwWait == WAIT_OBJECT_0) {
            AbandonIo(hPort, ov);
            bGoOn = false;
        } else if (dwWait == WAIT_OBJECT_0 + 1) {
            bRead = GetOverlappedResult(hPort, &ov, &dwCount, FALSE) != FALSE;
        } else {
            AbandonIo(hPort, ov);
        }
        if (bGoOn && !bRead) {
            PostLinkError(ERROR_SUCCESS);
            bGoOn = false;
        }
    } else {
        PostLinkError(GetLastError());
        bGoOn = false;
    }
    if (bRead) {
        // Returns once the decoder is done with the buffer; an empty chunk
        // (a read that timed out) goes too.
        SendMessageA(m_hWnd, WM_RC_DATA, reinterpret_cast<WPARAM>(m_abyReadBuffer),
                     static_cast<LPARAM>(dwCount));
    }
    CloseHandle(hReadEvent);
    return bGoOn;
}

void CRCDlg::ConnectAtStart() {
    for (int nAttempt = 1; nAttempt <= CONNECT_ATTEMPTS; ++nAttempt) {
        if (OpenPort(m_nPort) == OPEN_OK) {
            if (StartWatchThread()) {
                RemoveTrayIcon();
                ShowTrayIcon(TITLE_CONNECT, "", NIIF_INFO, TRAY_READY);
            } else {
                framework::AfxMessageBox(TEXT_NO_THREAD, MB_OK | MB_ICONSTOP);
            }
            return;
        }
        if (IsNoRetryOption() || nAttempt == CONNECT_ATTEMPTS) {
            ShowTrayIcon(TITLE_DISCONNECT, TEXT_CANNOT_OPEN, NIIF_WARNING, TRAY_NOT_READY);
            return;
        }
        Sleep(CONNECT_PAUSE_MS);
    }
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
    if ((wParam != DBT_DEVICEARRIVAL && wParam != DBT_DEVICEREMOVECOMPLETE) ||
        !IsConfiguredPort(lParam)) {
        return TRUE;
    }
    if (wParam == DBT_DEVICEARRIVAL) {
        // An open that fails stays silent: the port may come again.
        if (!IsPortOpen() && OpenPort(m_nPort) == OPEN_OK && m_hWatchThread == nullptr) {
            if (StartWatchThread()) {
                RemoveTrayIcon();
                ShowTrayIcon(TITLE_CONNECT, TEXT_ARRIVED, NIIF_INFO, TRAY_READY);
            } else {
                framework::AfxMessageBox(TEXT_NO_THREAD, MB_OK | MB_ICONSTOP);
            }
        }
        return TRUE;
    }
    RemoveTrayIcon();
    ShowTrayIcon(TITLE_DISCONNECT, TEXT_REMOVED, NIIF_WARNING, TRAY_NOT_READY);
    ClosePort();
    return TRUE;
}

LRESULT CRCDlg::OnRcError(WPARAM wParam, LPARAM) {
    if (wParam == LINK_ERROR_ACCESS_DENIED) {
        // The device went away; its removal notification closes the link.
        return 1;
    }
    RemoveTrayIcon();
    ShowTrayIcon(TITLE_ERROR, TEXT_LINK_ERROR, NIIF_ERROR, TRAY_NOT_READY);
    ClosePort();
    return 1;
}
