#include "CRCApp.h"

#include "CRCDlg.h"

#include <commctrl.h>
#include <objbase.h>

namespace {

// Other programs find the main dialog by this class and its caption.
const char* const MAIN_WINDOW_CLASS = "CRemoteControlClass";
// Exists while an instance runs.
const char* const INSTANCE_MUTEX = "RemoteControl";

} // namespace

// The single application object; its boxes carry the product's name.
CRCApp theApp;

CRCApp::CRCApp() : CWinApp("Remote Control") {}

BOOL CRCApp::InitInstance() {
    // The main dialog's template names a class of its own; it is the system
    // dialog class under another name. A failure shows when the dialog cannot
    // be created.
    WNDCLASSA wc;
    if (GetClassInfoA(m_hInstance, "#32770", &wc)) {
        wc.lpszClassName = MAIN_WINDOW_CLASS;
        framework::AfxRegisterClass(&wc);
    }

    InitCommonControls();

    HANDLE hMutex = CreateMutexA(nullptr, TRUE, INSTANCE_MUTEX);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs: leave it alone and end without a word.
        if (hMutex != nullptr) {
            CloseHandle(hMutex);
        }
        return FALSE;
    }

    // The about box's link opens the guide with ShellExecute on this thread;
    // shell extensions it loads expect a single-threaded apartment.
    const HRESULT hrCom =
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);

    CRCDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;

    if (SUCCEEDED(hrCom)) {
        CoUninitialize();
    }

    if (hMutex != nullptr) {
        CloseHandle(hMutex);
    }
    // No message loop of the application's own: the program ends here.
    return FALSE;
}
