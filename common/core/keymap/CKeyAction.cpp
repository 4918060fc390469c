#include "CKeyAction.h"

#include "IniText.h"

#include <cstring>
#include <iterator>

namespace {

const char* const WORD_REPEAT = "repeat";
const char* const WORD_NONE = "None";
const char* const WORD_TEXT = "Text";
const char* const WORD_RUN = "Run";
const char* const WORD_TIMER = "Timer";
const char* const WORD_BLANK_SCREEN = "BlankScreen";
const char* const WORD_WHITE = "White";
// "Monitor 2" after the blank screen or a timer: the monitor it goes to.
const char* const WORD_MONITOR = "Monitor";
const unsigned MAX_MONITOR = 99;
// Longer talks are surely a typing mistake.
const unsigned MAX_TIMER_MINUTES = 999;
const char* const WORD_MODE = "Mode";
const char* const WORD_OFF = "Off";
// The on-screen menu and keyboard: "Menu" alone opens the main menu.
const char* const WORD_MENU = "Menu";
const char* const WORD_KEYBOARD = "Keyboard";
const char* const MAIN_MENU = "Main";
const char* const STEER_WORDS[] = {"Up", "Down", "Left", "Right", "Select", "Back"};
// A sequence longer than this is surely a mistake; values are cut at 254
// characters anyway.
const std::size_t MAX_SEQUENCE = 32;

struct NamedMouse {
    const char* pszName;
    CKeyAction::Mouse mouse;
};

const NamedMouse MOUSE_ACTIONS[] = {
    {"MouseUp", CKeyAction::Mouse::Up},
    {"MouseDown", CKeyAction::Mouse::Down},
    {"MouseLeft", CKeyAction::Mouse::Left},
    {"MouseRight", CKeyAction::Mouse::Right},
    {"LeftClick", CKeyAction::Mouse::LeftClick},
    {"RightClick", CKeyAction::Mouse::RightClick},
    {"MiddleClick", CKeyAction::Mouse::MiddleClick},
    {"DoubleClick", CKeyAction::Mouse::DoubleClick},
    {"WheelUp", CKeyAction::Mouse::WheelUp},
    {"WheelDown", CKeyAction::Mouse::WheelDown},
};

struct NamedKind {
    const char* pszName;
    CKeyAction::Kind kind;
};

const NamedKind TOOLS[] = {
    {"Spotlight", CKeyAction::Kind::Spotlight},
    {"LaserDot", CKeyAction::Kind::LaserDot},
    {"Magnifier", CKeyAction::Kind::Magnifier},
    {WORD_BLANK_SCREEN, CKeyAction::Kind::BlankScreen},
};

bool IsDigits(const std::string& strText) {
    if (strText.empty()) {
        return false;
    }
    for (const char c : strText) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}
const char* const PC_NAMES[] = {"Lock", "Sleep", "Hibernate", "MonitorOff", "ShutDown", "Restart"};

// The word of a mouse action or a tool.
template <typename Named, std::size_t N, typename Value>
const char* NameOf(const Named (&names)[N], Value Named::*pMember, Value value) {
    for (const Named& named : names) {
        if (named.*pMember == value) {
            return named.pszName;
        }
    }
    return "";
}

// Splits a trailing word "repeat" off a value.
bool TakeRepeat(std::string& strValue) {
    std::size_t nBlank = strValue.size();
    while (nBlank > 0 && !initext::IsBlank(strValue[nBlank - 1])) {
        --nBlank;
    }
    if (nBlank == 0 || !initext::EqualsNoCase(strValue.substr(nBlank), WORD_REPEAT)) {
        return false;
    }
    strValue = initext::Trim(strValue.substr(0, nBlank));
    return true;
}

// Whether the value starts with the word, followed by a blank or a quote.
bool StartsWithWord(const std::string& strValue, const char* pszWord) {
    const std::size_t nLength = std::strlen(pszWord);
    return strValue.size() > nLength &&
           initext::EqualsNoCase(strValue.substr(0, nLength), pszWord) &&
           (initext::IsBlank(strValue[nLength]) || strValue[nLength] == '"');
}

// Splits a trailing "Monitor <n>" off a tool's options; nMonitor stays 0
// without one. False, with strReason, when the number is missing or wrong.
bool TakeMonitor(std::string& strOptions, unsigned& nMonitor, std::string& strReason) {
    std::vector<std::string> words;
    std::size_t nStart = strOptions.find_first_not_of(" \t");
    while (nStart != std::string::npos) {
        const std::size_t nEnd = strOptions.find_first_of(" \t", nStart);
        words.push_back(strOptions.substr(nStart, nEnd - nStart));
        nStart = nEnd == std::string::npos ? nEnd : strOptions.find_first_not_of(" \t", nEnd);
    }
    std::size_t nWord = 0;
    while (nWord < words.size() && !initext::EqualsNoCase(words[nWord], WORD_MONITOR)) {
        ++nWord;
    }
    if (nWord == words.size()) {
        return true;
    }
    const std::string strNumber = nWord + 1 < words.size() ? words[nWord + 1] : std::string();
    if (nWord + 2 != words.size() || !IsDigits(strNumber) || strNumber.size() > 2 ||
        std::stoul(strNumber) == 0) {
        strReason = "Monitor takes a number from 1 to " + std::to_string(MAX_MONITOR) +
                    " at the end, such as Monitor 2";
        return false;
    }
    nMonitor = static_cast<unsigned>(std::stoul(strNumber));
    strOptions = initext::Trim(strOptions.substr(0, strOptions.size() - strNumber.size()));
    strOptions = initext::Trim(strOptions.substr(0, strOptions.size() - words[nWord].size()));
    return true;
}

std::string MonitorWritten(unsigned nMonitor) {
    return nMonitor == 0 ? std::string()
                         : std::string(" ") + WORD_MONITOR + " " + std::to_string(nMonitor);
}

} // namespace

