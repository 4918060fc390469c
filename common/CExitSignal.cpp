#include "CExitSignal.h"

#include "ExitSignalNamespace.h"
#include "ExitSignalTrust.h"

#include <aclapi.h>
#include <sddl.h>

#include <iterator>
#include <vector>

namespace {

constexpr DWORD SIGNAL_ACCESS = EVENT_MODIFY_STATE | SYNCHRONIZE;

// Made with the entries that let only SYSTEM and administrators set it.
HANDLE CreateOrOpenEvent(const std::string& strName) {
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    HANDLE hEvent = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(
            ExitSignalSddl().c_str(), SDDL_REVISION_1, &pDescriptor, nullptr)) {
        SECURITY_ATTRIBUTES attributes{};
        attributes.nLength = sizeof(attributes);
        attributes.lpSecurityDescriptor = pDescriptor;
        hEvent = CreateEventA(&attributes, TRUE, FALSE, strName.c_str());
        LocalFree(pDescriptor);
    }
    if (hEvent == nullptr) {
        // Made by someone else: a user may only wait for it and read who.
        hEvent = OpenEventA(SYNCHRONIZE | READ_CONTROL, FALSE, strName.c_str());
    }
    return hEvent;
}

bool IsSid(PSID pSid, const char* pszSid) {
    PSID pKnown = nullptr;
    if (!ConvertStringSidToSidA(pszSid, &pKnown)) {
        return false;
    }
    const bool bEqual = EqualSid(pSid, pKnown) != FALSE;
    LocalFree(pKnown);
    return bEqual;
}

SidKind KindOf(PSID pSid, PSID pUser, PSID pDefaultOwner) {
    if (pSid == nullptr || !IsValidSid(pSid)) {
        return SidKind::Other;
    }
    const struct {
        const char* pszSid;
        SidKind kind;
    } known[] = {{"S-1-5-18", SidKind::System},
                 {"S-1-5-32-544", SidKind::Administrators},
                 {"S-1-3-4", SidKind::OwnerRights},
                 {"S-1-1-0", SidKind::Everyone}};
    for (const auto& entry : known) {
        if (IsSid(pSid, entry.pszSid)) {
            return entry.kind;
        }
    }
    const bool bThisUser = (pUser != nullptr && EqualSid(pSid, pUser)) ||
                           (pDefaultOwner != nullptr && EqualSid(pSid, pDefaultOwner));
    return bThisUser ? SidKind::ThisUser : SidKind::Other;
}

// The user this process runs as, or the owner it gives the objects it makes
// (an elevated administrator's are the administrators'), kept in buffer.
PSID TokenSid(TOKEN_INFORMATION_CLASS what, std::vector<BYTE>& buffer) {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hToken)) {
        return nullptr;
    }
    DWORD dwSize = 0;
    GetTokenInformation(hToken, what, nullptr, 0, &dwSize);
    PSID pSid = nullptr;
    if (dwSize >= sizeof(TOKEN_USER) && dwSize >= sizeof(TOKEN_OWNER)) {
        buffer.resize(dwSize);
        if (GetTokenInformation(hToken, what, buffer.data(), dwSize, &dwSize)) {
            pSid = what == TokenUser ? reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid
                                     : reinterpret_cast<TOKEN_OWNER*>(buffer.data())->Owner;
        }
    }
    CloseHandle(hToken);
    return pSid;
}

// The boundary that only a token holding pUser, at medium integrity or
// above, may create a namespace in: not another user, nor a sandboxed (low)
// program of the same user. Null where the system has no private namespaces;
// Wine returns null here and ends the process in every other namespace call,
// so none is made without it.
HANDLE MakeBoundary(DWORD dwSession, PSID pUser) {
    const std::string strName = ExitNamespaceBoundaryName(dwSession);
    HANDLE hBoundary =
        CreateBoundaryDescriptorW(std::wstring(strName.begin(), strName.end()).c_str(), 0);
    if (hBoundary == nullptr) {
        return nullptr;
    }
    PSID pMedium = nullptr;
    const bool bMade = AddSIDToBoundaryDescriptor(&hBoundary, pUser) &&
                       ConvertStringSidToSidA("S-1-16-8192", &pMedium) &&
                       AddIntegrityLabelToBoundaryDescriptor(&hBoundary, pMedium);
    if (pMedium != nullptr) {
        LocalFree(pMedium);
    }
    if (!bMade) {
        DeleteBoundaryDescriptor(hBoundary);
        return nullptr;
    }
    return hBoundary;
}

std::wstring NamespaceAlias() {
    const std::string strAlias = EXIT_NAMESPACE_ALIAS;
    return std::wstring(strAlias.begin(), strAlias.end());
}

