#include "ActionText.h"

#include "CKeyAction.h"
#include "IniText.h"

namespace {

const char* const WORD_REPEAT = "repeat";
const char* const WORD_NONE = "None";
const char* const WORD_TEXT = "Text";
const char* const WORD_RUN = "Run";
const char* const WORD_TIMER = "Timer";
const char* const WORD_MODE = "Mode";
const char* const WORD_OFF = "Off";

// Takes a trailing blank-separated "repeat" off the text.
bool TakeRepeat(std::string& strText) {
    const std::size_t nBlank = strText.find_last_of(" \t");
    if (nBlank == std::string::npos ||
        !initext::EqualsNoCase(strText.substr(nBlank + 1), WORD_REPEAT)) {
        return false;
    }
    strText = initext::Trim(strText.substr(0, nBlank));
    return true;
}

// The text after a leading word and a blank; false when it does not start so.
bool AfterWord(const std::string& strText, const char* pszWord, std::string& strRest) {
    const std::string strWord = pszWord;
    if (strText.size() <= strWord.size() ||
        !initext::EqualsNoCase(strText.substr(0, strWord.size()), pszWord) ||
        !initext::IsBlank(strText[strWord.size()])) {
        return false;
    }
    strRest = initext::Trim(strText.substr(strWord.size()));
    return true;
}

// The text with every run of blanks made one space, to compare words.
std::string OneBlankBetween(const std::string& strText) {
    std::string strOne;
    for (const char c : strText) {
        if (!initext::IsBlank(c)) {
            strOne += c;
        } else if (!strOne.empty() && strOne.back() != ' ') {
            strOne += ' ';
        }
    }
    return strOne;
}

// The name of the list as it writes it, when the text is one of them.
bool FindName(const std::vector<std::string>& names, std::string& strText) {
    const std::string strWords = OneBlankBetween(strText);
    for (const std::string& strName : names) {
        if (initext::EqualsNoCase(strWords, strName.c_str())) {
            strText = strName;
            return true;
        }
    }
    return false;
}

// The time of a Timer value, "Timer" and a quoted time with no quote inside.
bool TimerTime(const std::string& strText, std::string& strTime) {
    const std::string strWord = WORD_TIMER;
    if (strText.size() <= strWord.size() ||
        !initext::EqualsNoCase(strText.substr(0, strWord.size()), WORD_TIMER)) {
        return false;
    }
    const std::string strRest = initext::Trim(strText.substr(strWord.size()));
    if (strRest.size() < 2 || strRest.front() != '"' || strRest.back() != '"' ||
        strRest.find('"', 1) != strRest.size() - 1) {
        return false;
    }
    strTime = strRest.substr(1, strRest.size() - 2);
    return true;
}

// The name of a Mode value: "Off", or a name between two quotes. Anything
// else stays a keystroke, which KV480 rejects, so that it shows as invalid.
bool ModeName(const std::string& strText, std::string& strName) {
    std::string strRest;
    if (!AfterWord(strText, WORD_MODE, strRest)) {
        return false;
    }
    if (initext::EqualsNoCase(strRest, WORD_OFF)) {
        strName = WORD_OFF;
        return true;
    }
    if (strRest.size() < 2 || strRest.front() != '"' || strRest.back() != '"') {
        return false;
    }
    strName = initext::Trim(strRest.substr(1, strRest.size() - 2));
    // Written back, "Off" in quotes would become Mode Off.
    return !initext::EqualsNoCase(strName, WORD_OFF);
}

} // namespace

const char* ModeOffWord() {
    return WORD_OFF;
}

const std::vector<std::string>& PresenterToolNames() {
    static const std::vector<std::string> names = {"Spotlight", "LaserDot", "Magnifier",
                                                   "BlankScreen", "BlankScreen White"};
    return names;
}

const std::vector<std::string>& TimerSuggestions() {
    static const std::vector<std::string> times = {"5:00",  "10:00", "15:00", "20:00",
                                                   "30:00", "45:00", "60:00"};
    return times;
}