bool CKeyAction::Parse(const std::string& strValue, std::string& strReason) {
    CKeyAction action;
    const std::string strTrimmed = initext::Trim(strValue);
    bool bOk = false;
    if (StartsWithWord(strTrimmed, WORD_TEXT)) {
        bOk = action.ParseText(strTrimmed, strReason);
    } else if (StartsWithWord(strTrimmed, WORD_RUN)) {
        bOk = action.ParseRun(strTrimmed, strReason);
    } else if (StartsWithWord(strTrimmed, WORD_TIMER) ||
               initext::EqualsNoCase(strTrimmed, WORD_TIMER)) {
        bOk = action.ParseTimer(strTrimmed, strReason);
    } else if (StartsWithWord(strTrimmed, WORD_MODE)) {
        bOk = action.ParseMode(strTrimmed, strReason);
    } else if (StartsWithWord(strTrimmed, WORD_MENU) || StartsWithWord(strTrimmed, WORD_KEYBOARD) ||
               initext::EqualsNoCase(strTrimmed, WORD_MENU) ||
               initext::EqualsNoCase(strTrimmed, WORD_KEYBOARD)) {
        bOk = action.ParseMenu(strTrimmed, strReason);
    } else if (action.ParseTool(strTrimmed, strReason)) {
        bOk = strReason.empty();
    } else {
        bOk = action.ParseKeys(strTrimmed, strReason);
    }
    if (bOk) {
        *this = action;
    }
    return bOk;
}

bool CKeyAction::ParseText(const std::string& strValue, std::string& strReason) {
    const std::size_t nFirst = strValue.find('"');
    const std::size_t nLast = strValue.rfind('"');
    if (nFirst == std::string::npos || nLast == nFirst) {
        strReason = "the text is not between two double quotes";
        return false;
    }
    std::string strAfter = initext::Trim(strValue.substr(nLast + 1));
    m_bRepeat = initext::EqualsNoCase(strAfter, WORD_REPEAT);
    if (!strAfter.empty() && !m_bRepeat) {
        strReason = "unexpected words after the text's closing quote";
        return false;
    }
    if (!initext::Trim(strValue.substr(std::strlen(WORD_TEXT), nFirst - std::strlen(WORD_TEXT)))
             .empty()) {
        strReason = "the text is not between two double quotes";
        return false;
    }
    m_strText = strValue.substr(nFirst + 1, nLast - nFirst - 1);
    if (m_strText.empty()) {
        strReason = "the text is empty";
        return false;
    }
    m_kind = Kind::Text;
    m_strWritten = strValue.substr(0, nLast + 1);
    return true;
}

