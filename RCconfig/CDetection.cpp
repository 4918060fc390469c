// The worker's reports come on its own thread and go on to the dialog's
// thread as messages: posted for the results, sent for the type, so that all
// dialog state stays there.
#include "CDetection.h"

#include "CAddressDetector.h"
#include "CWnd.h"
#include "MessageBox.h"
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

CDetection::CDetection(CWnd& dialog, CDetectionPort& port) : m_dialog(dialog), m_port(port) {}

CDetection::~CDetection() {
    // The worker reaches the dialog's windows and the port's hooks.
    Stop();
}

HWND CDetection::Dialog() const {
    return m_dialog.GetSafeHwnd();
}

HWND CDetection::Control(int nID) const {
    return GetDlgItem(Dialog(), nID);
}

void CDetection::SetCaption(int nID, const char* pszText) const {
    SetDlgItemTextA(Dialog(), nID, pszText);
}

void CDetection::Enable(int nID, BOOL bEnable) const {
    EnableWindow(Control(nID), bEnable);
}

void CDetection::ShowProgress(BOOL bShow) const {
    ShowWindow(m_progress.GetSafeHwnd(), bShow ? SW_SHOW : SW_HIDE);
}

void CDetection::FocusControl(int nID) const {
    SendMessageA(Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(nID)), TRUE);
}

int CDetection::ShowMessage(const char* pszText, UINT nType) const {
    // Owned by the dialog, so that the dialog takes no input while a box waits.
    return framework::ShowMessageBox(Dialog(), pszText, framework::AppTitle().c_str(), nType);
}

void CDetection::OnAutoDetectCommPort(int nPortCount, int nCommPort) {
    // A disabled control keeps no focus, and without one the keyboard does
    // nothing: the list that the search fills takes it.
    FocusControl(IDC_COMM_PORT);
    Enable(IDC_AUTO_DETECT_ADDRESS, FALSE);
    Enable(IDC_AUTO_DETECT_PORT, FALSE);
    ShowMessage(TEXT_PORT_SEARCH, MB_OK | MB_ICONINFORMATION);
    Stop();
    m_nPortCount = nPortCount;
    m_progress.SetRange32(0, m_nPortCount);
    m_progress.SetPos(0);
    m_progress.SetStep(1);
    ShowProgress(TRUE);
    if (Start(nCommPort)) {
        SetCaption(IDC_AUTO_DETECT_PORT, CAPTION_IN_PROGRESS);
        SetTimer(Dialog(), BLINK_TIMER_ID, BLINK_PERIOD_MS, nullptr);
        return;
    }
    ShowMessage(TEXT_NO_THREAD, MB_OK | MB_ICONEXCLAMATION);
    // Back to idle: the user may try again or choose the port by hand.
    ShowProgress(FALSE);
    Enable(IDC_AUTO_DETECT_PORT, TRUE);
    Enable(IDC_AUTO_DETECT_ADDRESS, TRUE);
}

void CDetection::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == BLINK_TIMER_ID) {
        SetCaption(IDC_AUTO_DETECT_PORT, m_bBlink ? CAPTION_IN_PROGRESS : CAPTION_BLINK_OFF);
        m_bBlink = !m_bBlink;
    }
}

bool CDetection::PortFound(WPARAM wParam, LPARAM lParam, int* pnPort) {
    *pnPort = static_cast<int>(lParam);
    return wParam != 0;
}

