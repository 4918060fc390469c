// The dialog's side of the two detections: the port search listens on every
// port for a held key, the address detection on the chosen port for clicked
// keys. The worker (CDetectWorker) does the listening; its reports come on
// its own thread and go on to the dialog's thread as messages: posted for
// the results, sent for the type, so that all dialog state stays there.
#include "CRCconfigDlg.h"

#include "AddressText.h"
#include "CAddressDetector.h"
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
    return m_detectWorker.Start(m_bDetectAddress != 0, m_nCommPort, DeviceOpenFunction()) ? 1 : 0;
}

int CRCconfigDlg::StopDetectThread() {
    if (!m_detectWorker.IsRunning()) {
        return 1;
    }
    m_detectWorker.Stop();
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

void CRCconfigDlg::DetectStep() {
    m_progress.StepIt();
}

void CRCconfigDlg::TypeDetected(int nType) {
    SendMessageA(m_hWnd, WM_TYPE_DETECTED, static_cast<WPARAM>(nType), 0);
}

void CRCconfigDlg::PortSearchEnded(bool bFound, int nLastPort) {
    PostMessageA(m_hWnd, WM_PORT_DETECTED, bFound ? 1 : 0, static_cast<LPARAM>(nLastPort));
}

void CRCconfigDlg::AddressDetectionEnded(std::uint16_t wAddress, bool bFound) {
    PostMessageA(m_hWnd, WM_ADDRESS_DETECTED, wAddress, bFound ? 1 : 0);
}

BOOL CRCconfigDlg::ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) {
    return m_detectWorker.ReadPort(hPort, pBuffer, dwWant, pdwRead);
}