bool CKeyAction::ParseRun(const std::string& strValue, std::string& strReason) {
    const std::size_t nFirst = strValue.find('"');
    const std::size_t nSecond =
        nFirst == std::string::npos ? std::string::npos : strValue.find('"', nFirst + 1);
    if (nSecond == std::string::npos ||
        !initext::Trim(strValue.substr(std::strlen(WORD_RUN), nFirst - std::strlen(WORD_RUN)))
             .empty()) {
        strReason = "the program is not between two double quotes";
        return false;
    }
    m_strText = initext::Trim(strValue.substr(nFirst + 1, nSecond - nFirst - 1));
    if (m_strText.empty()) {
        strReason = "the program is empty";
        return false;
    }
    // Arguments are the program's; "repeat" among them is one of them.
    m_strArguments = initext::Trim(strValue.substr(nSecond + 1));
    m_kind = Kind::Run;
    m_strWritten = strValue;
    return true;
}

bool CKeyAction::ParseTimer(const std::string& strValue, std::string& strReason) {
    const std::size_t nFirst = strValue.find('"');
    const std::size_t nSecond =
        nFirst == std::string::npos ? std::string::npos : strValue.find('"', nFirst + 1);
    if (nSecond == std::string::npos ||
        !initext::Trim(strValue.substr(std::strlen(WORD_TIMER), nFirst - std::strlen(WORD_TIMER)))
             .empty()) {
        strReason = "the time is not between two double quotes";
        return false;
    }
    std::string strAfter = initext::Trim(strValue.substr(nSecond + 1));
    if (!TakeMonitor(strAfter, m_nMonitor, strReason)) {
        return false;
    }
    if (initext::EqualsNoCase(strAfter, WORD_REPEAT)) {
        strReason = "a timer is started and stopped by a press and cannot repeat";
        return false;
    }
    if (!strAfter.empty()) {
        strReason = "unexpected words after the time's closing quote";
        return false;
    }
    const std::string strTime = initext::Trim(strValue.substr(nFirst + 1, nSecond - nFirst - 1));
    const std::size_t nColon = strTime.find(':');
    const std::string strMinutes = strTime.substr(0, nColon);
    const std::string strSeconds =
        nColon == std::string::npos ? std::string() : strTime.substr(nColon + 1);
    if (!IsDigits(strMinutes) || strMinutes.size() > 3 || !IsDigits(strSeconds) ||
        strSeconds.size() != 2 || std::stoul(strSeconds) > 59) {
        strReason = "the time \"" + strTime + "\" is not minutes:seconds, such as \"20:00\"";
        return false;
    }
    const unsigned nSeconds =
        static_cast<unsigned>(std::stoul(strMinutes) * 60 + std::stoul(strSeconds));
    if (nSeconds == 0 || nSeconds > MAX_TIMER_MINUTES * 60 + 59) {
        strReason = "the time must be from 0:01 to 999:59";
        return false;
    }
    m_kind = Kind::Timer;
    m_nSeconds = nSeconds;
    m_strWritten = strValue;
    return true;
}

// True when the value names a tool; strReason then tells whether it is
// written wrongly (empty: it reads).
bool CKeyAction::ParseTool(const std::string& strValue, std::string& strReason) {
    std::string strName = strValue;
    const bool bRepeat = TakeRepeat(strName);
    std::string strOption;
    const std::size_t nBlank = strName.find_first_of(" \t");
    if (nBlank != std::string::npos) {
        strOption = initext::Trim(strName.substr(nBlank));
        strName = strName.substr(0, nBlank);
    }
    for (const NamedKind& tool : TOOLS) {
        if (!initext::EqualsNoCase(strName, tool.pszName)) {
            continue;
        }
        strReason.clear();
        const bool bBlank = tool.kind == Kind::BlankScreen;
        if (bBlank && !TakeMonitor(strOption, m_nMonitor, strReason)) {
            return true;
        }
        if (!strOption.empty() && !(bBlank && initext::EqualsNoCase(strOption, WORD_WHITE))) {
            strReason = bBlank ? "BlankScreen takes only the word White and Monitor <n>"
                               : std::string(tool.pszName) + " takes no options";
        } else if (bRepeat) {
            strReason =
                std::string(tool.pszName) + " is switched on and off by a press and cannot repeat";
        } else {
            m_kind = tool.kind;
            m_bWhite = !strOption.empty();
            m_strWritten = strValue;
        }
        return true;
    }
    return false;
}

