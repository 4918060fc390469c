// Input: the bytes of a KeyMap.ini, as the user's file (its first half) and
// the installation folder's. Every lookup afterwards must give a sound action
// whose keystrokes release whatever they press, and the engine at most one
// action per press plus a repeat.
#include "CKeyActionEngine.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"

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

void CheckChord(const CKeyChord& chord) {
    const std::vector<CKeyChord::Input> inputs = chord.Inputs();
    Check(inputs.size() >= 2 && inputs.size() <= 2 + 2 * CKeyChord::MAX_MODIFIERS);
    int nDown = 0;
    for (const CKeyChord::Input& input : inputs) {
        nDown += input.bKeyUp ? -1 : 1;
        Check(nDown >= 0 && input.nVirtualKey != 0);
    }
    Check(nDown == 0);
    for (std::size_t nSent = 0; nSent <= inputs.size(); ++nSent) {
        Check(chord.ReleasesAfter(nSent).size() <= CKeyChord::MAX_MODIFIERS + 1);
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
    CKeyMap second;
    second.Parse(text.data(), text.size() / 2);
    const CKeyMapLayers layers(second, map);
    for (const std::string& strWindow : {strName, std::string("\x01")}) {
        // A menu's entries: each labelled, each an action that a menu carries.
        for (const std::string& strMenu : {std::string("Main"), strName}) {
            const CKeyMap::Menu* pMenu =
                layers.FindMenu({strWindow, strWindow, strWindow}, strMenu);
            Check(pMenu == nullptr ||
                  (pMenu->items.size() <= CKeyMap::MAX_ITEMS &&
                   (pMenu->nScanMs == 0 || (pMenu->nScanMs >= CKeyMap::MIN_SCAN_MS &&
                                            pMenu->nScanMs <= CKeyMap::MAX_SCAN_MS))));
            for (std::size_t i = 0; pMenu != nullptr && i < pMenu->items.size(); ++i) {
                Check(!pMenu->items[i].strLabel.empty() &&
                      pMenu->items[i].action.GetKind() != CKeyAction::Kind::MenuSteer);
            }
        }
        for (int nKey = CKeyMap::FIRST_KEY; nKey <= CKeyMap::LAST_KEY; ++nKey) {
            const CKeyMapLayers::KeyAnswers answers =
                layers.FindAll({strWindow, strWindow, strWindow}, nKey);
            for (const CKeyMapLayers::Answer& answer : answers.forms) {
                if (!answer.IsFound()) {
                    continue;
                }
                const CKeyAction& action = answer.action;
                Check(action.GetKind() != CKeyAction::Kind::Keys || !action.GetChords().empty());
                Check(action.GetKind() != CKeyAction::Kind::Text || !action.GetText().empty());
                Check(action.Shown().size() <= CKeyMap::MAX_VALUE);
                for (const CKeyChord& chord : action.GetChords()) {
                    CheckChord(chord);
                }
            }
            // The engine over a press, a repeat and a release at odd times.
            CKeyActionEngine engine;
            std::uint64_t nDue = 0;
            std::size_t nSteps = engine.Press(nKey, answers, 1).size();
            nSteps += engine.Repeat(nKey, 600).size();
            while (engine.NextDeadline(nDue)) {
                nSteps += engine.TimeReached(nDue).size();
            }
            nSteps += engine.Release(nKey, 2000).size();
            Check(nSteps <= 2);
        }
    }
    return 0;
}
