#include "CRCDlg.h"

#include "CLircProtocol.h"
#include "CActionSender.h"
#include "ClassifyLircBind.h"
#include "CPcActions.h"
#include "CRunWarnings.h"
#include "CReg.h"
#include "CWinApp.h"
#include "KeyMapLocation.h"
#include "MessageBox.h"
#include "RcMessages.h"
#include "RemoteControl.h"
#include "Settings.h"
#include "resource.h"

#include <shellapi.h>

#include <cstdint>
#include <iterator>

namespace {

const char* const MAIN_CAPTION = "Remote Control";
const char* const TEXT_NOT_CONFIGURED =
    "The remote control has not been configured.\nYou should configure it with config utility.";
const char* const TEXT_CANNOT_REGISTER = "Cannot register window message.";

UINT RegisterRemoteControlMessage() {
    const UINT nMessage = RegisterWindowMessageA(RC_MESSAGE_NAME);
    if (nMessage == 0) {
        // Keys are then posted with message number 0; the program runs on.
        framework::AfxMessageBox(TEXT_CANNOT_REGISTER, MB_OK | MB_ICONSTOP);
    }
    return nMessage;
}

} // namespace

CRCDlg::CRCDlg()
    : CDialog(IDD_RC_DIALOG, nullptr),
      m_hIcon(LoadIconA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_nRemoteControlMsg(RegisterRemoteControlMessage()),
      m_lircBalloonTimer(m_clock.Clock(), [this] { TellLircPortTaken(); }),
      // Without the release's number, releases are simply not sent.
      m_windows(m_recvApps, m_nRemoteControlMsg, RegisterWindowMessageA(RC_RELEASE_MESSAGE_NAME)),
      m_pipeline(m_clock.Clock(), m_windows, m_effects, m_notices, m_dlgTest, m_lirc) {}

CRCDlg::~CRCDlg() = default;

const framework::MessageMap* CRCDlg::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_PAINT, 0, Handler<&CRCDlg::OnPaint>},
        {WM_QUERYDRAGICON, 0, Handler<&CRCDlg::OnQueryDragIcon>},
        {WM_DESTROY, 0, Handler<&CRCDlg::OnDestroy>},
        {WM_COMMAND, ID_TEST_REMOTE_CONTROL, Handler<&CRCDlg::OnTestRemoteControl>},
        {WM_COMMAND, ID_APP_EXIT, Handler<&CRCDlg::OnAppExit>},
        {WM_COMMAND, ID_ABOUT, Handler<&CRCDlg::OnAbout>},
        framework::ChainToMember<&CRCDlg::m_link>(),
        framework::ChainToMember<&CRCDlg::m_overlays>(),
        {WM_CREATE, 0, Handler<&CRCDlg::OnCreate>},
        {WM_CLOSE, 0, Handler<&CRCDlg::OnClose>},
        {WM_TIMER, 0, Handler<&CRCDlg::OnTimer>},
        {WM_RC_LIRC_PORT_TAKEN, 0, Handler<&CRCDlg::OnLircPortTaken>},
        {WM_RC_TRAY, 0, Handler<&CRCDlg::OnTrayNotify>},
        {0, 0, Handler<&CRCDlg::OnTaskbarCreated>, framework::RegisteredMessage("TaskbarCreated")},
        {0, 0, Handler<&CRCDlg::OnEndForRestart>,
         framework::RegisteredMessage(CRunningState::END_MESSAGE_NAME)},
        {WM_RC_PC_REFUSED, 0, Handler<&CRCDlg::OnPcRefused>},
        {WM_RC_RUN_WARNING, 0, Handler<&CRCDlg::OnRunWarning>},
    };
    static const framework::MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
    return &map;
}

INT_PTR CRCDlg::DoModal() {
    // The template is not visible, so the dialog never shows.
    return RunModal(Visibility::AsTemplate);
}

LRESULT CRCDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) {
    POINT ptCursor = {0, 0};
    GetCursorPos(&ptCursor);
    const CTrayIcon::MenuRequest request = m_trayIcon.MenuRequestOf(wParam, lParam, ptCursor);
    if (request.bOpen) {
        ShowTrayMenu(request.pt);
    }
    return Default();
}