bool CKeyAction::ParseKeys(const std::string& strValue, std::string& strReason) {
    std::string strKeys = strValue;
    m_bRepeat = TakeRepeat(strKeys);
    m_strWritten = strKeys;
    if (initext::EqualsNoCase(strKeys, WORD_NONE)) {
        m_kind = Kind::Nothing;
        return true;
    }
    for (const NamedMouse& named : MOUSE_ACTIONS) {
        if (initext::EqualsNoCase(strKeys, named.pszName)) {
            m_kind = named.mouse <= Mouse::Right ? Kind::MouseMove : Kind::MouseButton;
            m_mouse = named.mouse;
            return true;
        }
    }
    for (std::size_t i = 0; i < std::size(PC_NAMES); ++i) {
        if (initext::EqualsNoCase(strKeys, PC_NAMES[i])) {
            // A held key must never confirm a shutdown by its repeats.
            if (m_bRepeat) {
                strReason = initext::Quoted(PC_NAMES[i]) + " cannot repeat";
                return false;
            }
            m_kind = Kind::Pc;
            m_pc = static_cast<Pc>(i);
            return true;
        }
    }
    std::size_t nStart = 0;
    for (;;) {
        const std::size_t nComma = strKeys.find(',', nStart);
        CKeyChord chord;
        if (!chord.Parse(strKeys.substr(nStart, nComma == std::string::npos ? std::string::npos
                                                                            : nComma - nStart),
                         strReason)) {
            return false;
        }
        if (m_chords.size() == MAX_SEQUENCE) {
            strReason = "more than " + std::to_string(MAX_SEQUENCE) + " keystrokes in a sequence";
            return false;
        }
        m_chords.push_back(chord);
        if (nComma == std::string::npos) {
            break;
        }
        nStart = nComma + 1;
    }
    m_kind = Kind::Keys;
    return true;
}

bool CKeyAction::ParseMode(const std::string& strValue, std::string& strReason) {
    const std::string strRest = initext::Trim(strValue.substr(std::strlen(WORD_MODE)));
    if (initext::EqualsNoCase(strRest, WORD_OFF)) {
        m_strText.clear();
    } else {
        const std::size_t nLast = strRest.rfind('"');
        if (strRest.empty() || strRest[0] != '"' || nLast == 0) {
            strReason = "the mode is not between two double quotes, nor Off";
            return false;
        }
        if (nLast + 1 != strRest.size()) {
            strReason = "unexpected words after the mode's closing quote";
            return false;
        }
        m_strText = initext::Trim(strRest.substr(1, nLast - 1));
        if (!IsModeName(m_strText, strReason)) {
            return false;
        }
    }
    m_kind = Kind::Mode;
    m_strWritten = m_strText.empty() ? std::string(WORD_MODE) + " " + WORD_OFF
                                     : std::string(WORD_MODE) + " \"" + m_strText + "\"";
    return true;
}

bool CKeyAction::ParseMenu(const std::string& strValue, std::string& strReason) {
    std::string strRest = strValue;
    const bool bRepeat = TakeRepeat(strRest);
    if (initext::EqualsNoCase(strRest, WORD_KEYBOARD)) {
        m_kind = Kind::Keyboard;
        m_strWritten = WORD_KEYBOARD;
    } else if (!initext::EqualsNoCase(strRest.substr(0, std::strlen(WORD_MENU)), WORD_MENU)) {
        strReason = "the keyboard takes no options";
        return false;
    } else {
        strRest = initext::Trim(strRest.substr(std::strlen(WORD_MENU)));
        m_kind = Kind::Menu;
        m_strText = MAIN_MENU;
        m_strWritten = WORD_MENU;
        if (!strRest.empty() && strRest[0] == '"') {
            const std::size_t nLast = strRest.rfind('"');
            if (nLast == 0 || nLast + 1 != strRest.size()) {
                strReason = nLast == 0 ? "the menu is not between two double quotes"
                                       : "unexpected words after the menu's closing quote";
                return false;
            }
            m_strText = initext::Trim(strRest.substr(1, nLast - 1));
            if (!IsMenuName(m_strText, strReason)) {
                return false;
            }
            m_strWritten = std::string(WORD_MENU) + " \"" + m_strText + "\"";
        } else if (!strRest.empty()) {
            std::size_t nSteer = 0;
            while (nSteer < std::size(STEER_WORDS) &&
                   !initext::EqualsNoCase(strRest, STEER_WORDS[nSteer])) {
                ++nSteer;
            }
            if (nSteer == std::size(STEER_WORDS)) {
                strReason = "unknown menu step " + initext::Quoted(strRest) +
                            " (Up, Down, Left, Right, Select, Back or a menu's name in quotes)";
                return false;
            }
            m_kind = Kind::MenuSteer;
            m_steer = static_cast<Steer>(nSteer);
            m_strText.clear();
            m_strWritten = std::string(WORD_MENU) + " " + STEER_WORDS[nSteer];
        }
    }
    // Only a move may repeat: a held key must not open, choose or close again and again.
    if (bRepeat && !(m_kind == Kind::MenuSteer && m_steer <= Steer::Right)) {
        strReason = initext::Quoted(m_strWritten) + " cannot repeat";
        return false;
    }
    m_bRepeat = bRepeat;
    return true;
}

