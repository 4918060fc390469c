#include "CKeyMapLayers.h"

CKeyMapLayers::CKeyMapLayers(const CKeyMap& userMap, const CKeyMap& installationMap,
                             const std::string& strMode)
    : m_maps{&userMap, &installationMap}, m_strMode(strMode) {}

CKeyMapLayers::Answer CKeyMapLayers::Find(const CKeyMap::Window& window, int nKey,
                                          CKeyMap::Form form) const {
    Answer answer;
    // The mode's sections first, then those without one.
    const std::string strNoMode;
    const std::string* modes[] = {&m_strMode, &strNoMode};
    for (const std::string* pMode : modes) {
        if (pMode == &m_strMode && m_strMode.empty()) {
            continue;
        }
        for (int nLayer = USER; nLayer < LAYER_COUNT; ++nLayer) {
            const CKeyMap::Rule rule = m_maps[nLayer]->Find(window, nKey, form, *pMode);
            if (rule.pAction != nullptr) {
                answer.layer = static_cast<Layer>(nLayer);
                answer.strSection = m_maps[nLayer]->GetSectionName(rule.nSection);
                answer.strMode = m_maps[nLayer]->GetSectionMode(rule.nSection);
                answer.nLine = rule.nLine;
                answer.action = *rule.pAction;
                return answer;
            }
        }
    }
    return answer;
}

CKeyMapLayers::KeyAnswers CKeyMapLayers::FindAll(const CKeyMap::Window& window, int nKey) const {
    KeyAnswers answers;
    for (int nForm = 0; nForm < CKeyMap::FORM_COUNT; ++nForm) {
        answers.forms[nForm] = Find(window, nKey, static_cast<CKeyMap::Form>(nForm));
    }
    return answers;
}

bool CKeyMapLayers::UsesProgram() const {
    return m_maps[USER]->UsesProgram() || m_maps[INSTALLATION]->UsesProgram();
}

const CKeyMap::Menu* CKeyMapLayers::FindMenu(const CKeyMap::Window& window,
                                             const std::string& strName) const {
    for (const CKeyMap* pMap : m_maps) {
        if (const CKeyMap::Menu* pMenu = pMap->FindMenu(window, strName)) {
            return pMenu;
        }
    }
    return nullptr;
}
