#include "CLinkOpener.h"

#include <process.h>

#include <cstdint>
#include <mutex>

// Shared by the main thread and the open's thread; whichever lets go last
// frees it.
struct CLinkOpener::Job {
    std::mutex lock;
    OpenFunction pfnOpen = nullptr;
    HWND hWnd = nullptr;
    UINT nMessage = 0;
    int nPort = 0;
    unsigned nNumber = 0;
    bool bDone = false;
    bool bAbandoned = false;
    HANDLE hPort = INVALID_HANDLE_VALUE;
    DWORD dwError = ERROR_SUCCESS;
};

CLinkOpener::~CLinkOpener() {
    Abandon();
}

bool CLinkOpener::Start(HWND hWnd, UINT nMessage, int nPort) {
    if (m_pJob != nullptr) {
        return false;
    }
    auto pJob = std::make_shared<Job>();
    pJob->pfnOpen = m_pfnOpen;
    pJob->hWnd = hWnd;
    pJob->nMessage = nMessage;
    pJob->nPort = nPort;
    pJob->nNumber = ++m_nNumber;
    auto* pThreadsShare = new std::shared_ptr<Job>(pJob);
    const std::uintptr_t hThread =
        _beginthreadex(nullptr, 0, &CLinkOpener::ThreadProc, pThreadsShare, 0, nullptr);
    if (hThread == 0) {
        delete pThreadsShare;
        return false;
    }
    // Never waited for: a driver may hold the open for as long as it likes.
    CloseHandle(reinterpret_cast<HANDLE>(hThread));
    m_pJob = pJob;
    return true;
}

bool CLinkOpener::TakeResult(WPARAM wParam, HANDLE* phPort, DWORD* pdwError) {
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

void CLinkOpener::Abandon() {
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

unsigned WINAPI CLinkOpener::ThreadProc(void* pParam) {
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
