#include "MessageMap.h"

namespace framework {

const MessageMapEntry* FindMessageEntry(const MessageMap* pMap, UINT nMessage, WPARAM wParam) {
    for (; pMap != nullptr; pMap = pMap->pBaseMap) {
        for (std::size_t i = 0; i < pMap->nCount; ++i) {
            const MessageMapEntry& entry = pMap->pEntries[i];
            if (entry.nMessage != nMessage) {
                continue;
            }
            if (nMessage == WM_COMMAND && entry.nCommand != wParam) {
                continue;
            }
            return &entry;
        }
    }
    return nullptr;
}

} // namespace framework
