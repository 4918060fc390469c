#include "CWin32DesktopWindows.h"

#include "CRecvApp.h"
#include "CResidentLauncher.h"
#include "KeysEditorWindow.h"
#include "ProgramOf.h"
#include "TargetWindow.h"
#include "WideText.h"

#include <dwmapi.h>

#include <iterator>

namespace {

// Enough for any caption a section can name (values are cut at 254).
const int CAPTION_SIZE = 1024;

HWND HandleOf(IDesktopWindows::Window window) {
    return reinterpret_cast<HWND>(window);
}

IDesktopWindows::Window WindowOf(HWND hWnd) {
    return reinterpret_cast<IDesktopWindows::Window>(hWnd);
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

CWin32DesktopWindows::CWin32DesktopWindows(const CRecvApp& recvApps, UINT nKeyMsg, UINT nReleaseMsg)
    : m_recvApps(recvApps), m_nKeyMsg(nKeyMsg), m_nReleaseMsg(nReleaseMsg),
      m_dwOwnIntegrity(IntegrityOf(GetCurrentProcessId())),
      m_bElevated(CResidentLauncher::IsCallerElevated()) {}

IDesktopWindows::PostResult CWin32DesktopWindows::Post(Window window, Message message, int nKey,
                                                       int nRepeat) {
    // 0 when the registration failed: a key is posted all the same.
    UINT nMessage = m_nKeyMsg;
    if (message == Message::Release) {
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

IDesktopWindows::Window CWin32DesktopWindows::KeysEditorInFront() const {
    const HWND hWindow = ForegroundRoot();
    char szClass[64] = "";
    return hWindow != nullptr && GetClassNameA(hWindow, szClass, sizeof(szClass)) > 0 &&
                   lstrcmpiA(szClass, keys_editor::WINDOW_CLASS) == 0
               ? WindowOf(hWindow)
               : 0;
}

IDesktopWindows::Window CWin32DesktopWindows::ReceivingWindow() const {
    return WindowOf(ChooseTargetWindow(m_recvApps));
}

IDesktopWindows::Window CWin32DesktopWindows::Foreground() const {
    return WindowOf(ForegroundRoot());
}

IDesktopWindows::Window CWin32DesktopWindows::UnderPointer() const {
    POINT point;
    if (!GetCursorPos(&point)) {
        return 0;
    }
    const HWND hWindow = WindowFromPoint(point);
    return WindowOf(hWindow != nullptr ? GetAncestor(hWindow, GA_ROOT) : nullptr);
}

IDesktopWindows::WindowFacts CWin32DesktopWindows::FactsOf(Window window) const {
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

std::string CWin32DesktopWindows::ProgramOf(Window window) const {
    return widetext::Narrow(::ProgramOf(HandleOf(window)).c_str());
}

bool CWin32DesktopWindows::IsElevated() const {
    return m_bElevated;
}

bool CWin32DesktopWindows::IsSessionLocked() const {
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
