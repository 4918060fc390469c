#include "WhichRule.h"

#include "CKeyMap.h"
#include "IniText.h"

bool SectionMatches(const CKeyMapDocument& doc, std::size_t nSection, const std::string& strProgram,
                    const std::string& strClass, const std::string& strCaption) {
    const std::string* texts[CKeyMapDocument::CRITERION_COUNT] = {&strProgram, &strClass,
                                                                  &strCaption};
    bool bNamed = false;
    for (int c = 0; c < CKeyMapDocument::CRITERION_COUNT; ++c) {
        const std::string strPattern =
            doc.GetCriterion(nSection, static_cast<CKeyMapDocument::Criterion>(c));
        if (strPattern.empty()) {
            continue;
        }
        bNamed = true;
        // The wildcard rule is KV480's own.
        if (!initext::EqualsNoCase(strPattern, "NULL") &&
            !CKeyMap::Matches(strPattern, *texts[c])) {
            return false;
        }
    }
    return bNamed;
}

RuleAnswer WhichRule(const CKeyMapDocument& user, const CKeyMapDocument& installed,
                     const std::string& strProgram, const std::string& strClass,
                     const std::string& strCaption, int nKey, CKeyMapDocument::Form form) {
    RuleAnswer answer;
    const CKeyMapDocument* docs[] = {&user, &installed};
    for (int d = 0; d < 2; ++d) {
        for (std::size_t s = 0; s < docs[d]->GetSectionCount(); ++s) {
            const std::string strAction = docs[d]->GetAction(s, nKey, form);
            if (!strAction.empty() &&
                SectionMatches(*docs[d], s, strProgram, strClass, strCaption)) {
                answer.bFound = true;
                answer.bInstalled = d == 1;
                answer.nSection = s;
                answer.strAction = strAction;
                return answer;
            }
        }
    }
    return answer;
}
