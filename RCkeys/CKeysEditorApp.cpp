#include "CKeysEditorApp.h"

#include "CKeyMapStore.h"
#include "CKeysEditorDlg.h"
#include "KeysEditorWindow.h"

#include <commctrl.h>

#include <string>

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

// One per user, in every session of that user.
std::string InstanceMutexName() {
    char szUser[256] = "";
    DWORD dwSize = sizeof(szUser);
    GetUserNameA(szUser, &dwSize);
    std::string strName = std::string("Global\\KV480keys-") + szUser;
    for (std::size_t i = 7; i < strName.size(); ++i) {
        if (strName[i] == '\\') {
            strName[i] = '_';
        }
    }
    return strName;
}

} // namespace

CKeysEditorApp::CKeysEditorApp() : CWinApp(nullptr) {}

BOOL CKeysEditorApp::InitInstance() {
    const HANDLE hMutex = CreateMutexA(nullptr, FALSE, InstanceMutexName().c_str());
    if (hMutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        const HWND hOther = FindWindowA(keys_editor::WINDOW_CLASS, nullptr);
        if (hOther != nullptr) {
            if (IsIconic(hOther)) {
                ShowWindow(hOther, SW_RESTORE);
            }
            SetForegroundWindow(hOther);
        }
        CloseHandle(hMutex);
        return FALSE;
    }

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    if (RegisterEditorClass(m_hInstance)) {
        CKeysEditorDlg dlg;
        dlg.SetFiles(CKeyMapStore::UserFileName(), CKeyMapStore::InstalledFileName());
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    if (hMutex != nullptr) {
        CloseHandle(hMutex);
    }
    // No message loop of the application's own: the program ends here.
    return FALSE;
}
