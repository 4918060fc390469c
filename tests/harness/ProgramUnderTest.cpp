#include "ProgramUnderTest.h"

#include <vector>

namespace harness {

ProgramUnderTest::~ProgramUnderTest() {
    if (m_process == nullptr)
        return;
    if (IsRunning()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

namespace {

// The administrator's token without its rights, as Windows starts a program
// of an administrator with UAC on; null when this process is not elevated.
HANDLE LimitedToken() {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own))
        return nullptr;
    TOKEN_ELEVATION elevation{};
    TOKEN_LINKED_TOKEN linked{};
    DWORD size = 0;
    const bool elevated =
        GetTokenInformation(own, TokenElevation, &elevation, sizeof(elevation), &size) &&
        elevation.TokenIsElevated != 0;
    if (!elevated || !GetTokenInformation(own, TokenLinkedToken, &linked, sizeof(linked), &size))
        linked.LinkedToken = nullptr;
    CloseHandle(own);
    return linked.LinkedToken;
}

} // namespace

bool ProgramUnderTest::Start(const std::string& exe, const std::string& arguments,
                             const std::string& workingDirectory) {
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const char* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();
    const HANDLE limited = m_unelevated ? LimitedToken() : nullptr;
    const BOOL started =
        limited != nullptr
            ? CreateProcessAsUserA(limited, exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, directory, &startup, &info)
            : CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             directory, &startup, &info);
    if (limited != nullptr)
        CloseHandle(limited);
    if (!started)
        return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_pid = info.dwProcessId;
    return true;
}

bool ProgramUnderTest::IsRunning() const {
    return m_process != nullptr && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool ProgramUnderTest::WaitForExit(DWORD timeoutMs) {
    return m_process != nullptr && WaitForSingleObject(m_process, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process != nullptr)
        GetExitCodeProcess(m_process, &code);
    return code;
}

void ProgramUnderTest::Terminate() {
    if (IsRunning()) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
    }
}

HWND ProgramUnderTest::WaitForWindow(const char* className, const char* caption,
                                     DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FindProcessWindow(m_pid, className, caption, false);
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool ProgramUnderTest::WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs) const {
    HWND window = nullptr;
    if (!WaitUntil(
            [&] {
                window = FindProcessWindow(m_pid, "#32770", nullptr, true);
                return window != nullptr && FindWindowExA(window, nullptr, "Static", nullptr);
            },
            timeoutMs))
        return false;
    box.window = window;
    box.title = WindowText(window);
    box.text.clear();
    // The text is the box's Static that is not its icon.
    for (HWND child = FindWindowExA(window, nullptr, "Static", nullptr); child != nullptr;
         child = FindWindowExA(window, child, "Static", nullptr)) {
        std::string text = WindowText(child);
        if (!text.empty()) {
            box.text = text;
            break;
        }
    }
    return true;
}

void ProgramUnderTest::Dismiss(const MessageBoxSeen& box) {
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length))
        return std::string();
    return std::string(text, length < sizeof(text) ? length : sizeof(text) - 1);
}

namespace {

struct WindowSearch {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || (search.visibleOnly && !IsWindowVisible(window)))
        return TRUE;
    char name[256] = "";
    if (search.className != nullptr &&
        (!GetClassNameA(window, name, sizeof(name)) || lstrcmpA(name, search.className) != 0))
        return TRUE;
    search.found = window;
    return FALSE;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const char* className, const char* caption, bool visibleOnly) {
    if (caption != nullptr) {
        // Matched by the system, as other programs find it: the program may be
        // too busy to answer WM_GETTEXT (it sleeps between connection attempts).
        for (HWND window = FindWindowExA(nullptr, nullptr, className, caption); window != nullptr;
             window = FindWindowExA(nullptr, window, className, caption)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == pid && (!visibleOnly || IsWindowVisible(window)))
                return window;
        }
        return nullptr;
    }
    WindowSearch search{pid, className, visibleOnly, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool KeepInFront(HWND window, DWORD steadyMs, DWORD timeoutMs) {
    SetForegroundWindow(window);
    DWORD since = GetTickCount();
    return WaitUntil(
        [&] {
            if (GetForegroundWindow() != window) {
                SetForegroundWindow(window);
                since = GetTickCount();
            }
            return GetTickCount() - since >= steadyMs;
        },
        timeoutMs);
}

void PumpMessages() {
    MSG msg;
    // The W forms: characters outside the code page reach Unicode windows.
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

} // namespace harness
