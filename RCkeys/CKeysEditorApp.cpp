#include "CKeysEditorApp.h"

#include "CKeyMapStore.h"
#include "CKeysEditorDlg.h"
#include "KeyMapLocation.h"
#include "KeysEditorWindow.h"

#include "EditorMessages.h"
#include "MessageBox.h"

#include <aclapi.h>
#include <commctrl.h>
#include <sddl.h>

#include <string>
#include <vector>

// The single application object; titled after the program file.
CKeysEditorApp theApp;

namespace {

// The editor's window class: a dialog's, under the name KV480 looks for.
bool RegisterEditorClass(HINSTANCE hInstance) {
    WNDCLASSA wc;
    if (!GetClassInfoA(nullptr, "#32770", &wc)) {
        return false;
    }
    wc.hInstance = hInstance;
    wc.lpszClassName = keys_editor::WINDOW_CLASS;
    wc.hIcon = nullptr;
    return framework::AfxRegisterClass(&wc) != FALSE;
}

// A SID of this process's token as text ("S-1-5-21-..."): TokenUser, unlike
// the user name, differs for a local and a domain account of one name;
// TokenOwner is the owner the objects it makes get (an elevated
// administrator's are the administrators'). Empty when unknown.
std::string TokenSid(TOKEN_INFORMATION_CLASS what) {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return std::string();
    }
    DWORD dwSize = 0;
    GetTokenInformation(hToken, what, nullptr, 0, &dwSize);
    std::vector<BYTE> buffer(dwSize > sizeof(TOKEN_USER) ? dwSize : sizeof(TOKEN_USER));
    std::string strSid;
    char* pszSid = nullptr;
    if (GetTokenInformation(hToken, what, buffer.data(), static_cast<DWORD>(buffer.size()),
                            &dwSize)) {
        const PSID pSid = what == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                            : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
        if (ConvertSidToStringSidA(pSid, &pszSid)) {
            strSid = pszSid;
            LocalFree(pszSid);
        }
    }
    CloseHandle(hToken);
    return strSid;
}

// Whether the object is owned by the user running this editor: a name taken
// first by someone else must not decide whether the editor opens.
bool IsOwnedByUser(HANDLE hObject) {
    PSID pOwner = nullptr;
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (GetSecurityInfo(hObject, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &pOwner, nullptr,
                        nullptr, nullptr, &pDescriptor) != ERROR_SUCCESS) {
        return false;
    }
    char* pszOwner = nullptr;
    // Windows gives every object an owner; Wine gives one only when asked.
    const bool bOwned = pOwner == nullptr ||
                        (ConvertSidToStringSidA(pOwner, &pszOwner) &&
                         (TokenSid(TokenUser) == pszOwner || TokenSid(TokenOwner) == pszOwner));
    if (pszOwner != nullptr) {
        LocalFree(pszOwner);
    }
    LocalFree(pDescriptor);
    return bOwned;
}

void TellCannotOpen(const std::string& strWhy) {
    const std::string strText = "The key-map editor cannot open: " + strWhy;
    framework::ShowMessageBox(nullptr, strText.c_str(), EDITOR_TITLE, MB_OK | MB_ICONERROR);
}

} // namespace

CKeysEditorApp::CKeysEditorApp() : CWinApp(EDITOR_TITLE) {}

BOOL CKeysEditorApp::InitInstance() {
    // One per user and session: the session's own namespace, so another
    // session of the same user opens an editor of its own, and the user's
    // SID, so another user of that session has a name of their own.
    const std::string strSid = TokenSid(TokenUser);
    const std::string strName = keys_editor::INSTANCE_PREFIX + strSid;
    const HANDLE hMutex = strSid.empty() ? nullptr : CreateMutexA(nullptr, FALSE, strName.c_str());
    const DWORD dwError = GetLastError();
    if (hMutex == nullptr) {
        TellCannotOpen(dwError == ERROR_ACCESS_DENIED
                           ? "another user's program holds its name (" + strName + ")."
                           : "Windows error " + std::to_string(dwError) + ".");
        return FALSE;
    }
    if (dwError == ERROR_ALREADY_EXISTS) {
        const bool bOwn = IsOwnedByUser(hMutex);
        CloseHandle(hMutex);
        const HWND hOther = bOwn ? FindWindowA(keys_editor::WINDOW_CLASS, nullptr) : nullptr;
        if (hOther != nullptr) {
            if (IsIconic(hOther)) {
                ShowWindow(hOther, SW_RESTORE);
            }
            SetForegroundWindow(hOther);
        } else {
            TellCannotOpen(bOwn ? "it is already starting; try again in a moment."
                                : "another user's program holds its name (" + strName + ").");
        }
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    if (RegisterEditorClass(m_hInstance)) {
        CKeysEditorDlg dlg;
        dlg.SetFiles(keymaplocation::UserFile(), keymaplocation::InstalledFile());
        m_pMainWnd = &dlg;
        if (dlg.DoModal() == -1) {
            TellCannotOpen("its window could not be made.");
        }
        m_pMainWnd = nullptr;
    } else {
        TellCannotOpen("its window class could not be registered.");
    }
    if (hMutex != nullptr) {
        CloseHandle(hMutex);
    }
    // No message loop of the application's own: the program ends here.
    return FALSE;
}
