#include "ActionText.h"

#include "IniText.h"

#include <algorithm>

ActionParts SplitAction(const std::string& strAction) {
    ActionParts parts;
    const std::string strText = initext::Trim(strAction);
    if (strText.empty()) {
        return parts;
    }
    parts.bSet = true;
    CKeyAction action;
    std::string strReason;
    if (!action.Parse(strText, strReason)) {
        // Still shown in its kind's form, for the form to mark: a program,
        // quoted or not (it gets its quotes when written back), and a text or
        // a time in quotes.
        std::string strRest;
        if (CKeyAction::SplitKeyword(strText, parts.kind, strRest)) {
            const bool bQuoted =
                strRest.size() >= 2 && strRest.front() == '"' && strRest.back() == '"';
            if (parts.kind == CKeyAction::Kind::Run) {
                parts.strValue = strRest;
                return parts;
            }
            if (bQuoted &&
                (parts.kind == CKeyAction::Kind::Text || parts.kind == CKeyAction::Kind::Timer)) {
                parts.strValue = strRest.substr(1, strRest.size() - 2);
                return parts;
            }
        }
        parts.kind = CKeyAction::Kind::Keys;
        parts.bSequence = strText.find(',') != std::string::npos;
        parts.strValue = strText;
        return parts;
    }
    parts.kind = action.GetKind();
    parts.strValue = action.Value();
    parts.bRepeat = action.IsMarkedRepeat();
    if (parts.kind == CKeyAction::Kind::Keys && action.GetChords().size() > 1) {
        parts.bSequence = true;
        parts.strValue = CKeyAction::Write(parts.kind, parts.strValue, parts.bRepeat);
        parts.bRepeat = false;
    }
    return parts;
}

bool ShowsRepeat(const ActionParts& parts) {
    return parts.bSet && !parts.bSequence && CKeyAction::TakesRepeat(parts.kind);
}

std::string JoinAction(const ActionParts& parts) {
    return parts.bSet
               ? CKeyAction::Write(parts.kind, parts.strValue, parts.bRepeat && ShowsRepeat(parts))
               : std::string();
}

const std::vector<std::string>& TimerSuggestions() {
    static const std::vector<std::string> times = {"5:00",  "10:00", "15:00", "20:00",
                                                   "30:00", "45:00", "60:00"};
    return times;
}

std::string ActionProblem(const ActionParts& parts) {
    const std::string strAction = JoinAction(parts);
    if (strAction.empty()) {
        return std::string();
    }
    // Read as KV480 reads it.
    CKeyAction action;
    std::string strReason;
    return action.Parse(strAction, strReason) ? std::string() : strReason;
}

bool SplitMenuItem(const std::string& strItem, std::string& strLabel, std::string& strAction) {
    const std::string strText = initext::Trim(strItem);
    const std::size_t nClose =
        !strText.empty() && strText[0] == '"' ? strText.find('"', 1) : std::string::npos;
    if (nClose == std::string::npos) {
        strLabel.clear();
        strAction = strText;
        return false;
    }
    strLabel = initext::Trim(strText.substr(1, nClose - 1));
    strAction = initext::Trim(strText.substr(nClose + 1));
    return true;
}

std::string JoinMenuItem(const std::string& strLabel, const std::string& strAction) {
    std::string strQuoted = initext::Trim(strLabel);
    std::replace(strQuoted.begin(), strQuoted.end(), '"', '\'');
    return "\"" + strQuoted + "\" " + initext::Trim(strAction);
}