void CDetection::TellPortSearchEnded(bool bFound) {
    SetForegroundWindow(Dialog());
    m_progress.SetPos(m_nPortCount);
    if (bFound) {
        ShowMessage(TEXT_PORT_FOUND, MB_OK | MB_ICONINFORMATION);
    } else {
        ShowMessage(TEXT_PORT_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
    }
    KillTimer(Dialog(), BLINK_TIMER_ID);
    ShowProgress(FALSE);
    SetCaption(IDC_AUTO_DETECT_PORT, CAPTION_PORT_IDLE);
    Enable(IDC_AUTO_DETECT_PORT, TRUE);
    Enable(IDC_AUTO_DETECT_ADDRESS, TRUE);
    // Focus and default frame on the same button, so that Enter does what
    // the frame shows: the next step after a found port, another try after
    // none.
    FocusControl(bFound ? IDC_AUTO_DETECT_ADDRESS : IDC_AUTO_DETECT_PORT);
}

void CDetection::OnAutoDetectAddress(int nCommPort) {
    Enable(IDC_AUTO_DETECT_PORT, FALSE);
    if (m_bDetectAddress == 0) {
        m_bDetectAddress = 1;
        SetCaption(IDC_AUTO_DETECT_ADDRESS, CAPTION_STOP_ADDRESS);
        Stop();
        ShowMessage(TEXT_ADDRESS_DETECTION, MB_OK | MB_ICONINFORMATION);
        ShowProgress(TRUE);
        m_progress.SetRange32(0, CAddressDetector::RECEPTIONS_NEEDED);
        m_progress.SetPos(0);
        m_progress.SetStep(1);
        Start(nCommPort);
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
    SetCaption(IDC_AUTO_DETECT_ADDRESS, CAPTION_START_ADDRESS);
    m_bDetectAddress = 0;
    Stop();
    Enable(IDC_AUTO_DETECT_PORT, TRUE);
}

bool CDetection::AddressFound(WPARAM wParam, LPARAM lParam, std::uint16_t* pwAddress) {
    *pwAddress = LOWORD(wParam);
    return lParam != 0;
}

void CDetection::TellAddressDetectionEnded(bool bFound) {
    if (bFound) {
        ShowMessage(TEXT_ADDRESS_FOUND, MB_OK | MB_ICONINFORMATION);
    } else {
        ShowMessage(TEXT_ADDRESS_NOT_FOUND, MB_OK | MB_ICONEXCLAMATION);
    }
    m_bDetectAddress = 0;
    ShowProgress(FALSE);
    SetCaption(IDC_AUTO_DETECT_ADDRESS, CAPTION_START_ADDRESS);
    Enable(IDC_AUTO_DETECT_PORT, TRUE);
}

int CDetection::Start(int nCommPort) {
    return m_detectWorker.Start(m_bDetectAddress != 0, nCommPort, m_port.OpenFunction()) ? 1 : 0;
}

int CDetection::Stop() {
    if (!m_detectWorker.IsRunning()) {
        return 1;
    }
    m_detectWorker.Stop();
    DiscardResults();
    return 1;
}

void CDetection::DiscardResults() const {
    // A result that the stopped worker posted before it saw the request is no
    // longer wanted. (Without a window the filter would take any window's.)
    if (Dialog() == nullptr) {
        return;
    }
    MSG msg;
    while (PeekMessageA(&msg, Dialog(), WM_ADDRESS_DETECTED, WM_PORT_DETECTED, PM_REMOVE)) {
    }
}

void CDetection::DetectStep() {
    m_progress.StepIt();
    // A screen reader says the new value of the bar that the user waits on.
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_progress.GetSafeHwnd(), OBJID_CLIENT, CHILDID_SELF);
}

void CDetection::TypeDetected(int nType) {
    SendMessageA(Dialog(), WM_TYPE_DETECTED, static_cast<WPARAM>(nType), 0);
}

void CDetection::PortSearchEnded(bool bFound, int nLastPort) {
    PostMessageA(Dialog(), WM_PORT_DETECTED, bFound ? 1 : 0, static_cast<LPARAM>(nLastPort));
}

void CDetection::AddressDetectionEnded(std::uint16_t wAddress, bool bFound) {
    PostMessageA(Dialog(), WM_ADDRESS_DETECTED, wAddress, bFound ? 1 : 0);
}

BOOL CDetection::ReadPort(HANDLE hPort, BYTE* pBuffer, DWORD dwWant, DWORD* pdwRead) {
    m_port.BeforeRead(hPort);
    return m_detectWorker.ReadPort(hPort, pBuffer, dwWant, pdwRead);
}
