// Ends every running KV480, in every session. With fast user switching each
// signed-in user has a KV480 of their own; a window message cannot reach the
// other sessions, a named event in the global namespace can. Each KV480
// watches the event and ends as its "Exit" command does when it is set. The
// setup sets it, waits until no KV480 runs and resets it, so that a KV480
// started afterwards runs on.
#pragma once

#include <windows.h>

class CExitSignal {
public:
    // Manual-reset: one setting reaches every watcher.
    static constexpr const char* EVENT_NAME = "Global\\VEKO_KV480_Exit";

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

    // The setup's side: the event with the right to set and reset it, or null
    // when no KV480 watches it (then none runs). The caller closes it.
    static HANDLE OpenToSignal();

private:
    static void CALLBACK OnSignalled(void* pContext, BOOLEAN bTimedOut);

    HANDLE m_hEvent = nullptr;
    HANDLE m_hWait = nullptr;
    HWND m_hWnd = nullptr;
    UINT m_nMessage = 0;
    WPARAM m_wParam = 0;
};
