#include "CResidentLauncher.h"

#include "StartRoute.h"

#include <exdisp.h>
#include <objbase.h>
#include <oleauto.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <cstring>

namespace {

constexpr DWORD WINDOW_POLL_MS = 50;
// The command line's buffer, as the system's own limit for a path.
constexpr std::size_t COMMAND_SIZE = MAX_PATH;

// Releases the interface it holds when it goes.
template <typename T> class Held {
public:
    Held() = default;
    ~Held() {
        if (m_p != nullptr) {
            m_p->Release();
        }
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* operator->() const { return m_p; }
    T** Out() { return &m_p; }
    void** OutVoid() { return reinterpret_cast<void**>(&m_p); }
    bool Empty() const { return m_p == nullptr; }

private:
    T* m_p = nullptr;
};

// A string variant that frees its text when it goes.
class TextVariant {
public:
    explicit TextVariant(const std::wstring& strText) {
        VariantInit(&m_v);
        m_v.vt = VT_BSTR;
        m_v.bstrVal = SysAllocStringLen(strText.data(), static_cast<UINT>(strText.size()));
    }
    ~TextVariant() { VariantClear(&m_v); }
    TextVariant(const TextVariant&) = delete;
    TextVariant& operator=(const TextVariant&) = delete;
    const VARIANT& Get() const { return m_v; }
    bool Ok() const { return m_v.bstrVal != nullptr; }

private:
    VARIANT m_v;
};

} // namespace

bool CResidentLauncher::IsCallerElevated() {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return false;
    }
    TOKEN_ELEVATION elevation{};
    DWORD dwSize = 0;
    const BOOL bRead =
        GetTokenInformation(hToken, TokenElevation, &elevation, sizeof(elevation), &dwSize);
    CloseHandle(hToken);
    return bRead && elevation.TokenIsElevated != 0;
}

BOOL CResidentLauncher::Start(const std::string& strFolder, const std::string& strOption,
                              DWORD dwReadyTimeoutMs) {
    const std::string strProgram = strFolder + RESIDENT_FILE;
    // The program is named on its own and quoted in the command line: split
    // at a space of the folder, the command line would name another program.
    std::string strCommand = "\"" + strProgram + "\"";
    if (!strOption.empty()) {
        strCommand += " " + strOption;
    }
    // Cut short, it would start the program without its option, or another one.
    if (strCommand.size() >= COMMAND_SIZE) {
        return FALSE;
    }
    // Missing, it would fail to start silently as a child; the shell would
    // tell the user in a message of its own.
    const DWORD dwAttributes = GetFileAttributesA(strProgram.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FALSE;
    }
    const bool bElevated = IsCallerElevated();
    const bool bShellStarted =
        bElevated && SUCCEEDED(StartThroughDesktopShell(strProgram, strOption, strFolder));
    if (ChooseStartRoute(bElevated, bShellStarted) == StartRoute::DesktopShell) {
        return WaitForMainWindow(dwReadyTimeoutMs);
    }
    return StartDirectly(strProgram, strCommand, strFolder, dwReadyTimeoutMs);
}

namespace {

// The ANSI code page's text as UTF-16.
std::wstring AnsiToWide(const std::string& strText) {
    const int nLength = MultiByteToWideChar(CP_ACP, 0, strText.data(),
                                            static_cast<int>(strText.size()), nullptr, 0);
    std::wstring strWide(static_cast<std::size_t>(nLength > 0 ? nLength : 0), L'\0');
    if (nLength > 0) {
        MultiByteToWideChar(CP_ACP, 0, strText.data(), static_cast<int>(strText.size()),
                            &strWide[0], nLength);
    }
    return strWide;
}

} // namespace

HRESULT CResidentLauncher::StartThroughDesktopShell(const std::string& strProgram,
                                                    const std::string& strOption,
                                                    const std::string& strFolder) {
    return StartThroughDesktopShell(AnsiToWide(strProgram), AnsiToWide(strOption),
                                    AnsiToWide(strFolder));
}