bool CKeyAction::IsMenuName(const std::string& strName, std::string& strReason) {
    if (strName.empty()) {
        strReason = "the menu's name is empty";
    } else if (strName.find('"') != std::string::npos) {
        strReason = "a menu's name cannot hold a double quote";
    } else {
        return true;
    }
    return false;
}

bool CKeyAction::IsModeName(const std::string& strName, std::string& strReason) {
    if (strName.empty()) {
        strReason = "the mode's name is empty";
    } else if (strName.find('"') != std::string::npos) {
        strReason = "a mode's name cannot hold a double quote";
    } else if (initext::EqualsNoCase(strName, WORD_OFF)) {
        strReason = "\"Off\" is not a mode's name: Mode Off switches the mode off";
    } else {
        return true;
    }
    return false;
}

bool CKeyAction::NeedsConfirmation() const {
    return m_kind == Kind::Pc && (m_pc == Pc::ShutDown || m_pc == Pc::Restart);
}

const char* CKeyAction::PcName(Pc pc) {
    const std::size_t nIndex = static_cast<std::size_t>(pc);
    return nIndex < std::size(PC_NAMES) ? PC_NAMES[nIndex] : "";
}

std::vector<std::string> CKeyAction::PcNames() {
    return std::vector<std::string>(std::begin(PC_NAMES), std::end(PC_NAMES));
}

std::string CKeyAction::Shown() const {
    if (m_kind != Kind::Run) {
        return m_strWritten;
    }
    const std::size_t nSlash = m_strText.find_last_of("\\/");
    return std::string(WORD_RUN) + " \"" +
           (nSlash == std::string::npos ? m_strText : m_strText.substr(nSlash + 1)) + "\"";
}

std::string CKeyAction::Value() const {
    switch (m_kind) {
    case Kind::Keys:
        return m_strWritten;
    case Kind::Text:
        return m_strText;
    case Kind::Run:
        return "\"" + m_strText + "\"" + (m_strArguments.empty() ? "" : " " + m_strArguments);
    case Kind::MouseMove:
    case Kind::MouseButton:
        return NameOf(MOUSE_ACTIONS, &NamedMouse::mouse, m_mouse);
    case Kind::Nothing:
        return std::string();
    case Kind::Mode:
        return m_strText.empty() ? WORD_OFF : m_strText;
    case Kind::Pc:
        return PcName(m_pc);
    case Kind::Timer: {
        const unsigned nSeconds = m_nSeconds % 60;
        return std::to_string(m_nSeconds / 60) + (nSeconds < 10 ? ":0" : ":") +
               std::to_string(nSeconds) + MonitorWritten(m_nMonitor);
    }
    case Kind::Spotlight:
    case Kind::LaserDot:
    case Kind::Magnifier:
    case Kind::BlankScreen:
        return std::string(NameOf(TOOLS, &NamedKind::kind, m_kind)) +
               (m_bWhite ? std::string(" ") + WORD_WHITE : std::string()) +
               MonitorWritten(m_nMonitor);
    case Kind::Menu:
        // A plain "Menu" stays plain when written back.
        return m_strWritten == WORD_MENU ? std::string() : m_strText;
    case Kind::Keyboard:
        return std::string();
    case Kind::MenuSteer:
        return STEER_WORDS[static_cast<std::size_t>(m_steer)];
    }
    return std::string();
}

