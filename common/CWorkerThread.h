// A worker thread that its owner starts and stops within a bound. The worker
// may be waiting for a message it sent to the owner's thread, so the owner
// handles sent messages while it waits; a worker that does not end in time is
// left to end by itself, never terminated.
#pragma once

#include <windows.h>

class CWorkerThread {
public:
    using Procedure = unsigned(WINAPI*)(void* pParam);

    CWorkerThread() = default;
    CWorkerThread(const CWorkerThread&) = delete;
    CWorkerThread& operator=(const CWorkerThread&) = delete;

    // Runs pfnProc(pParam) at the lowest priority; false when no thread came.
    bool Start(Procedure pfnProc, void* pParam);
    bool IsRunning() const { return m_hThread != nullptr; }
    // Sets hStopEvent and waits up to dwBoundMs for the thread to end. True
    // when the thread is gone; false when it still runs (then the owner
    // leaves what the thread may use, hStopEvent included, to the thread or
    // to the end of the process).
    bool Stop(HANDLE hStopEvent, DWORD dwBoundMs);

private:
    bool WaitHandlingSentMessages(DWORD dwBoundMs) const;

    HANDLE m_hThread = nullptr;
};
