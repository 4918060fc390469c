// Starts a program of the product as its own process and observes it the way
// a user or another program would: its windows, its message boxes, its end.
#pragma once

#include <windows.h>

#include <string>

namespace harness {

struct MessageBoxSeen {
    HWND window = nullptr;
    std::string title;
    std::string text;
};

class ProgramUnderTest {
public:
    ProgramUnderTest() = default;
    ~ProgramUnderTest(); // ends a process that is still running
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    // exe is a Windows path; arguments are appended to the quoted program path.
    bool Start(const std::string& exe, const std::string& arguments = std::string(),
               const std::string& workingDirectory = std::string());

    // Whether Start drops an elevated caller's administrator rights for the
    // program (Wine runs every program elevated).
    void SetUnelevated(bool unelevated) { m_unelevated = unelevated; }

    DWORD ProcessId() const { return m_pid; }
    bool IsRunning() const;
    // True when the process ended within timeoutMs.
    bool WaitForExit(DWORD timeoutMs);
    DWORD ExitCode() const;
    void Terminate();

    // A top-level window of this process with that class and caption (either
    // may be null to match any), waited for up to timeoutMs.
    HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs) const;
    // The first visible message box of this process, waited for up to timeoutMs.
    bool WaitForMessageBox(MessageBoxSeen& box, DWORD timeoutMs) const;
    // Presses the box's default button.
    static void Dismiss(const MessageBoxSeen& box);

private:
    HANDLE m_process = nullptr;
    DWORD m_pid = 0;
    bool m_unelevated = false;
};

// Text of a window of another process (GetWindowText does not reach there).
std::string WindowText(HWND window);

// Top-level window of process pid with that class and caption (null: any), or null.
HWND FindProcessWindow(DWORD pid, const char* className, const char* caption, bool visibleOnly);

// Polls condition every few milliseconds, pumping this thread's messages, until
// it holds or timeoutMs passed; returns its last value.
template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs);

void PumpMessages();

// Makes window the foreground window and waits until it has stayed so for
// steadyMs, bringing it back meanwhile: under Wine, the X server's late word
// about an earlier activation may still pass the foreground on.
bool KeepInFront(HWND window, DWORD steadyMs = 300, DWORD timeoutMs = 5000);

template <typename Condition> bool WaitUntil(Condition condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

} // namespace harness
