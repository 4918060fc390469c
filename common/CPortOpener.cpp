#include "CPortOpener.h"

#include <process.h>

#include <cstdint>
#include <iterator>
#include <mutex>

// Shared by the caller and the open's thread; whichever lets go last frees it.
struct CPortOpener::Job {
    ~Job() {
        if (hDone != nullptr) {
            CloseHandle(hDone);
        }
    }

    std::mutex lock;
    OpenFunction pfnOpen = nullptr;
    // Where the result is posted; null when the caller waits on hDone.
    HWND hWnd = nullptr;
    UINT nMessage = 0;
    HANDLE hDone = nullptr;
    int nPort = 0;
    unsigned nNumber = 0;
    bool bDone = false;
    bool bAbandoned = false;
    HANDLE hPort = INVALID_HANDLE_VALUE;
    DWORD dwError = ERROR_SUCCESS;
};

CPortOpener::~CPortOpener() {
    Abandon();
}

bool CPortOpener::Start(HWND hWnd, UINT nMessage, int nPort) {
    return StartJob(hWnd, nMessage, nPort, false);
}

bool CPortOpener::StartJob(HWND hWnd, UINT nMessage, int nPort, bool bWaited) {
    if (m_pJob != nullptr) {
        return false;
    }
    auto pJob = std::make_shared<Job>();
    pJob->pfnOpen = m_pfnOpen;
    pJob->hWnd = hWnd;
    pJob->nMessage = nMessage;
    pJob->nPort = nPort;
    pJob->nNumber = ++m_nNumber;
    if (bWaited) {
        pJob->hDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (pJob->hDone == nullptr) {
            return false;
        }
    }
    auto* pThreadsShare = new std::shared_ptr<Job>(pJob);
    const std::uintptr_t hThread =
        _beginthreadex(nullptr, 0, &CPortOpener::ThreadProc, pThreadsShare, 0, nullptr);
    if (hThread == 0) {
        delete pThreadsShare;
        return false;
    }
    // Never waited for: a driver may hold the open for as long as it likes.
    CloseHandle(reinterpret_cast<HANDLE>(hThread));
    m_pJob = pJob;
    return true;
}

bool CPortOpener::TakeResult(WPARAM wParam, HANDLE* phPort, DWORD* pdwError) {
    if (m_pJob == nullptr || wParam != m_pJob->nNumber) {
        return false;
    }
    {
        const std::lock_guard<std::mutex> guard(m_pJob->lock);
        if (!m_pJob->bDone) {
            return false;
        }
        *phPort = m_pJob->hPort;
        *pdwError = m_pJob->dwError;
        m_pJob->hPort = INVALID_HANDLE_VALUE;
    }
    m_pJob.reset();
    return true;
}

void CPortOpener::Abandon() {
    if (m_pJob == nullptr) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(m_pJob->lock);
        m_pJob->bAbandoned = true;
        if (m_pJob->hPort != INVALID_HANDLE_VALUE) {
            CloseHandle(m_pJob->hPort);
            m_pJob->hPort = INVALID_HANDLE_VALUE;
        }
    }
    m_pJob.reset();
}

HANDLE CPortOpener::Open(int nPort, HANDLE hStop, DWORD* pdwError) {
    *pdwError = ERROR_SUCCESS;
    if (!StartJob(nullptr, 0, nPort, true)) {
        // No thread to hand it to: open here, unbounded.
        return m_pfnOpen(nPort, pdwError);
    }
    const HANDLE ahWait[] = {m_pJob->hDone, hStop};
    const DWORD nWait = hStop != nullptr ? static_cast<DWORD>(std::size(ahWait)) : 1;
    WaitForMultipleObjects(nWait, ahWait, FALSE, INFINITE);
    // An open that ended as the stop came still counts.
    HANDLE hPort = INVALID_HANDLE_VALUE;
    if (TakeResult(m_pJob->nNumber, &hPort, pdwError)) {
        return hPort;
    }
    *pdwError = ERROR_OPERATION_ABORTED;
    Abandon();
    return INVALID_HANDLE_VALUE;
}

unsigned WINAPI CPortOpener::ThreadProc(void* pParam) {
    auto* pShare = static_cast<std::shared_ptr<Job>*>(pParam);
    const std::shared_ptr<Job> pJob = *pShare;
    delete pShare;
    DWORD dwError = ERROR_SUCCESS;
    const HANDLE hPort = pJob->pfnOpen(pJob->nPort, &dwError);
    const std::lock_guard<std::mutex> guard(pJob->lock);
    pJob->bDone = true;
    if (!pJob->bAbandoned) {
        pJob->hPort = hPort;
        pJob->dwError = dwError;
        if (pJob->hWnd == nullptr) {
            SetEvent(pJob->hDone);
            return 0;
        }
        if (PostMessageA(pJob->hWnd, pJob->nMessage, pJob->nNumber, 0)) {
            return 0;
        }
        // The window is gone: nobody takes the port.
        pJob->hPort = INVALID_HANDLE_VALUE;
    }
    if (hPort != INVALID_HANDLE_VALUE) {
        CloseHandle(hPort);
    }
    return 0;
}
