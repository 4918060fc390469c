#include "CWin32KeyDesktop.h"

#include "CActionSender.h"
#include "CDlgTest.h"
#include "CKeyRouter.h"
#include "CLircServer.h"
#include "CPcActions.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "CRecvApp.h"
#include "CTrayIcon.h"
#include "KeysEditorWindow.h"
#include "ProgramOf.h"
#include "RcMessages.h"
#include "Settings.h"
#include "TargetWindow.h"
#include "WideText.h"

#include <dwmapi.h>
#include <shlobj.h>

#include <iterator>

namespace {

// Where the user's own key map lies, below the roaming application data.
const wchar_t* const USER_KEY_MAP = L"\\Remote Control\\KeyMap.ini";
const char* const USER_KEY_MAP_SHOWN = "%APPDATA%\\Remote Control\\KeyMap.ini";
// Enough for any caption a section can name (values are cut at 254).
const int CAPTION_SIZE = 1024;

HWND HandleOf(IKeyDesktop::Window window) {
    return reinterpret_cast<HWND>(window);
}

IKeyDesktop::Window WindowOf(HWND hWnd) {
    return reinterpret_cast<IKeyDesktop::Window>(hWnd);
}

// Applications name their main window; a dialog in front is owned by it.
HWND ForegroundRoot() {
    const HWND hWindow = GetForegroundWindow();
    return hWindow != nullptr ? GetAncestor(hWindow, GA_ROOTOWNER) : nullptr;
}

// The mandatory integrity level of a process (SECURITY_MANDATORY_*_RID); 0
// when it cannot be read.
DWORD IntegrityOf(DWORD dwProcess) {
    DWORD dwLevel = 0;
    const HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcess);
    if (hProcess == nullptr) {
        return 0;
    }
    HANDLE hToken = nullptr;
    if (OpenProcessToken(hProcess, TOKEN_QUERY, &hToken)) {
        alignas(TOKEN_MANDATORY_LABEL)
            BYTE abyLabel[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
        DWORD dwSize = 0;
        if (GetTokenInformation(hToken, TokenIntegrityLevel, abyLabel,
                                static_cast<DWORD>(sizeof(abyLabel)), &dwSize)) {
            const PSID pSid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(abyLabel)->Label.Sid;
            const UCHAR nCount = *GetSidSubAuthorityCount(pSid);
            if (nCount > 0) {
                dwLevel = *GetSidSubAuthority(pSid, nCount - 1u);
            }
        }
        CloseHandle(hToken);
    }
    CloseHandle(hProcess);
    return dwLevel;
}

} // namespace

CWin32KeyDesktop::CWin32KeyDesktop(const CRecvApp& recvApps, const CDlgTest& dlgTest,
                                   CTrayIcon& trayIcon, CLircServer& lirc,
                                   CPresenterOverlays& overlays, UINT nKeyMsg, UINT nReleaseMsg)
    : m_recvApps(recvApps), m_dlgTest(dlgTest), m_trayIcon(trayIcon), m_lirc(lirc),
      m_overlays(overlays), m_nKeyMsg(nKeyMsg), m_nReleaseMsg(nReleaseMsg),
      m_dwOwnIntegrity(IntegrityOf(GetCurrentProcessId())),
      m_bElevated(CResidentLauncher::IsCallerElevated()) {}

void CWin32KeyDesktop::LoadKeyMaps(HWND hMainWindow) {
    m_hMainWindow = hMainWindow;
    wchar_t szAppData[MAX_PATH] = L"";
    if (SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData))) {
        m_userKeyMap.Open(widetext::Narrow(szAppData) + widetext::Narrow(USER_KEY_MAP),
                          USER_KEY_MAP_SHOWN);
    }
    std::string strPath;
    // Without Path the receiving applications could not load either, and
    // the program has ended before this.
    if (CReg().ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                          std::string(settings::VALUE_PATH), strPath) != CReg::RESULT_OK) {
        return;
    }
    m_keyMap.Open(CKeyMapFile::FileNameIn(widetext::AnsiToUtf8(strPath)), CKeyMapFile::FILE_NAME);
}

