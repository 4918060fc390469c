#include "CRCDlg.h"

#include "CReg.h"
#include "CRefusedPostNotice.h"
#include "CWinApp.h"
#include "MessageBox.h"
#include "RcMessages.h"
#include "RemoteControl.h"
#include "Settings.h"
#include "TargetWindow.h"
#include "resource.h"

#include <shellapi.h>

#include <cstdint>
#include <iterator>

namespace {

const char* const MAIN_CAPTION = "Remote Control";
const char* const TEXT_NOT_CONFIGURED =
    "The remote control has not been configured.\nYou should configure it with config utility.";
const char* const TEXT_CANNOT_REGISTER = "Cannot register window message.";

} // namespace

CRCDlg::CRCDlg()
    : CDialog(IDD_RC_DIALOG, nullptr),
      m_hIcon(LoadIconA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_decoder(*this) {
    m_hStopEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    m_nRemoteControlMsg = RegisterWindowMessageA(RC_MESSAGE_NAME);
    if (m_nRemoteControlMsg == 0) {
        // Keys are then posted with message number 0; the program runs on.
        framework::AfxMessageBox(TEXT_CANNOT_REGISTER, MB_OK | MB_ICONSTOP);
    }
    // Without it, releases are simply not sent.
    m_nReleaseMsg = RegisterWindowMessageA(RC_RELEASE_MESSAGE_NAME);
}

CRCDlg::~CRCDlg() {
    if (m_hStopEvent != nullptr) {
        CloseHandle(m_hStopEvent);
    }
}

const framework::MessageMap* CRCDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CRCDlg::OnPaint>},
        {WM_QUERYDRAGICON, 0, Handler<&CRCDlg::OnQueryDragIcon>},
        {WM_DESTROY, 0, Handler<&CRCDlg::OnDestroy>},
        {WM_COMMAND, ID_TEST_REMOTE_CONTROL, Handler<&CRCDlg::OnTestRemoteControl>},
        {WM_COMMAND, ID_APP_EXIT, Handler<&CRCDlg::OnAppExit>},
        {WM_COMMAND, ID_ABOUT, Handler<&CRCDlg::OnAbout>},
        {WM_RC_DATA, 0, Handler<&CRCDlg::OnRcData>},
        {WM_RC_ERROR, 0, Handler<&CRCDlg::OnRcError>},
        {WM_RC_OPENED, 0, Handler<&CRCDlg::OnPortOpened>},
        {WM_DEVICECHANGE, 0, Handler<&CRCDlg::OnDeviceChange>},
        {WM_CREATE, 0, Handler<&CRCDlg::OnCreate>},
        {WM_CLOSE, 0, Handler<&CRCDlg::OnClose>},
        {WM_TIMER, 0, Handler<&CRCDlg::OnTimer>},
        {WM_POWERBROADCAST, 0, Handler<&CRCDlg::OnPowerBroadcast>},
        {WM_WTSSESSION_CHANGE, 0, Handler<&CRCDlg::OnSessionChange>},
        {WM_RC_LIRC_PORT_TAKEN, 0, Handler<&CRCDlg::OnLircPortTaken>},
        {WM_RC_PC_REFUSED, 0, Handler<&CRCDlg::OnPcRefused>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

INT_PTR CRCDlg::DoModal() {
    // The template is not visible, so the dialog never shows.
    return RunModal(Visibility::AsTemplate);
}

LRESULT CRCDlg::WindowProc(UINT nMessage, WPARAM wParam, LPARAM lParam) {
    if (nMessage == WM_RC_TRAY && lParam == WM_RBUTTONUP) {
        ShowTrayMenu();
    }
    if (m_trayIcon.IsTaskbarCreated(nMessage)) {
        m_trayIcon.OnTaskbarCreated();
        return 0;
    }
    return CDialog::WindowProc(nMessage, wParam, lParam);
}

LRESULT CRCDlg::OnCreate(WPARAM, LPARAM) {
    if (Default() == -1) {
        return -1;
    }
    m_hTrayMenuResource =
        LoadMenuA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU));
    if (m_hTrayMenuResource != nullptr) {
        m_hTrayMenu = GetSubMenu(m_hTrayMenuResource, 0);
    }
    m_trayIcon.Attach(m_hWnd, WM_RC_TRAY);
    m_clock.Attach(m_hWnd, CLOCK_TIMER_ID);
    return 0;
}