HRESULT CResidentLauncher::StartThroughDesktopShell(const std::wstring& strProgram,
                                                    const std::wstring& strOption,
                                                    const std::wstring& strFolder) {
    // Explorer's desktop window runs at the user's level; what its folder
    // view's shell object starts does too.
    const HRESULT hrInit =
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    HRESULT hr = E_FAIL;
    {
        Held<IShellWindows> shellWindows;
        Held<IDispatch> desktop;
        Held<IServiceProvider> services;
        Held<IShellBrowser> browser;
        Held<IShellView> view;
        Held<IDispatch> background;
        Held<IShellFolderViewDual> folderView;
        Held<IDispatch> application;
        Held<IShellDispatch2> shell;
        VARIANT vEmpty;
        VariantInit(&vEmpty);
        long hwnd = 0;
        hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              shellWindows.OutVoid());
        if (SUCCEEDED(hr)) {
            hr = shellWindows->FindWindowSW(&vEmpty, &vEmpty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH,
                                            desktop.Out());
            // S_FALSE: no desktop window.
            if (hr == S_FALSE || desktop.Empty()) {
                hr = E_FAIL;
            }
        }
        if (SUCCEEDED(hr)) {
            hr = desktop->QueryInterface(IID_IServiceProvider, services.OutVoid());
        }
        if (SUCCEEDED(hr)) {
            hr = services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.OutVoid());
        }
        if (SUCCEEDED(hr)) {
            hr = browser->QueryActiveShellView(view.Out());
        }
        if (SUCCEEDED(hr)) {
            hr = view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.OutVoid());
        }
        if (SUCCEEDED(hr)) {
            hr = background->QueryInterface(IID_IShellFolderViewDual, folderView.OutVoid());
        }
        if (SUCCEEDED(hr)) {
            hr = folderView->get_Application(application.Out());
        }
        if (SUCCEEDED(hr)) {
            hr = application->QueryInterface(IID_IShellDispatch2, shell.OutVoid());
        }
        if (SUCCEEDED(hr)) {
            const TextVariant vFile(strProgram);
            const TextVariant vArguments(strOption);
            const TextVariant vFolder(strFolder);
            const TextVariant vOperation(L"open");
            VARIANT vShow;
            VariantInit(&vShow);
            vShow.vt = VT_I4;
            vShow.lVal = SW_SHOWNORMAL;
            hr = vFile.Ok() && vArguments.Ok() && vFolder.Ok() && vOperation.Ok()
                     ? shell->ShellExecute(vFile.Get().bstrVal, vArguments.Get(), vFolder.Get(),
                                           vOperation.Get(), vShow)
                     : E_OUTOFMEMORY;
        }
    }
    if (SUCCEEDED(hrInit)) {
        CoUninitialize();
    }
    return hr;
}

BOOL CResidentLauncher::StartDirectly(const std::string& strProgram, const std::string& strCommand,
                                      const std::string& strFolder, DWORD dwReadyTimeoutMs) {
    char szCommand[COMMAND_SIZE];
    std::memcpy(szCommand, strCommand.c_str(), strCommand.size() + 1);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(strProgram.c_str(), szCommand, nullptr, nullptr, FALSE, 0, nullptr,
                        strFolder.c_str(), &startup, &process)) {
        return FALSE;
    }
    const DWORD dwIdle = WaitForInputIdle(process.hProcess, dwReadyTimeoutMs);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return dwIdle == 0;
}

BOOL CResidentLauncher::WaitForMainWindow(DWORD dwTimeoutMs) {
    const DWORD dwStart = GetTickCount();
    for (;;) {
        if (FindWindowA(RESIDENT_CLASS, RESIDENT_CAPTION) != nullptr) {
            return TRUE;
        }
        if (GetTickCount() - dwStart >= dwTimeoutMs) {
            return FALSE;
        }
        Sleep(WINDOW_POLL_MS);
    }
}