IKeyDesktop::PostResult CWin32KeyDesktop::Post(Window window, Message message, int nKey,
                                               int nRepeat) {
    UINT nMessage = WM_RC_TESTKEY;
    if (message == Message::Key) {
        // 0 when the registration failed: posted all the same.
        nMessage = m_nKeyMsg;
    } else if (message == Message::Release) {
        if (m_nReleaseMsg == 0) {
            return PostResult::Failed;
        }
        nMessage = m_nReleaseMsg;
    }
    if (PostMessageA(HandleOf(window), nMessage, static_cast<WPARAM>(nKey), nRepeat)) {
        return PostResult::Posted;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? PostResult::Refused : PostResult::Failed;
}

IKeyDesktop::Window CWin32KeyDesktop::TestDialog() const {
    return WindowOf(m_dlgTest.GetSafeHwnd());
}

IKeyDesktop::Window CWin32KeyDesktop::KeysEditorInFront() const {
    const HWND hWindow = ForegroundRoot();
    char szClass[64] = "";
    return hWindow != nullptr && GetClassNameA(hWindow, szClass, sizeof(szClass)) > 0 &&
                   lstrcmpiA(szClass, keys_editor::WINDOW_CLASS) == 0
               ? WindowOf(hWindow)
               : 0;
}

IKeyDesktop::Window CWin32KeyDesktop::ReceivingWindow() const {
    return WindowOf(ChooseTargetWindow(m_recvApps));
}

IKeyDesktop::Window CWin32KeyDesktop::Foreground() const {
    return WindowOf(ForegroundRoot());
}

IKeyDesktop::Window CWin32KeyDesktop::UnderPointer() const {
    POINT point;
    if (!GetCursorPos(&point)) {
        return 0;
    }
    const HWND hWindow = WindowFromPoint(point);
    return WindowOf(hWindow != nullptr ? GetAncestor(hWindow, GA_ROOT) : nullptr);
}

IKeyDesktop::WindowFacts CWin32KeyDesktop::FactsOf(Window window) const {
    const HWND hWnd = HandleOf(window);
    WindowFacts facts;
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    facts.nProcess = dwProcess;
    facts.bOwnProcess = dwProcess == GetCurrentProcessId();
    // The W functions: a caption in any script compares as written. For
    // another process's window this reads the stored caption without sending
    // it a message, which a hung or refusing window would not take.
    wchar_t szText[CAPTION_SIZE] = L"";
    GetClassNameW(hWnd, szText, static_cast<int>(std::size(szText)));
    facts.strClass = widetext::Narrow(szText);
    szText[0] = L'\0';
    GetWindowTextW(hWnd, szText, static_cast<int>(std::size(szText)));
    facts.strCaption = widetext::Narrow(szText);
    facts.bHigherIntegrity = !facts.bOwnProcess && IntegrityOf(dwProcess) > m_dwOwnIntegrity;
    facts.bHung = IsHungAppWindow(hWnd) != FALSE;
    DWORD dwCloaked = 0;
    facts.bCloaked = SUCCEEDED(DwmGetWindowAttribute(hWnd, DWMWA_CLOAKED, &dwCloaked,
                                                     static_cast<DWORD>(sizeof(dwCloaked)))) &&
                     dwCloaked != 0;
    facts.bToolWindow = (GetWindowLongPtrW(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    return facts;
}

std::string CWin32KeyDesktop::ProgramOf(Window window) const {
    return widetext::Narrow(::ProgramOf(HandleOf(window)).c_str());
}

bool CWin32KeyDesktop::IsElevated() const {
    return m_bElevated;
}

bool CWin32KeyDesktop::IsSessionLocked() const {
    // While the session is locked (or a secure prompt shows), the desktop
    // that takes input is Winlogon's, which a user's program cannot open.
    const HDESK hDesktop = OpenInputDesktop(0, FALSE, DESKTOP_READOBJECTS);
    if (hDesktop == nullptr) {
        return true;
    }
    wchar_t szName[64] = L"";
    const bool bDefault = GetUserObjectInformationW(hDesktop, UOI_NAME, szName,
                                                    static_cast<DWORD>(sizeof(szName)), nullptr) &&
                          lstrcmpiW(szName, L"Default") == 0;
    CloseDesktop(hDesktop);
    return !bDefault;
}

CKeyMapLayers CWin32KeyDesktop::KeyMaps(const std::string& strMode) {
    for (CKeyMapFile* pFile : {&m_userKeyMap, &m_keyMap}) {
        pFile->Refresh();
        const std::string strWarning = pFile->PendingWarning();
        if (!strWarning.empty() && ShowBalloon(CKeyRouter::KEY_MAP_TITLE, strWarning)) {
            pFile->MarkWarned();
        }
    }
    return CKeyMapLayers(m_userKeyMap.GetMap(), m_keyMap.GetMap(), strMode);
}

IKeyDesktop::Outcome CWin32KeyDesktop::Carry(const CKeyActionEngine::Step& step) {
    Outcome outcome;
    const CKeyAction& action = step.answer.action;
    if (!m_overlays.Carry(action)) {
        outcome = CActionSender::Carry(
            step,
            step.answer.layer == CKeyMapLayers::USER ? USER_KEY_MAP_SHOWN : CKeyMapFile::FILE_NAME,
            m_hMainWindow);
    }
    // SetCursorPos never reaches the overlays' mouse hook.
    if (action.GetKind() == CKeyAction::Kind::MouseMove) {
        m_overlays.PointerMoved();
    }
    return outcome;
}

void CWin32KeyDesktop::ShowActionNote(const std::string& strText, bool bAlways) {
    if (bAlways || CActionNote::IsWanted()) {
        m_actionNote.Show(strText, GetForegroundWindow());
    }
}

void CWin32KeyDesktop::ShowMode(const std::string& strTipLine) {
    m_trayIcon.SetTipLine(strTipLine);
}

bool CWin32KeyDesktop::StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) {
    const DWORD dwError = CPcActions::Start(pc, m_hMainWindow);
    if (dwError == ERROR_SUCCESS) {
        return true;
    }
    strRefusal = CPcActions::RefusedText(pc, dwError);
    return false;
}

bool CWin32KeyDesktop::ShowBalloon(const std::string& strTitle, const std::string& strText) {
    return m_trayIcon.ShowBalloon(strTitle, strText, NIIF_WARNING);
}

void CWin32KeyDesktop::LircKeyEvent(int nKey, int nRepeat) {
    m_lirc.KeyEvent(nKey, nRepeat);
}

void CWin32KeyDesktop::LircKeyRelease(int nKey) {
    m_lirc.KeyRelease(nKey);
}
