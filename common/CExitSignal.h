// Ends a running KV480 in any session. With fast user switching each
// signed-in user has a KV480 of their own; a window message cannot reach the
// other sessions, a named event can. Each KV480 makes an event that only
// SYSTEM and the administrators may set, and ends as its "Exit" command does
// when it is set. The event lies in a private namespace that only a token of
// KV480's user can create and only SYSTEM, the administrators and that user
// can open, so no other user can make it first (see ExitSignalNamespace.h).
// Where the system has no private namespaces, it is a global event of the
// session's name, obeyed only when no one else made it. The setup sets the
// event of every KV480, waits until none runs and resets them, so that a
// KV480 started afterwards runs on.
#pragma once

#include <windows.h>

#include <string>

class CExitSignal {
public:
    // Manual-reset; the name is followed by "_" and the session's number.
    // Where there are private namespaces nothing is made under this name, so
    // what a squatter makes there is never waited for; an older setup, which
    // knows only this name, then ends KV480 by force.
    static constexpr const char* EVENT_NAME = "Global\\VEKO_KV480_Exit";

    // The global event of the KV480 in that session.
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

    // The setup's side: the event of the KV480 that pUser runs in that
    // session, with the right to set and reset it, or null when no KV480
    // watches one there. Without pUser only the global event is looked for.
    // The caller closes it.
    static HANDLE OpenToSignal(DWORD dwSession, PSID pUser);

private:
    static void CALLBACK OnSignalled(void* pContext, BOOLEAN bTimedOut);

    HANDLE MakeInNamespace(DWORD dwSession);
    void CloseNamespace();

    HANDLE m_hNamespace = nullptr;
    bool m_bNamespaceMade = false;
    HANDLE m_hEvent = nullptr;
    HANDLE m_hWait = nullptr;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
    WPARAM m_wParam = 0;
};
