#include "KeyboardLayoutRows.h"

#include "WideText.h"

#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

// The letter rows' scan codes (set 1) on every PC keyboard: Q to the key
// right of P, A to the key right of L, Z to the key left of right Shift.
struct ScanRow {
    UINT nFirst, nLast;
};
const ScanRow LETTER_ROWS[] = {{0x10, 0x1B}, {0x1E, 0x28}, {0x2C, 0x35}};
const wchar_t ACCENTED_BASES[] = L"aeiouycn";
const std::size_t MAX_ACCENTED = 20;

// A character a key can show: no control character, no space.
bool IsShown(wchar_t c) {
    return c > L' ' && c != 0x7F && !(c >= 0x80 && c < 0xA0) && c != 0xA0;
}

// What the key types unshifted: > 0 characters, < 0 a dead key (its
// accent in text), 0 nothing. The dead key waits in the keyboard state of
// KV480's own thread, which types nothing itself, until the next key.
int Typed(UINT nVirtualKey, UINT nScanCode, HKL hLayout, std::wstring& strText) {
    BYTE state[256] = {};
    wchar_t buffer[8] = {};
    const int nCount = ToUnicodeEx(nVirtualKey, nScanCode, state, buffer,
                                   static_cast<int>(std::size(buffer)), 0, hLayout);
    strText.assign(buffer, nCount > 0 ? static_cast<std::size_t>(nCount) : 1);
    return nCount;
}

// A dead key leaves its accent waiting: a space types it and ends the wait.
void EndDeadKey(HKL hLayout) {
    std::wstring strIgnored;
    Typed(VK_SPACE, MapVirtualKeyExW(VK_SPACE, MAPVK_VK_TO_VSC, hLayout), hLayout, strIgnored);
}

} // namespace

namespace keyboardlayout {

COnScreenKeyboard::Layout RowsOf(HWND hWindow) {
    const HKL hLayout =
        GetKeyboardLayout(hWindow != nullptr ? GetWindowThreadProcessId(hWindow, nullptr) : 0);
    const COnScreenKeyboard::Layout usEnglish = COnScreenKeyboard::UsEnglish();
    COnScreenKeyboard::Layout layout;
    std::vector<std::pair<UINT, UINT>> deadKeys; // virtual key, scan code
    std::size_t nLetters = 0;
    for (const ScanRow& row : LETTER_ROWS) {
        std::wstring strRow;
        for (UINT nScan = row.nFirst; nScan <= row.nLast; ++nScan) {
            const UINT nVirtualKey = MapVirtualKeyExW(nScan, MAPVK_VSC_TO_VK, hLayout);
            std::wstring strText;
            const int nCount = nVirtualKey != 0 ? Typed(nVirtualKey, nScan, hLayout, strText) : 0;
            if (nCount < 0) {
                EndDeadKey(hLayout);
                deadKeys.emplace_back(nVirtualKey, nScan);
            } else if (nCount == 1 && IsShown(strText[0])) {
                strRow += strText;
                nLetters += IsCharAlphaW(strText[0]) ? 1 : 0;
            }
        }
        if (!strRow.empty()) {
            layout.letterRows.push_back(widetext::Narrow(strRow.c_str()));
        }
    }
    if (nLetters < 20) {
        return usEnglish;
    }
    // Each dead key over the vowels (and y, c, n): what it makes of them.
    std::wstring strAccented;
    for (const auto& [nDeadKey, nDeadScan] : deadKeys) {
        for (const wchar_t* pBase = ACCENTED_BASES; *pBase != 0; ++pBase) {
            const SHORT nBase = VkKeyScanExW(*pBase, hLayout);
            // Only letters typed without Shift, AltGr or another modifier.
            if (nBase == -1 || HIBYTE(nBase) != 0) {
                continue;
            }
            const UINT nBaseKey = LOBYTE(nBase);
            std::wstring strDead;
            std::wstring strText;
            Typed(nDeadKey, nDeadScan, hLayout, strDead);
            const int nCount = Typed(nBaseKey, MapVirtualKeyExW(nBaseKey, MAPVK_VK_TO_VSC, hLayout),
                                     hLayout, strText);
            if (nCount == 1 && strText[0] != *pBase && IsCharAlphaW(strText[0]) &&
                strAccented.find(strText[0]) == std::wstring::npos &&
                strAccented.size() < MAX_ACCENTED) {
                strAccented += strText;
            } else if (nCount < 0) {
                EndDeadKey(hLayout);
            }
        }
    }
    layout.strAccented =
        strAccented.empty() ? usEnglish.strAccented : widetext::Narrow(strAccented.c_str());
    return layout;
}

} // namespace keyboardlayout