const std::vector<std::string>& MouseActionNames() {
    static const std::vector<std::string> names = {
        "MouseUp",    "MouseDown",   "MouseLeft",   "MouseRight", "LeftClick",
        "RightClick", "MiddleClick", "DoubleClick", "WheelUp",    "WheelDown"};
    return names;
}

bool KindRepeats(ActionKind kind) {
    return kind == ActionKind::Keystroke || kind == ActionKind::Mouse;
}

ActionParts SplitAction(const std::string& strAction) {
    ActionParts parts;
    std::string strText = initext::Trim(strAction);
    if (strText.empty()) {
        return parts;
    }
    std::string strRest;
    if (initext::EqualsNoCase(strText, WORD_NONE)) {
        parts.kind = ActionKind::Nothing;
    } else if (AfterWord(strText, WORD_TEXT, strRest) && strRest.size() >= 2 &&
               strRest.front() == '"' && strRest.back() == '"') {
        parts.kind = ActionKind::Text;
        // Between the first and the last quote, quotes inside included.
        parts.strValue = strRest.substr(1, strRest.size() - 2);
    } else if (AfterWord(strText, WORD_RUN, strRest)) {
        parts.kind = ActionKind::Program;
        parts.strValue = strRest;
    } else if (TimerTime(strText, strRest)) {
        parts.kind = ActionKind::Timer;
        parts.strValue = strRest;
    } else if (ModeName(strText, strRest)) {
        parts.kind = ActionKind::Mode;
        parts.strValue = strRest;
    } else {
        parts.bRepeat = TakeRepeat(strText);
        parts.kind = ActionKind::Keystroke;
        if (FindName(MouseActionNames(), strText)) {
            parts.kind = ActionKind::Mouse;
        } else if (FindName(PresenterToolNames(), strText)) {
            parts.kind = ActionKind::PresenterTool;
        } else if (FindName(CKeyAction::PcNames(), strText)) {
            parts.kind = ActionKind::Pc;
        }
        // Neither a tool nor the PC's action repeats: the word stays, for
        // KV480 to reject.
        if ((parts.kind == ActionKind::PresenterTool || parts.kind == ActionKind::Pc) &&
            parts.bRepeat) {
            strText += std::string(" ") + WORD_REPEAT;
            parts.bRepeat = false;
        }
        if (parts.kind == ActionKind::Keystroke && strText.find(',') != std::string::npos) {
            parts.kind = ActionKind::Sequence;
            // A sequence takes no repeat: the word belongs to its text.
            if (parts.bRepeat) {
                strText += std::string(" ") + WORD_REPEAT;
                parts.bRepeat = false;
            }
        }
        parts.strValue = strText;
    }
    return parts;
}

std::string JoinAction(const ActionParts& parts) {
    const std::string strValue = initext::Trim(parts.strValue);
    switch (parts.kind) {
    case ActionKind::NotSet:
        return std::string();
    case ActionKind::Nothing:
        return WORD_NONE;
    case ActionKind::Text:
        return std::string(WORD_TEXT) + " \"" + parts.strValue + "\"";
    case ActionKind::Program:
        if (strValue.empty()) {
            return std::string();
        }
        // A path with blanks needs its quotes; one without gets them too.
        return std::string(WORD_RUN) + " " +
               (strValue.front() == '"' ? strValue : "\"" + strValue + "\"");
    case ActionKind::Timer:
        return strValue.empty() ? std::string() : std::string(WORD_TIMER) + " \"" + strValue + "\"";
    case ActionKind::Mode:
        if (strValue.empty()) {
            return std::string();
        }
        return initext::EqualsNoCase(strValue, WORD_OFF)
                   ? std::string(WORD_MODE) + " " + WORD_OFF
                   : std::string(WORD_MODE) + " \"" + strValue + "\"";
    default:
        if (strValue.empty()) {
            return std::string();
        }
        return KindRepeats(parts.kind) && parts.bRepeat ? strValue + " " + WORD_REPEAT : strValue;
    }
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
