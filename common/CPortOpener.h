// Opens a serial port on a thread of its own, so that no caller ever waits on
// a driver: a Bluetooth port connects to its remote device while it opens,
// for up to half a minute, and the open cannot be cancelled. One open at a
// time. Either its result is posted to a window (KV480's link), or a caller
// waits for it with a stop event (KV480cfg's detection worker). An open given
// up before it ends keeps running; its thread closes the port it gets.
#pragma once

#include <windows.h>

#include <memory>

class CPortOpener {
public:
    // Opens and sets up port nPort: the handle, or INVALID_HANDLE_VALUE with
    // the failing call's error in *pdwError. A plain function: an open given
    // up may end after its caller is gone.
    using OpenFunction = HANDLE (*)(int nPort, DWORD* pdwError);

    explicit CPortOpener(OpenFunction pfnOpen) : m_pfnOpen(pfnOpen) {}
    // An open still running is abandoned: its port is closed when it ends.
    ~CPortOpener();
    CPortOpener(const CPortOpener&) = delete;
    CPortOpener& operator=(const CPortOpener&) = delete;

    // Starts opening nPort; when done, posts nMessage to hWnd with the open's
    // number in wParam. False when an open runs or no thread could start.
    bool Start(HWND hWnd, UINT nMessage, int nPort);
    // For that message: the result of the open numbered wParam. False for
    // any other number (a message from elsewhere, or an abandoned open).
    bool TakeResult(WPARAM wParam, HANDLE* phPort, DWORD* pdwError);
    // Forgets the open that runs; its port is closed when it ends.
    void Abandon();
    bool IsRunning() const { return m_pJob != nullptr; }

    // Opens nPort and waits for it, or for hStop (null: no stop), whichever
    // comes first. The port, or INVALID_HANDLE_VALUE when the open failed or
    // was given up for the stop. Without a thread the open runs here.
    HANDLE Open(int nPort, HANDLE hStop, DWORD* pdwError);

private:
    struct Job;
    bool StartJob(HWND hWnd, UINT nMessage, int nPort, bool bWaited);
    static unsigned WINAPI ThreadProc(void* pParam);

    OpenFunction m_pfnOpen;
    std::shared_ptr<Job> m_pJob;
    unsigned m_nNumber = 0;
};
