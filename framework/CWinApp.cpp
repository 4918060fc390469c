#include "CWinApp.h"

#include "MessageBox.h"

#include <cstdlib>

namespace {

CWinApp* g_pApp = nullptr;

} // namespace

CWinApp::CWinApp(const char* pszAppName)
    : m_strAppName(pszAppName != nullptr ? pszAppName : framework::ProgramTitle()) {
    g_pApp = this;
    framework::SetAppTitle(m_strAppName);
}

CWinApp::~CWinApp() {
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG msg;
    BOOL bGot;
    while ((bGot = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (bGot == -1) {
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (bGot == 0) {
        m_nExitCode = static_cast<int>(msg.wParam);
    }
    return ExitInstance();
}

int CWinApp::ExitInstance() {
    return m_nExitCode;
}

int RunApplication(HINSTANCE hInstance, const char* pszCmdLine, int nCmdShow) {
    CWinApp* pApp = g_pApp;
    if (pApp == nullptr) {
        return -1;
    }
    pApp->m_hInstance = hInstance;
    pApp->m_strCmdLine = pszCmdLine != nullptr ? pszCmdLine : "";
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_arguments.clear();
    for (int i = 1; i < __argc && __argv != nullptr; ++i) {
        pApp->m_arguments.emplace_back(__argv[i] != nullptr ? __argv[i] : "");
    }
    if (!pApp->InitInstance()) {
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

namespace framework {

CWinApp* AfxGetApp() {
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle() {
    if (g_pApp != nullptr && g_pApp->m_hInstance != nullptr) {
        return g_pApp->m_hInstance;
    }
    return GetModuleHandleA(nullptr);
}

BOOL AfxRegisterClass(WNDCLASSA* pWndClass) {
    WNDCLASSA existing;
    if (GetClassInfoA(pWndClass->hInstance, pWndClass->lpszClassName, &existing)) {
        return TRUE;
    }
    return RegisterClassA(pWndClass) != 0;
}

} // namespace framework

// The program's entry point: runs the application object. It lives in the
// same file as CWinApp's constructor, so that every program with an
// application object links it from the library.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow) {
    return RunApplication(hInstance, lpCmdLine, nCmdShow);
}
