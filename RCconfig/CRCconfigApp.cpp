#include "CRCconfigApp.h"

#include "CRCconfigDlg.h"

#include <commctrl.h>

// The single application object; its boxes carry the product's name.
CRCconfigApp theApp;

CRCconfigApp::CRCconfigApp() : CWinApp("Remote Control configuration") {}

BOOL CRCconfigApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);

    CRCconfigDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // No message loop of the application's own: the program ends here.
    return FALSE;
}
