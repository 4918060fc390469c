#include "CWorkerThread.h"

#include <process.h>

#include <cstdint>

bool CWorkerThread::Start(Procedure pfnProc, void* pParam) {
    if (m_hThread != nullptr) {
        return true;
    }
    unsigned nThreadId = 0;
    const std::uintptr_t hThread = _beginthreadex(nullptr, 0, pfnProc, pParam, 0, &nThreadId);
    if (hThread == 0) {
        return false;
    }
    m_hThread = reinterpret_cast<HANDLE>(hThread);
    SetThreadPriority(m_hThread, THREAD_PRIORITY_LOWEST);
    return true;
}

bool CWorkerThread::Stop(HANDLE hStopEvent, DWORD dwBoundMs) {
    if (m_hThread == nullptr) {
        return true;
    }
    SetEvent(hStopEvent);
    // Never terminated: a thread killed while it holds the heap's lock or a
    // mutex leaves them held, and the process hangs at its next allocation
    // or at exit. One that is late ends by itself once it sees the event.
    const bool bGone = WaitHandlingSentMessages(dwBoundMs);
    // Closing the handle leaves a thread that still runs alone.
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    return bGone;
}

bool CWorkerThread::WaitHandlingSentMessages(DWORD dwBoundMs) const {
    const DWORD dwStart = GetTickCount();
    for (;;) {
        const DWORD dwElapsed = GetTickCount() - dwStart;
        if (dwElapsed >= dwBoundMs) {
            break;
        }
        const DWORD dwWait = MsgWaitForMultipleObjectsEx(1, &m_hThread, dwBoundMs - dwElapsed,
                                                         QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (dwWait == WAIT_OBJECT_0) {
            return true;
        }
        if (dwWait != WAIT_OBJECT_0 + 1) {
            break;
        }
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    // It may have ended just as the time ran out.
    return WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0;
}
