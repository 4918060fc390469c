// The two detections: the port search listens on every port for a held key,
// the address detection on the chosen port for clicked keys. A worker thread
// does the listening; it reports by posted messages and asks the dialog's
// thread to change the type, so that all dialog state stays on that thread.
#include "CRCconfigDlg.h"

#include "AddressText.h"
#include "BluetoothPort.h"
#include "CAddressDetector.h"
#include "CPortEnum.h"
#include "CPortOpener.h"
#include "CPortProbe.h"
#include "CSerialLine.h"
#include "CSerialReader.h"
#include "PortNumberFromName.h"
#include "resource.h"

namespace {

const char* const TEXT_PORT_SEARCH = "Now will be detected remote control automatically.\n\n"
                                     "Please press and hold any button of remote control\n"
                                     "until detecting is in progress.";
const char* const TEXT_NO_THREAD = "Cannot run detect thread.";
const char* const TEXT_PORT_FOUND = "Autodetect successfull.";
const char* const TEXT_PORT_NOT_FOUND = "Remote control wasn't automatically detected.\n\n"
                                        "You can select port of remote control manually.";
const char* const TEXT_ADDRESS_DETECTION =
    "Now several times click on any button of Remote Control.\n"
    "If address is detected, detecting is automatically stopped.";
const char* const TEXT_STOP_QUESTION =
    "Address of RC wasn't detected!\nAre you sure to stop detecting?";
const char* const TEXT_ADDRESS_FOUND = "Address of RC was successfully detected";
const char* const TEXT_ADDRESS_NOT_FOUND = "Address wasn't detected.\n\n";

const char* const CAPTION_PORT_IDLE = "Auto Detect CommPort";
const char* const CAPTION_IN_PROGRESS = "... in progress";
const char* const CAPTION_BLINK_OFF = " ";
const char* const CAPTION_START_ADDRESS = "Start Detect Address";
const char* const CAPTION_STOP_ADDRESS = "Stop Detect Address";

constexpr UINT_PTR BLINK_TIMER_ID = 0;
constexpr UINT BLINK_PERIOD_MS = 400;

// Beyond this a worker that was asked to stop is terminated. A worker never
// waits for a hanging open (CPortOpener), so Stop, OK and Cancel answer
// within a second; the bound is for a worker that is stuck elsewhere, and a
// short one would terminate healthy workers on a busy machine.
constexpr DWORD STOP_TIMEOUT_MS = 4000;
constexpr DWORD TERMINATED_TIMEOUT_MS = 1000;

// A read that the driver does not end in time is abandoned after this.
constexpr DWORD READ_GRACE_MS = 1000;

// Probing line: the receiver's line format (the record's 9600 8N1); every
// read ends after 2000 ms at the latest. Each step of the preparation must
// work, or the port is not probed.
constexpr DWORD READ_TIMEOUT_MS = 2000;
CSerialLine::Settings ProbingLine() {
    CSerialLine::Settings settings;
    settings.readTimeouts = {0, 0, READ_TIMEOUT_MS};
    settings.queueSizes = {1000, 0};
    settings.bPreparationRequired = true;
    return settings;
}

} // namespace

void CRCconfigDlg::OnAutoDetectCommPort() {
    EnableControl(IDC_AUTO_DETECT_ADDRESS, FALSE);
    EnableControl(IDC_AUTO_DETECT_PORT, FALSE);
    ShowMessage(TEXT_PORT_SEARCH, MB_OK | MB_ICONINFORMATION);
    StopDetectThread();
    m_progress.SetRange32(0, m_comboPort.GetCount());
    m_progress.SetPos(0);
    m_progress.SetStep(1);
    ShowProgress(TRUE);
    if (StartDetectThread()) {
        SetControlText(IDC_AUTO_DETECT_PORT, CAPTION_IN_PROGRESS);
        SetTimer(m_hWnd, BLINK_TIMER_ID, BLINK_PERIOD_MS, nullptr);
        return;
    }
    ShowMessage(TEXT_NO_THREAD, MB_OK | MB_ICONEXCLAMATION);
    // Back to idle: the user may try again or choose the port by hand.
    ShowProgress(FALSE);
    EnableControl(IDC_AUTO_DETECT_PORT, TRUE);
    EnableControl(IDC_AUTO_DETECT_ADDRESS, TRUE);
}

LRESULT CRCconfigDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam == BLINK_TIMER_ID) {
        SetControlText(IDC_AUTO_DETECT_PORT, m_bBlink ? CAPTION_IN_PROGRESS : CAPTION_BLINK_OFF);
        m_bBlink = !m_bBlink;
    }
    return Default();
}

