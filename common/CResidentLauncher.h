// Starts KV480 from the installation folder, at the signed-in
// user's normal level. The configuration utility asks for the highest rights
// and the setup runs as administrator; a KV480 started as their child would
// inherit that and stay elevated until the next logon (its tray icon would
// not come back after an Explorer restart, and with another account's
// credentials it would even run as that account). An elevated caller
// therefore has the desktop shell start it; where there is no shell, or the
// caller is not elevated, it is started directly.
#pragma once

#include <windows.h>

#include <string>

class CResidentLauncher {
public:
    static constexpr const char* RESIDENT_FILE = "KV480.exe";
    // One attempt to open the port, no retries: the configuration utility
    // does not wait for them.
    static constexpr const char* RESIDENT_OPTION = "-nr";
    // KV480's main window, which exists once it has started and ends it on
    // WM_CLOSE.
    static constexpr const char* RESIDENT_CLASS = "CRemoteControlClass";
    static constexpr const char* RESIDENT_CAPTION = "Remote Control";

    // strFolder: the installation folder ("Path"), ending with a backslash;
    // strOption: KV480's argument, or empty for none. Waits up to
    // dwReadyTimeoutMs for KV480 to be ready; TRUE when it was.
    static BOOL Start(const std::string& strFolder, const std::string& strOption,
                      DWORD dwReadyTimeoutMs);

    static bool IsCallerElevated();

    // Has Explorer start a program (ANSI strings), so that it runs at the
    // signed-in user's level: ERROR_SUCCESS when the shell took the request;
    // an error when there is no desktop shell or it refused.
    static HRESULT StartThroughDesktopShell(const std::string& strProgram,
                                            const std::string& strOption,
                                            const std::string& strFolder);
    // The same with UTF-16 text, for paths the ANSI code page cannot hold.
    static HRESULT StartThroughDesktopShell(const std::wstring& strProgram,
                                            const std::wstring& strOption,
                                            const std::wstring& strFolder);

private:
    static BOOL StartDirectly(const std::string& strProgram, const std::string& strCommand,
                              const std::string& strFolder, DWORD dwReadyTimeoutMs);
    // After a start through the shell: KV480's main window has appeared.
    static BOOL WaitForMainWindow(DWORD dwTimeoutMs);
};
