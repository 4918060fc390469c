#include "MessageMap.h"

#include <map>
#include <mutex>
#include <string>

namespace framework {

const UINT* RegisteredMessage(const char* pszName) {
    static std::mutex lock;
    // A map's elements never move, so the pointers handed out stay valid.
    static std::map<std::string, UINT> numbers;
    const std::lock_guard<std::mutex> guard(lock);
    const auto found = numbers.find(pszName);
    if (found != numbers.end()) {
        return &found->second;
    }
    return &numbers.emplace(pszName, RegisterWindowMessageA(pszName)).first->second;
}

const MessageMapEntry* FindMessageEntry(const MessageMap* pMap, MessageTarget*& pTarget,
                                        UINT nMessage, WPARAM wParam) {
    for (; pMap != nullptr; pMap = pMap->pBaseMap) {
        for (std::size_t i = 0; i < pMap->nCount; ++i) {
            const MessageMapEntry& entry = pMap->pEntries[i];
            if (entry.pfnMember != nullptr) {
                const MessageMap* pMemberMap = nullptr;
                MessageTarget* pMember = &entry.pfnMember(*pTarget, pMemberMap);
                const MessageMapEntry* pFound =
                    FindMessageEntry(pMemberMap, pMember, nMessage, wParam);
                if (pFound != nullptr) {
                    pTarget = pMember;
                    return pFound;
                }
                continue;
            }
            if (entry.pnRegistered != nullptr) {
                if (*entry.pnRegistered == 0 || *entry.pnRegistered != nMessage) {
                    continue;
                }
                return &entry;
            }
            if (entry.nMessage != nMessage) {
                continue;
            }
            if (nMessage == WM_COMMAND && entry.bAnyNotification) {
                if (entry.nCommand != LOWORD(wParam)) {
                    continue;
                }
            } else if (nMessage == WM_COMMAND && entry.nCommand != wParam) {
                continue;
            }
            return &entry;
        }
    }
    return nullptr;
}

} // namespace framework