LRESULT CRCconfigDlg::OnPortDetected(WPARAM wParam, LPARAM lParam) {
    SetForegroundWindow(m_hWnd);
    m_progress.SetPos(m_comboPort.GetCount());
    if (wParam != 0) {
        // Take the check box first: showing the port must not undo a change
        // the user made while the search ran.
        UpdateData(TRUE);
        m_nCommPort = static_cast<int>(lParam);
        UpdateData(FALSE);
        ShowMessage(TEXT_PORT_FOUND, MB_OK | MB_ICONINFORMATION);
        SelectPort(m_nCommPort);
    } else {
        ShowMessage(TEXT_PORT_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
    }
    KillTimer(m_hWnd, BLINK_TIMER_ID);
    ShowProgress(FALSE);
    SetControlText(IDC_AUTO_DETECT_PORT, CAPTION_PORT_IDLE);
    EnableControl(IDC_AUTO_DETECT_PORT, TRUE);
    EnableControl(IDC_AUTO_DETECT_ADDRESS, TRUE);
    return 1;
}

void CRCconfigDlg::OnAutoDetectAddress() {
    EnableControl(IDC_AUTO_DETECT_PORT, FALSE);
    if (m_bDetectAddress == 0) {
        m_bDetectAddress = 1;
        SetControlText(IDC_AUTO_DETECT_ADDRESS, CAPTION_STOP_ADDRESS);
        StopDetectThread();
        ShowMessage(TEXT_ADDRESS_DETECTION, MB_OK | MB_ICONINFORMATION);
        ShowProgress(TRUE);
        m_progress.SetRange32(0, CAddressDetector::RECEPTIONS_NEEDED);
        m_progress.SetPos(0);
        m_progress.SetStep(1);
        StartDetectThread();
        return;
    }
    if (ShowMessage(TEXT_STOP_QUESTION, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        return;
    }
    // The detection may have ended while the question waited.
    if (m_bDetectAddress == 0) {
        return;
    }
    ShowProgress(FALSE);
    SetControlText(IDC_AUTO_DETECT_ADDRESS, CAPTION_START_ADDRESS);
    m_bDetectAddress = 0;
    StopDetectThread();
    EnableControl(IDC_AUTO_DETECT_PORT, TRUE);
}

LRESULT CRCconfigDlg::OnAddressDetected(WPARAM wParam, LPARAM lParam) {
    if (lParam != 0) {
        // Take the check box first, as after a port search.
        UpdateData(TRUE);
        m_wAddress = LOWORD(wParam);
        m_strAddress = AddressText(m_wAddress);
        ShowMessage(TEXT_ADDRESS_FOUND, MB_OK | MB_ICONINFORMATION);
        UpdateData(FALSE);
    } else {
        ShowMessage(TEXT_ADDRESS_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
    }
    m_bDetectAddress = 0;
    ShowProgress(FALSE);
    SetControlText(IDC_AUTO_DETECT_ADDRESS, CAPTION_START_ADDRESS);
    EnableControl(IDC_AUTO_DETECT_PORT, TRUE);
    return 1;
}

int CRCconfigDlg::StartDetectThread() {
    if (!m_detectThread.IsRunning()) {
        m_csStop.Lock();
        m_bStopDetect = 0;
        m_csStop.Unlock();
        ResetEvent(m_hStopEvent);
        m_bWorkerAddressMode = m_bDetectAddress;
        m_nWorkerPort = m_nCommPort;
        return m_detectThread.Start(&CRCconfigDlg::DetectThreadProc, this) ? 1 : 0;
    }
    return 1;
}

int CRCconfigDlg::StopDetectThread() {
    if (!m_detectThread.IsRunning()) {
        return 1;
    }
    m_csStop.Lock();
    m_bStopDetect = 1;
    m_csStop.Unlock();
    // The worker sends messages to the dialog's controls and waits for them,
    // which the stop handles while it waits.
    m_detectThread.Stop(m_hStopEvent, STOP_TIMEOUT_MS, TERMINATED_TIMEOUT_MS);
    // A terminated worker had no chance to close its port.
    CloseCommPort(m_hDetectPort);
    DiscardResults();
    return 1;
}

void CRCconfigDlg::DiscardResults() {
    // A result that the stopped worker posted before it saw the request is no
    // longer wanted. (Without a window the filter would take any window's.)
    if (m_hWnd == nullptr) {
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, m_hWnd, WM_ADDRESS_DETECTED, WM_PORT_DETECTED, PM_REMOVE)) {
    }
}

unsigned WINAPI CRCconfigDlg::DetectThreadProc(void* pParam) {
    auto* pDlg = static_cast<CRCconfigDlg*>(pParam);
    // One read event for all reads of this worker.
    CSerialReader reader(pDlg->m_hStopEvent);
    pDlg->m_pWorkerReader = &reader;
    if (pDlg->m_bWorkerAddressMode != 0) {
        pDlg->DetectAddress();
    } else {
        pDlg->SearchPorts();
    }
    pDlg->m_pWorkerReader = nullptr;
    return 1;
}

void CRCconfigDlg::SearchPorts() {
    int bFound = 0;
    int nPort = 0;
    {
        CPortEnum ports;
        char szName[PORT_NAME_SIZE];
        char szDescription[PORT_DESCRIPTION_SIZE];
        char szInstanceId[PORT_INSTANCE_ID_SIZE];
        while (!IsStopRequested() && ports.Next(szName, szDescription, sizeof(szDescription),
                                                szInstanceId, sizeof(szInstanceId))) {
            // Opening a Bluetooth port connects to a remote device and takes
            // up to half a minute; the receiver is never one. It stays in the
            // list for a manual choice.
            if (IsBluetoothPort(szInstanceId)) {
                m_progress.StepIt();
                continue;
            }
            nPort = PortNumberFromName(szName, sizeof(szName));
            if (ProbePort(nPort)) {
                bFound = 1;
                break;
            }
            m_progress.StepIt();
        }
    }
    if (!IsStopRequested()) {
        PostMessageA(m_hWnd, WM_PORT_DETECTED, static_cast<WPARAM>(bFound),
                     static_cast<LPARAM>(nPort));
    }
}

BOOL CRCconfigDlg::ProbePort(int nPort) {
    CPortProbe probe;
    if (OpenCommPort(nPort, m_hDetectPort)) {
        BYTE abyBytes[CPortProbe::READ_BYTES];
        while (!probe.IsDecided() && !IsStopRequested()) {
            DWORD dwRead = 0;
            const BOOL bRead = ReadPort(m_hDetectPort, abyBytes, sizeof(abyBytes), &dwRead);
            probe.AddRead(bRead != FALSE, abyBytes, dwRead);
        }
    }
    CloseCommPort(m_hDetectPort);
    if (probe.GetType() == CPortProbe::TYPE_NONE) {
        return FALSE;
    }
    SendMessageA(m_hWnd, WM_TYPE_DETECTED, static_cast<WPARAM>(probe.GetType()), 0);
    return TRUE;
}

void CRCconfigDlg::DetectAddress() {
    CAddressDetector detector;
    if (OpenCommPort(m_nWorkerPort, m_hDetectPort)) {
        BYTE abyBytes[CAddressDetector::READ_BYTES];
        while (detector.WantsMoreReads() && !IsStopRequested()) {
            DWORD dwRead = 0;
            const BOOL bRead = ReadPort(m_hDetectPort, abyBytes, sizeof(abyBytes), &dwRead);
            if (detector.AddRead(bRead != FALSE, abyBytes, dwRead)) {
                m_progress.StepIt();
            }
        }
    }
    CloseCommPort(m_hDetectPort);
    if (!IsStopRequested()) {
        PostMessageA(m_hWnd, WM_ADDRESS_DETECTED, static_cast<WPARAM>(detector.GetAddress()),
                     detector.IsFound() ? 1 : 0);
    }
}

BOOL CRCconfigDlg::OpenCommPort(int nPort, std::atomic<HANDLE>& hPort) {
    // A stop request does not wait for an open that hangs (a Bluetooth port).
    const HANDLE hDevice = CPortOpener::Open(CSerialLine::DeviceName(nPort).c_str(), m_hStopEvent,
                                             DeviceOpenFunction());
    if (hDevice == INVALID_HANDLE_VALUE) {
        return FALSE;
    }
    hPort = hDevice;
    return CSerialLine::Configure(hDevice, ProbingLine()).IsOk() ? TRUE : FALSE;
}

void CRCconfigDlg::CloseCommPort(std::atomic<HANDLE>& hPort) {
    // Whoever takes the handle closes it: the worker, or the dialog's thread
    // after a termination.
    const HANDLE hDevice = hPort.exchange(INVALID_HANDLE_VALUE);
    if (hDevice != INVALID_HANDLE_VALUE) {
        PurgeComm(hDevice, CSerialLine::PURGE_ALL);
        CloseHandle(hDevice);
    }
}

BOOL CRCconfigDlg::ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) {
    *pdwRead = 0;
    if (m_pWorkerReader == nullptr) {
        return FALSE;
    }
    DWORD dwError = ERROR_SUCCESS;
    return m_pWorkerReader->Read(hPort, pBuffer, dwWant, READ_TIMEOUT_MS + READ_GRACE_MS, pdwRead,
                                 &dwError) == CSerialReader::READ_DONE
               ? TRUE
               : FALSE;
}