BOOL CRCDlg::OnInitDialog() {
    SetWindowTextA(m_hWnd, MAIN_CAPTION);
    // The setup ends KV480 in every session this way before it replaces it.
    m_exitSignal.Watch(m_hWnd, WM_COMMAND, ID_APP_EXIT);

    const CReg reg;
    DWORD dwAddress = 0;
    if (reg.ReadDword(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                      std::string(settings::VALUE_ADDRESS), &dwAddress) != CReg::RESULT_OK) {
        framework::AfxMessageBox(TEXT_NOT_CONFIGURED, MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_decoder.SetAddress(dwAddress);

    if (!m_recvApps.Load()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    LoadKeyMap();

    DWORD dwPort = 0;
    if (reg.ReadDword(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                      std::string(settings::VALUE_COMM_PORT), &dwPort) != CReg::RESULT_OK) {
        framework::AfxMessageBox(TEXT_NOT_CONFIGURED, MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_nPort = static_cast<int>(dwPort);

    StartLircServer();
    ConnectAtStart();
    return TRUE;
}

void CRCDlg::OnPaint() {
    SetWindowTextA(m_hWnd, MAIN_CAPTION);
    if (!PaintIconIfMinimized(m_hIcon)) {
        Default();
    }
}

LRESULT CRCDlg::OnQueryDragIcon(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(m_hIcon);
}

void CRCDlg::OnDestroy() {
    m_exitSignal.Unwatch();
    EndLink();
    // A receiving application must not wait for the end of a hold forever.
    m_decoder.ReleaseNow();
    m_lirc.Stop();
    RemoveTrayIcon();
    if (m_hTrayMenuResource != nullptr) {
        DestroyMenu(m_hTrayMenuResource);
        m_hTrayMenuResource = nullptr;
        m_hTrayMenu = nullptr;
    }
    m_clock.Detach();
    Default();
}

void CRCDlg::OnClose() {
    OnAppExit();
    Default();
}

void CRCDlg::OnTestRemoteControl() {
    // One test dialog at a time: a second command brings it to the front.
    if (m_bTestOpen) {
        SetForegroundWindow(m_dlgTest.GetSafeHwnd());
        return;
    }
    m_bTestOpen = 1;
    m_dlgTest.DoModal();
    m_bTestOpen = 0;
}

void CRCDlg::OnAbout() {
    if (m_bAboutOpen) {
        SetForegroundWindow(m_dlgAbout.GetSafeHwnd());
        return;
    }
    m_bAboutOpen = 1;
    m_dlgAbout.DoModal();
    m_bAboutOpen = 0;
}

void CRCDlg::OnAppExit() {
    // An open tray menu runs its own loop, which would hold the end of the
    // program (a WM_CLOSE from the configuration utility) until the user
    // dismissed it.
    EndMenu();
    // The dialogs' loops run inside this one's: each ends in turn.
    if (m_bAboutOpen) {
        m_dlgAbout.EndDialog(0);
    }
    if (m_bTestOpen) {
        m_dlgTest.EndDialog(0);
    }
    CDialog::OnCancel();
}

LRESULT CRCDlg::OnRcData(WPARAM wParam, LPARAM lParam) {
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
    m_decoder.DecodeBytes(m_abyReadBuffer, static_cast<std::size_t>(lParam), m_ullReadTimeMs);
    return 1;
}

LRESULT CRCDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (m_clock.OnTimer(wParam)) {
        return 0;
    }
    if (IsLinkTimer(wParam)) {
        OnLinkTimer(wParam);
        return 0;
    }
    if (wParam == ACTION_TIMER_ID) {
        OnActionTimer();
        return 0;
    }
    if (wParam == LIRC_BALLOON_TIMER_ID) {
        TellLircPortTaken();
        return 0;
    }
    if (wParam == CFrameDecoder::RELEASE_TIMER_ID) {
        // Killed first: the decoder may ask for it again.
        KillTimer(m_hWnd, CFrameDecoder::RELEASE_TIMER_ID);
        m_decoder.ReleaseExpired(GetTickCount64());
        return 0;
    }
    if (wParam != CFrameDecoder::HOLD_TIMER_ID) {
        return Default();
    }
    m_decoder.HoldExpired();
    KillTimer(m_hWnd, CFrameDecoder::HOLD_TIMER_ID);
    return 0;
}

void CRCDlg::StartHoldTimer() {
    SetTimer(m_hWnd, CFrameDecoder::HOLD_TIMER_ID, CFrameDecoder::HOLD_TIME_MS, nullptr);
}

void CRCDlg::StartReleaseTimer(unsigned int nDelayMs) {
    SetTimer(m_hWnd, CFrameDecoder::RELEASE_TIMER_ID, nDelayMs, nullptr);
}

void CRCDlg::NotePressTarget(WPARAM wParam, LPARAM lParam, HWND hTarget) {
    if (lParam == CFrameDecoder::NEW_PRESS) {
        m_nPressKey = static_cast<int>(wParam);
        m_hPressTarget = hTarget;
    }
}

void CRCDlg::OnKeyRelease(int nKey) {
    if (nKey == m_nPressKey && m_hPressTarget != nullptr && m_nReleaseMsg != 0) {
        PostMessageA(m_hPressTarget, m_nReleaseMsg, static_cast<WPARAM>(nKey), 0);
    }
    m_hPressTarget = nullptr;
    m_nPressKey = 0;
    ReleaseMappedKey(nKey);
    m_lirc.KeyRelease(nKey);
}

HWND CRCDlg::TestDialogWindow() const {
    return m_dlgTest.GetSafeHwnd();
}

void CRCDlg::OnKeyEvent(int nKey, int nRepeat) {
    const HWND hTest = TestDialogWindow();
    if (hTest != nullptr) {
        PostMessageA(hTest, WM_RC_TESTKEY, static_cast<WPARAM>(nKey), nRepeat);
    }
    DispatchKey(static_cast<WPARAM>(nKey), nRepeat);
    m_lirc.KeyEvent(nKey, nRepeat);
}

LRESULT CRCDlg::DispatchKey(WPARAM wParam, LPARAM lParam) {
    HWND target = KeysEditorInFront();
    if (target == nullptr)
        target = ChooseTargetWindow(m_recvApps);
    NotePressTarget(wParam, lParam, target);
    if (target) {
        if (!PostMessageA(target, m_nRemoteControlMsg, wParam, lParam) &&
            GetLastError() == ERROR_ACCESS_DENIED)
            TellRefusedPost(target);
    } else {
        TypeMappedKey(static_cast<int>(wParam), static_cast<int>(lParam));
    }
    return 1;
}

void CRCDlg::TellRefusedPost(HWND hTarget) {
    const auto window = reinterpret_cast<std::uintptr_t>(hTarget);
    if (!m_refusedPosts.ShouldTell(window)) {
        return;
    }
    char szCaption[CRefusedPostNotice::MAX_NAME_LENGTH + 2] = "";
    char szClass[CRefusedPostNotice::MAX_NAME_LENGTH + 2] = "";
    // For another process's window this reads the stored caption without
    // sending it a message, which the refusing window would not take either.
    GetWindowTextA(hTarget, szCaption, sizeof(szCaption));
    GetClassNameA(hTarget, szClass, sizeof(szClass));
    // Told only once the balloon is shown: without an icon it is tried again.
    if (ShowTrayBalloon(CRefusedPostNotice::Title(), CRefusedPostNotice::Text(szCaption, szClass),
                        NIIF_WARNING)) {
        m_refusedPosts.Told(window);
    }
}
