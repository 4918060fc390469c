#include "CExitSignal.h"

#include <sddl.h>

namespace {

// SYSTEM and administrators may set the event; everyone else may only wait
// for it, so that one user cannot end another user's KV480.
const char* const EVENT_SECURITY = "D:(A;;0x1F0003;;;SY)(A;;0x1F0003;;;BA)(A;;0x100000;;;WD)";

HANDLE CreateOrOpenEvent() {
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(EVENT_SECURITY, SDDL_REVISION_1,
                                                              &pDescriptor, nullptr)) {
        pDescriptor = nullptr;
    }
    SECURITY_ATTRIBUTES attributes{};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = pDescriptor;
    HANDLE hEvent = CreateEventA(pDescriptor != nullptr ? &attributes : nullptr, TRUE, FALSE,
                                 CExitSignal::EVENT_NAME);
    if (pDescriptor != nullptr) {
        LocalFree(pDescriptor);
    }
    if (hEvent == nullptr) {
        // Created by an administrator's KV480: a user may only wait for it.
        hEvent = OpenEventA(SYNCHRONIZE, FALSE, CExitSignal::EVENT_NAME);
    }
    return hEvent;
}

} // namespace

CExitSignal::~CExitSignal() {
    Unwatch();
}

bool CExitSignal::Watch(HWND hWnd, UINT nMessage, WPARAM wParam) {
    Unwatch();
    m_hEvent = CreateOrOpenEvent();
    if (m_hEvent == nullptr) {
        return false;
    }
    m_hWnd = hWnd;
    m_nMessage = nMessage;
    m_wParam = wParam;
    if (!RegisterWaitForSingleObject(&m_hWait, m_hEvent, &CExitSignal::OnSignalled, this, INFINITE,
                                     WT_EXECUTEONLYONCE)) {
        m_hWait = nullptr;
        CloseHandle(m_hEvent);
        m_hEvent = nullptr;
        return false;
    }
    return true;
}

void CExitSignal::Unwatch() {
    if (m_hWait != nullptr) {
        // INVALID_HANDLE_VALUE: wait for a callback that has begun.
        UnregisterWaitEx(m_hWait, INVALID_HANDLE_VALUE);
        m_hWait = nullptr;
    }
    if (m_hEvent != nullptr) {
        CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }
}

HANDLE CExitSignal::OpenToSignal() {
    return OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, EVENT_NAME);
}

void CALLBACK CExitSignal::OnSignalled(void* pContext, BOOLEAN bTimedOut) {
    if (bTimedOut) {
        return;
    }
    const auto* pSignal = static_cast<const CExitSignal*>(pContext);
    PostMessageA(pSignal->m_hWnd, pSignal->m_nMessage, pSignal->m_wParam, 0);
}