std::string CKeyAction::Write(Kind kind, const std::string& strValue, bool bRepeat) {
    const std::string strTrimmed = initext::Trim(strValue);
    std::string strWritten;
    switch (kind) {
    case Kind::Nothing:
        return WORD_NONE;
    case Kind::Text:
        // The text as typed: its blanks are typed too.
        strWritten = std::string(WORD_TEXT) + " \"" + strValue + "\"";
        break;
    case Kind::Run:
        // A path with blanks needs its quotes; one without gets them too.
        if (!strTrimmed.empty()) {
            strWritten = std::string(WORD_RUN) + " " +
                         (strTrimmed.front() == '"' ? strTrimmed : "\"" + strTrimmed + "\"");
        }
        break;
    case Kind::Timer: {
        // The time in quotes, a monitor after them.
        std::string strTime = strTrimmed;
        unsigned nMonitor = 0;
        std::string strReason;
        if (!TakeMonitor(strTime, nMonitor, strReason)) {
            strTime = strTrimmed;
            nMonitor = 0;
        }
        if (!strTime.empty()) {
            strWritten =
                std::string(WORD_TIMER) + " \"" + strTime + "\"" + MonitorWritten(nMonitor);
        }
        break;
    }
    case Kind::Mode:
        if (initext::EqualsNoCase(strTrimmed, WORD_OFF)) {
            strWritten = std::string(WORD_MODE) + " " + WORD_OFF;
        } else if (!strTrimmed.empty()) {
            strWritten = std::string(WORD_MODE) + " \"" + strTrimmed + "\"";
        }
        break;
    case Kind::Menu:
        strWritten = strTrimmed.empty() ? std::string(WORD_MENU)
                                        : std::string(WORD_MENU) + " \"" + strTrimmed + "\"";
        break;
    case Kind::Keyboard:
        return WORD_KEYBOARD;
    case Kind::MenuSteer:
        if (!strTrimmed.empty()) {
            strWritten = std::string(WORD_MENU) + " " + strTrimmed;
        }
        // Only the moves repeat: a held Select would carry out entry after entry.
        bRepeat = bRepeat && !initext::EqualsNoCase(strTrimmed, "Select") &&
                  !initext::EqualsNoCase(strTrimmed, "Back");
        break;
    default:
        strWritten = strTrimmed;
        break;
    }
    if (strWritten.empty()) {
        return strWritten;
    }
    return bRepeat && TakesRepeat(kind) ? strWritten + " " + WORD_REPEAT : strWritten;
}

bool CKeyAction::SplitKeyword(const std::string& strValue, Kind& kind, std::string& strRest) {
    const NamedKind KEYWORDS[] = {{WORD_TEXT, Kind::Text},
                                  {WORD_RUN, Kind::Run},
                                  {WORD_TIMER, Kind::Timer},
                                  {WORD_MODE, Kind::Mode}};
    const std::string strTrimmed = initext::Trim(strValue);
    for (const NamedKind& keyword : KEYWORDS) {
        if (StartsWithWord(strTrimmed, keyword.pszName)) {
            kind = keyword.kind;
            strRest = initext::Trim(strTrimmed.substr(std::strlen(keyword.pszName)));
            return true;
        }
    }
    return false;
}

bool CKeyAction::TakesRepeat(Kind kind) {
    return kind == Kind::Keys || kind == Kind::Text || kind == Kind::MouseMove ||
           kind == Kind::MouseButton || kind == Kind::MenuSteer;
}

std::vector<std::string> CKeyAction::WordsOf(Kind kind) {
    std::vector<std::string> words;
    if (kind == Kind::MouseMove || kind == Kind::MouseButton) {
        for (const NamedMouse& named : MOUSE_ACTIONS) {
            if ((named.mouse <= Mouse::Right) == (kind == Kind::MouseMove)) {
                words.push_back(named.pszName);
            }
        }
    } else if (kind == Kind::Pc) {
        words = PcNames();
    } else if (kind == Kind::Mode) {
        words.push_back(WORD_OFF);
    } else if (kind == Kind::MenuSteer) {
        words.assign(std::begin(STEER_WORDS), std::end(STEER_WORDS));
    } else {
        const char* const pszTool = NameOf(TOOLS, &NamedKind::kind, kind);
        if (*pszTool != '\0') {
            words.push_back(pszTool);
        }
        if (kind == Kind::BlankScreen) {
            words.push_back(std::string(pszTool) + " " + WORD_WHITE);
        }
    }
    return words;
}
