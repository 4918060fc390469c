// Input: the text of a KeyMap.ini. Every lookup afterwards must give a chord
// whose records release whatever they press.
#include "CKeyMap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool bOk) {
    if (!bOk) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    // An exact copy, so that reading past the text is caught.
    const std::vector<char> text(pData, pData + nSize);
    CKeyMap map;
    map.Parse(text.data(), text.size());
    Check(map.GetSectionCount() <= CKeyMap::MAX_SECTIONS);
    Check(map.GetSkipped().size() <= CKeyMap::MAX_REPORTED);
    Check(map.GetSkipped().size() <= map.GetSkippedCount());
    Check(map.GetSkippedCount() == 0 || !map.SkippedText().empty());

    // Windows named by the input's first bytes, and one that only NULL matches.
    const std::string strName(text.begin(),
                              text.begin() + static_cast<std::ptrdiff_t>(nSize < 16 ? nSize : 16));
    for (const std::string& strWindow : {strName, std::string("\x01")}) {
        for (int nKey = CKeyMap::FIRST_KEY; nKey <= CKeyMap::LAST_KEY; ++nKey) {
            for (int nRepeat = 0; nRepeat <= 1; ++nRepeat) {
                const CKeyChord* pChord = map.ChordFor(strWindow, strWindow, nKey, nRepeat);
                if (pChord == nullptr) {
                    continue;
                }
                const std::vector<CKeyChord::Input> inputs = pChord->Inputs();
                Check(inputs.size() >= 2 && inputs.size() <= 2 + 2 * CKeyChord::MAX_MODIFIERS);
                int nDown = 0;
                for (const CKeyChord::Input& input : inputs) {
                    nDown += input.bKeyUp ? -1 : 1;
                    Check(nDown >= 0 && input.nVirtualKey != 0);
                }
                Check(nDown == 0);
                for (std::size_t nSent = 0; nSent <= inputs.size(); ++nSent) {
                    Check(pChord->ReleasesAfter(nSent).size() <= CKeyChord::MAX_MODIFIERS + 1);
                }
            }
        }
    }
    return 0;
}
