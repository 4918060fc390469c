// Ends a running KV480 in any session. With fast user switching each
// signed-in user has a KV480 of their own; a window message cannot reach the
// other sessions, a named event in the global namespace can. Each KV480 makes
// an event of its own session's name that only SYSTEM, the administrators and
// its user may set, and ends as its "Exit" command does when it is set. The
// setup sets the event of every session a KV480 runs in, waits until none
// runs and resets them, so that a KV480 started afterwards runs on.
#pragma once

#include <windows.h>

#include <string>

class CExitSignal {
public:
    // Manual-reset; the name is followed by "_" and the session's number.
    static constexpr const char* EVENT_NAME = "Global\\VEKO_KV480_Exit";

    // The event of the KV480 in that session.
    static std::string EventName(DWORD dwSession);

    CExitSignal() = default;
    ~CExitSignal();
    CExitSignal(const CExitSignal&) = delete;
    CExitSignal& operator=(const CExitSignal&) = delete;

    // Once the event is set, posts nMessage with wParam (lParam 0) to hWnd,
    // once. False when the event could neither be created nor opened, or
    // when it is not KV480's own (another owner, other entries): then it is
    // not watched.
    bool Watch(HWND hWnd, UINT nMessage, WPARAM wParam);
    // Stops watching; returns once a notice in progress has been posted.
    void Unwatch();

    // The setup's side: the session's event with the right to set and reset
    // it, or null when no KV480 watches it there. The caller closes it.
    static HANDLE OpenToSignal(DWORD dwSession);

private:
    static void CALLBACK OnSignalled(void* pContext, BOOLEAN bTimedOut);

    HANDLE m_hEvent = nullptr;
    HANDLE m_hWait = nullptr;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
    WPARAM m_wParam = 0;
};
