// The application object. A program defines exactly one global object of a
// class derived from CWinApp; the framework's WinMain finds it, fills in the
// instance handle and command line, and runs it:
//
//     InitInstance() FALSE  ->  ExitInstance()        (a dialog-based program
//     InitInstance() TRUE   ->  Run(), which ends with  ends here)
//                               ExitInstance()
//
// The result of ExitInstance is the process's exit code.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CWnd;

class CWinApp {
public:
    // pszAppName null: the program file's name without its extension.
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The message loop, until WM_QUIT; returns ExitInstance().
    virtual int Run();
    // The exit code: the WM_QUIT code when Run saw one, else 0.
    virtual int ExitInstance();

    // The arguments after the program name, split as the C runtime splits them.
    const std::vector<std::string>& GetArguments() const { return m_arguments; }

    HINSTANCE m_hInstance = nullptr;
    std::string m_strCmdLine; // the command line after the program name
    int m_nCmdShow = SW_SHOWNORMAL;
    std::string m_strAppName;
    CWnd* m_pMainWnd = nullptr;

private:
    friend int RunApplication(HINSTANCE, const char*, int);

    std::vector<std::string> m_arguments;
    int m_nExitCode = 0;
};

// What WinMain does with the application object (exposed for tests).
int RunApplication(HINSTANCE hInstance, const char* pszCmdLine, int nCmdShow);

namespace framework {

// The application object; null before it is constructed.
CWinApp* AfxGetApp();
// The program's module, also when no application object exists.
HINSTANCE AfxGetInstanceHandle();
// Registers a window class unless a class of that name is already registered
// for its module. TRUE when the class exists afterwards.
BOOL AfxRegisterClass(WNDCLASSA* pWndClass);

} // namespace framework
