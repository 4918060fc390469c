#include "CKeyMapLayers.h"

CKeyMapLayers::CKeyMapLayers(const CKeyMap& userMap, const CKeyMap& installationMap)
    : m_maps{&userMap, &installationMap} {}

CKeyMapLayers::Answer CKeyMapLayers::Find(const CKeyMap::Window& window, int nKey,
                                          CKeyMap::Form form) const {
    Answer answer;
    for (int nLayer = USER; nLayer < LAYER_COUNT; ++nLayer) {
        const CKeyMap::Rule rule = m_maps[nLayer]->Find(window, nKey, form);
        if (rule.pAction != nullptr) {
            answer.layer = static_cast<Layer>(nLayer);
            answer.strSection = m_maps[nLayer]->GetSectionName(rule.nSection);
            answer.nLine = rule.nLine;
            answer.action = *rule.pAction;
            break;
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
