// Opens and sets up the receiver's port on a thread of its own, so the main
// thread never waits on a driver (a Bluetooth port connects to its device
// while it opens, for up to half a minute). The result is posted back; one
// open at a time.
#pragma once

#include <windows.h>

#include <memory>

class CLinkOpener {
public:
    // Opens and sets up port nPort: the handle, or INVALID_HANDLE_VALUE with
    // the failing call's error in *pdwError.
    using OpenFunction = HANDLE (*)(int nPort, DWORD* pdwError);

    explicit CLinkOpener(OpenFunction pfnOpen) : m_pfnOpen(pfnOpen) {}
    // An open still running is abandoned: its port is closed when it ends.
    ~CLinkOpener();
    CLinkOpener(const CLinkOpener&) = delete;
    CLinkOpener& operator=(const CLinkOpener&) = delete;

    // Starts opening nPort; when done, posts nMessage to hWnd with the open's
    // number in wParam. False when an open runs or no thread could start.
    bool Start(HWND hWnd, UINT nMessage, int nPort);
    // For that message: the result of the open numbered wParam. False for
    // any other number (a message from elsewhere, or an abandoned open).
    bool TakeResult(WPARAM wParam, HANDLE* phPort, DWORD* pdwError);
    // Forgets the open that runs; its port is closed when it ends.
    void Abandon();
    bool IsRunning() const { return m_pJob != nullptr; }

private:
    struct Job;
    static unsigned WINAPI ThreadProc(void* pParam);

    OpenFunction m_pfnOpen;
    std::shared_ptr<Job> m_pJob;
    unsigned m_nNumber = 0;
};
