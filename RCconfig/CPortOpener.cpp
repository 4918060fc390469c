#include "CPortOpener.h"

#include "CSerialLine.h"

#include <process.h>

#include <atomic>
#include <cstdint>
#include <iterator>
#include <string>

namespace {

enum : int { OPEN_PENDING = 0, OPEN_DONE = 1, OPEN_ABANDONED = 2 };

// Shared by the caller and the opening thread; the last one to let go
// deletes it.
struct Request {
    std::string strDevice;
    CPortOpener::OpenFunction pfnOpen = nullptr;
    HANDLE hDone = nullptr;
    HANDLE hResult = INVALID_HANDLE_VALUE;
    std::atomic<int> nState{OPEN_PENDING};
    std::atomic<int> nHolders{2};

    ~Request() {
        if (hDone != nullptr) {
            CloseHandle(hDone);
        }
    }
    void Release() {
        if (nHolders.fetch_sub(1) == 1) {
            delete this;
        }
    }
};

unsigned WINAPI OpenThreadProc(void* pParam) {
    auto* pRequest = static_cast<Request*>(pParam);
    const HANDLE hDevice = pRequest->pfnOpen(pRequest->strDevice.c_str());
    pRequest->hResult = hDevice;
    if (pRequest->nState.exchange(OPEN_DONE) == OPEN_ABANDONED) {
        // Nobody waits for it any more.
        if (hDevice != INVALID_HANDLE_VALUE) {
            CloseHandle(hDevice);
        }
    } else {
        SetEvent(pRequest->hDone);
    }
    pRequest->Release();
    return 0;
}

} // namespace

HANDLE CPortOpener::OpenDevice(const char* pszDevice) {
    return CSerialLine::OpenDevice(pszDevice);
}

HANDLE CPortOpener::Open(const char* pszDevice, HANDLE hStop, OpenFunction pfnOpen) {
    if (pfnOpen == nullptr) {
        pfnOpen = &CPortOpener::OpenDevice;
    }
    auto* pRequest = new Request;
    pRequest->strDevice = pszDevice;
    pRequest->pfnOpen = pfnOpen;
    pRequest->hDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const std::uintptr_t hThread =
        pRequest->hDone != nullptr
            ? _beginthreadex(nullptr, 0, &OpenThreadProc, pRequest, 0, nullptr)
            : 0;
    if (hThread == 0) {
        // No thread to hand it to: open here, unbounded as before.
        delete pRequest;
        return pfnOpen(pszDevice);
    }
    CloseHandle(reinterpret_cast<HANDLE>(hThread));

    const HANDLE ahWait[] = {pRequest->hDone, hStop};
    const DWORD nWait = hStop != nullptr ? static_cast<DWORD>(std::size(ahWait)) : 1;
    WaitForMultipleObjects(nWait, ahWait, FALSE, INFINITE);
    HANDLE hDevice = INVALID_HANDLE_VALUE;
    if (pRequest->nState.exchange(OPEN_ABANDONED) == OPEN_DONE) {
        hDevice = pRequest->hResult;
    }
    pRequest->Release();
    return hDevice;
}