// Whether the object's owner and entries are the ones KV480 gives it.
bool IsTrusted(HANDLE hEvent) {
    PSID pOwner = nullptr;
    PACL pDacl = nullptr;
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (GetSecurityInfo(hEvent, SE_KERNEL_OBJECT,
                        OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &pOwner, nullptr,
                        &pDacl, nullptr, &pDescriptor) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<BYTE> userBuffer;
    std::vector<BYTE> ownerBuffer;
    const PSID pUser = TokenSid(TokenUser, userBuffer);
    const PSID pDefaultOwner = TokenSid(TokenOwner, ownerBuffer);
    std::vector<AceFact> dacl;
    if (pDacl != nullptr) {
        for (DWORD i = 0; i < pDacl->AceCount; ++i) {
            void* pAce = nullptr;
            if (!GetAce(pDacl, i, &pAce)) {
                break;
            }
            AceFact fact;
            const auto* pHeader = static_cast<const ACE_HEADER*>(pAce);
            if (pHeader->AceType == ACCESS_ALLOWED_ACE_TYPE) {
                auto* pAllowed = static_cast<ACCESS_ALLOWED_ACE*>(pAce);
                fact.bAllowed = true;
                fact.dwMask = pAllowed->Mask;
                fact.sid = KindOf(&pAllowed->SidStart, pUser, pDefaultOwner);
            }
            dacl.push_back(fact);
        }
    }
    const bool bTrusted =
        IsExitSignalTrusted(KindOf(pOwner, pUser, pDefaultOwner), pDacl != nullptr, dacl);
    LocalFree(pDescriptor);
    return bTrusted;
}

} // namespace

CExitSignal::~CExitSignal() {
    Unwatch();
}

HANDLE CExitSignal::MakeInNamespace(DWORD dwSession) {
    std::vector<BYTE> userBuffer;
    const PSID pUser = TokenSid(TokenUser, userBuffer);
    char* pszUser = nullptr;
    if (pUser == nullptr || !ConvertSidToStringSidA(pUser, &pszUser)) {
        return nullptr;
    }
    const std::string strSddl = ExitNamespaceSddl(pszUser);
    LocalFree(pszUser);
    const HANDLE hBoundary = MakeBoundary(dwSession, pUser);
    if (hBoundary == nullptr) {
        return nullptr;
    }
    PSECURITY_DESCRIPTOR pDescriptor = nullptr;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(strSddl.c_str(), SDDL_REVISION_1,
                                                             &pDescriptor, nullptr)) {
        SECURITY_ATTRIBUTES attributes{};
        attributes.nLength = sizeof(attributes);
        attributes.lpSecurityDescriptor = pDescriptor;
        m_hNamespace = CreatePrivateNamespaceW(&attributes, hBoundary, NamespaceAlias().c_str());
        m_bNamespaceMade = m_hNamespace != nullptr;
        // Only a token of this user can have made it.
        if (m_hNamespace == nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
            m_hNamespace = OpenPrivateNamespaceW(hBoundary, NamespaceAlias().c_str());
        }
        LocalFree(pDescriptor);
    }
    DeleteBoundaryDescriptor(hBoundary);
    if (m_hNamespace == nullptr) {
        return nullptr;
    }
    const HANDLE hEvent = CreateOrOpenEvent(ExitNamespaceEventName());
    if (hEvent == nullptr) {
        CloseNamespace();
    }
    return hEvent;
}

void CExitSignal::CloseNamespace() {
    if (m_hNamespace != nullptr) {
        // Destroyed by its maker, so that the next KV480 can make it anew.
        ClosePrivateNamespace(m_hNamespace, m_bNamespaceMade ? PRIVATE_NAMESPACE_FLAG_DESTROY : 0);
        m_hNamespace = nullptr;
        m_bNamespaceMade = false;
    }
}

bool CExitSignal::Watch(HWND hWnd, UINT nMessage, WPARAM wParam) {
    Unwatch();
    DWORD dwSession = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &dwSession);
    m_hEvent = MakeInNamespace(dwSession);
    if (m_hEvent == nullptr) {
        m_hEvent = CreateOrOpenEvent(EventName(dwSession));
    }
    if (m_hEvent != nullptr && !IsTrusted(m_hEvent)) {
        // Someone else's object, perhaps set to end every KV480: not obeyed.
        // This KV480 runs on; the setup then ends it in its own session.
        CloseHandle(m_hEvent);
        m_hEvent = nullptr;
    }
    if (m_hEvent == nullptr) {
        CloseNamespace();
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
        CloseNamespace();
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
    CloseNamespace();
}

std::string CExitSignal::EventName(DWORD dwSession) {
    return std::string(EVENT_NAME) + "_" + std::to_string(dwSession);
}

HANDLE CExitSignal::OpenToSignal(DWORD dwSession, PSID pUser) {
    const HANDLE hBoundary = pUser != nullptr ? MakeBoundary(dwSession, pUser) : nullptr;
    if (hBoundary != nullptr) {
        const HANDLE hNamespace = OpenPrivateNamespaceW(hBoundary, NamespaceAlias().c_str());
        DeleteBoundaryDescriptor(hBoundary);
        if (hNamespace != nullptr) {
            const HANDLE hEvent =
                OpenEventA(SIGNAL_ACCESS, FALSE, ExitNamespaceEventName().c_str());
            // Closed at once: the alias names only the namespace open now, and
            // the next KV480's has the same alias.
            ClosePrivateNamespace(hNamespace, 0);
            if (hEvent != nullptr) {
                return hEvent;
            }
        }
    }
    // A KV480 of an older version, or one on a system without private
    // namespaces.
    return OpenEventA(SIGNAL_ACCESS, FALSE, EventName(dwSession).c_str());
}

void CALLBACK CExitSignal::OnSignalled(void* pContext, BOOLEAN bTimedOut) {
    if (bTimedOut) {
        return;
    }
    const auto* pSignal = static_cast<const CExitSignal*>(pContext);
    PostMessageA(pSignal->m_hWnd, pSignal->m_nMessage, pSignal->m_wParam, 0);
}