void CRCDlg::ShowTrayMenu(POINT pt) {
    // Without this the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(m_hWnd);
    if (m_hTrayMenu == nullptr) {
        return;
    }
    TrackPopupMenuEx(m_hTrayMenu, TPM_RIGHTALIGN | TPM_BOTTOMALIGN, pt.x, pt.y, m_hWnd, nullptr);
    // Lets the menu close properly the next time it is opened from the tray.
    PostMessageA(m_hWnd, WM_NULL, 0, 0);
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
    m_pipeline.SetAddress(dwAddress);

    if (!m_recvApps.Load()) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_effects.LoadKeyMaps(m_hWnd);
    // Run as administrator, KV480 reads only the installation's key map.
    const bool bElevated = m_windows.IsElevated();
    m_runningState.Publish(bElevated ? std::string() : keymaplocation::UserFile(),
                           keymaplocation::InstalledFile(), bElevated);
    if (bElevated) {
        // The user's unelevated editor may ask it to end; nothing else.
        const UINT nEndMessage = RegisterWindowMessageA(CRunningState::END_MESSAGE_NAME);
        if (nEndMessage != 0) {
            ChangeWindowMessageFilterEx(m_hWnd, nEndMessage, MSGFLT_ALLOW, nullptr);
        }
    }

    DWORD dwPort = 0;
    if (reg.ReadDword(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                      std::string(settings::VALUE_COMM_PORT), &dwPort) != CReg::RESULT_OK) {
        framework::AfxMessageBox(TEXT_NOT_CONFIGURED, MB_OK | MB_ICONSTOP);
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_link.SetPort(static_cast<int>(dwPort));

    StartLircServer();
    m_link.ConnectAtStart(m_hWnd);
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
    m_runningState.Withdraw();
    m_link.EndLink();
    // A receiving application must not wait for the end of a hold forever.
    m_pipeline.ReleaseNow();
    m_lirc.Stop();
    m_overlays.AllOff();
    m_trayIcon.Remove();
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
    m_bTestOpen = true;
    m_dlgTest.DoModal();
    m_bTestOpen = false;
}

void CRCDlg::OnAbout() {
    if (m_bAboutOpen) {
        SetForegroundWindow(m_dlgAbout.GetSafeHwnd());
        return;
    }
    m_bAboutOpen = true;
    m_dlgAbout.DoModal();
    m_bAboutOpen = false;
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

LRESULT CRCDlg::OnTimer(WPARAM wParam, LPARAM) {
    if (m_clock.OnTimer(wParam)) {
        return 0;
    }
    return Default();
}

void CRCDlg::StartLircServer() {
    const CReg reg;
    DWORD dwPort = 0;
    const bool bPresent = reg.ReadDword(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY,
                                        settings::VALUE_LIRC_PORT, &dwPort) == CReg::RESULT_OK;
    // The address as the decoder took it from the settings.
    m_lirc.Start(CLircProtocol::PortFromSetting(bPresent, dwPort), m_pipeline.GetAddress(), m_hWnd,
                 WM_RC_LIRC_PORT_TAKEN);
}

LRESULT CRCDlg::OnLircPortTaken(WPARAM, LPARAM) {
    // Any process can post this number: only the server's own state counts.
    TellLircPortTaken();
    return 0;
}

void CRCDlg::TellLircPortTaken() {
    m_lircBalloonTimer.Cancel();
    if (!m_lirc.IsPortTaken()) {
        return;
    }
    const std::string strText = LircPortTakenText(m_lirc.Port(), m_lirc.IsPortReserved());
    if (!m_trayIcon.ShowBalloon(LIRC_PORT_TAKEN_TITLE, strText, NIIF_WARNING)) {
        m_lircBalloonTimer.SetAfter(LIRC_BALLOON_RETRY_MS);
    }
}

LRESULT CRCDlg::OnPcRefused(WPARAM wParam, LPARAM lParam) {
    // Any process can post this number: the text names only an action of
    // the list and Windows' own reason.
    if (wParam > static_cast<WPARAM>(CKeyAction::Pc::Restart)) {
        return 0;
    }
    m_trayIcon.ShowBalloon(
        CKeyRouter::KEY_MAP_TITLE,
        CPcActions::RefusedText(static_cast<CKeyAction::Pc>(wParam), static_cast<DWORD>(lParam)),
        NIIF_WARNING);
    return 0;
}

LRESULT CRCDlg::OnRunWarning(WPARAM, LPARAM) {
    // Any process can post this number: the reports come only from KV480's
    // own threads.
    for (const CRunWarnings::Report& report : CRunWarnings::Take()) {
        const std::string strWarning = CActionSender::Settle(report);
        if (!strWarning.empty()) {
            m_trayIcon.ShowBalloon(CKeyRouter::KEY_MAP_TITLE, strWarning, NIIF_WARNING);
        }
    }
    return 0;
}
