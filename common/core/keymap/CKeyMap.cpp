#include "CKeyMap.h"

#include "IniText.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// The criteria of a section, in the order of Section::criteria.
const char* const CRITERIA[] = {"ClassName", "WindowName", "Program"};
const std::size_t CLASS = 0;
const std::size_t CAPTION = 1;
const std::size_t PROGRAM = 2;
const char* const KEY_PREFIX = "Key";
const char* const NAME_MODE = "Mode";
const char* const VALUE_ANY = "NULL";
const char* const FORM_WORDS[] = {"", "long", "double"};
const char* const NAME_MENU = "Menu";
const char* const NAME_SCAN = "Scan";
const char* const ITEM_PREFIX = "Item";

// The key number of a name "Key<n>" (with a form word after it), 0 when the
// name is not of that form, -1 when the number is outside the remote's keys.
int KeyNumber(const std::string& strName, std::string& strForm) {
    const std::size_t nPrefix = std::strlen(KEY_PREFIX);
    if (strName.size() <= nPrefix ||
        !initext::EqualsNoCase(strName.substr(0, nPrefix), KEY_PREFIX)) {
        return 0;
    }
    int nNumber = 0;
    std::size_t i = nPrefix;
    for (; i < strName.size() && !initext::IsBlank(strName[i]); ++i) {
        if (strName[i] < '0' || strName[i] > '9') {
            return 0;
        }
        // Anything past three digits is out of range anyway.
        if (nNumber < 1000) {
            nNumber = nNumber * 10 + (strName[i] - '0');
        }
    }
    if (i == nPrefix) {
        return 0;
    }
    strForm = initext::Trim(strName.substr(i));
    return nNumber >= CKeyMap::FIRST_KEY && nNumber <= CKeyMap::LAST_KEY ? nNumber : -1;
}

// Profile files take the first of two equal names.
std::string GivenTwice(const std::string& strName) {
    return initext::Quoted(strName) + " is given twice in the section; the first one counts";
}

} // namespace

void CKeyMap::Clear() {
    m_sections.clear();
    m_skipped.clear();
    m_nSkippedCount = 0;
    m_bUsesProgram = false;
    m_bInSection = false;
    m_bSectionsFull = false;
}

void CKeyMap::Parse(const char* pText, std::size_t nSize, const unicodetext::AnsiToUtf8& pAnsi) {
    Clear();
    if (pText == nullptr) {
        return;
    }
    const bool bTooLong = nSize > MAX_FILE_BYTES;
    if (bTooLong) {
        nSize = MAX_FILE_BYTES;
    }
    const std::string strText = unicodetext::ToUtf8(pText, nSize, bTooLong, pAnsi);
    std::size_t nPos = 0;
    std::size_t nLine = 0;
    while (nPos < strText.size()) {
        std::size_t nEnd = strText.find('\n', nPos);
        if (nEnd == std::string::npos) {
            nEnd = strText.size();
        }
        ++nLine;
        ParseLine(strText.substr(nPos, nEnd - nPos), nLine);
        nPos = nEnd + 1;
    }
    EndSection();
    if (bTooLong) {
        Skip(nLine, "the file is longer than 1 MB; the rest is not read");
    }
}

void CKeyMap::ParseLine(const std::string& strRaw, std::size_t nLine) {
    const std::string strLine = initext::Trim(strRaw);
    if (strLine.empty() || strLine[0] == ';') {
        return;
    }
    if (strLine[0] == '[') {
        EndSection();
        if (m_sections.size() == MAX_SECTIONS) {
            if (!m_bSectionsFull) {
                Skip(nLine, "more than " + std::to_string(MAX_SECTIONS) +
                                " sections; this one and those after it are ignored");
            }
            m_bSectionsFull = true;
            m_bInSection = false;
            return;
        }
        const std::size_t nClose = strLine.find(']');
        m_sections.emplace_back();
        m_sections.back().strName =
            strLine.substr(1, nClose == std::string::npos ? std::string::npos : nClose - 1);
        m_sections.back().nLine = nLine;
        m_bInSection = true;
        return;
    }
    if (m_bSectionsFull) {
        return; // reported once with the section
    }
    const std::size_t nEqual = strLine.find('=');
    if (nEqual == std::string::npos) {
        Skip(nLine, "the line has no '='");
        return;
    }
    if (!m_bInSection) {
        Skip(nLine, "the line stands before the first [section]");
        return;
    }
    std::string strValue = initext::Trim(strLine.substr(nEqual + 1));
    strValue.resize(unicodetext::CutPoint(strValue, MAX_VALUE));
    SetValue(m_sections.back(), initext::Trim(strLine.substr(0, nEqual)), strValue, nLine);
}

void CKeyMap::SetValue(Section& section, const std::string& strName, const std::string& strValue,
                       std::size_t nLine) {
    for (std::size_t nCriterion = 0; nCriterion < std::size(CRITERIA); ++nCriterion) {
        if (!initext::EqualsNoCase(strName, CRITERIA[nCriterion])) {
            continue;
        }
        Pattern& criterion = section.criteria[nCriterion];
        if (criterion.bGiven) {
            Skip(nLine, GivenTwice(strName));
        } else if (strValue.empty()) {
            Skip(nLine, "the value is empty");
        } else {
            criterion.bGiven = true;
            // Names compare in any case, so "null" can only mean any.
            criterion.bAny = initext::EqualsNoCase(strValue, VALUE_ANY);
            criterion.pattern = criterion.bAny ? std::u32string() : Folded(strValue);
        }
        return;
    }
    if (initext::EqualsNoCase(strName, NAME_MODE)) {
        section.nModeLine = nLine;
        SetMode(section, strValue, nLine);
        return;
    }
    if (SetMenuValue(section, strName, strValue, nLine)) {
        return;
    }
    std::string strForm;
    const int nKey = KeyNumber(strName, strForm);
    if (nKey == 0) {
        Skip(nLine, "unknown name " + initext::Quoted(strName) +
                        " (ClassName, WindowName, Program, Mode, Menu, Scan, Item<n> or "
                        "Key1 to Key23)");
        return;
    }
    if (nKey < 0) {
        Skip(nLine, "the key number of " + initext::Quoted(strName) + " is not 1 to 23");
        return;
    }
    int nForm = 0;
    while (nForm < FORM_COUNT && !initext::EqualsNoCase(strForm, FORM_WORDS[nForm])) {
        ++nForm;
    }
    if (nForm == FORM_COUNT) {
        Skip(nLine, "unknown form " + initext::Quoted(strForm) + " (long or double)");
        return;
    }
    if (section.FindEntry(nKey, nForm) != nullptr) {
        Skip(nLine, GivenTwice(strName));
        return;
    }
    if (strValue.empty()) {
        Skip(nLine, "the value is empty");
        return;
    }
    CKeyAction action;
    std::string strReason;
    if (!action.Parse(strValue, strReason)) {
        Skip(nLine, strReason);
        return;
    }
    section.entries.push_back({nKey, nForm, nLine, action});
}

void CKeyMap::SetMode(Section& section, const std::string& strValue, std::size_t nLine) {
    if (section.bModeGiven) {
        Skip(nLine, GivenTwice(NAME_MODE));
        return;
    }
    section.bModeGiven = true;
    std::string strReason;
    if (!CKeyAction::IsModeName(strValue, strReason)) {
        // Asked always, the section would do what was meant for a mode only.
        Skip(nLine, strReason + "; the section is ignored");
        section.bBadMode = true;
        return;
    }
    section.strMode = strValue;
    section.mode = Folded(strValue);
}

bool CKeyMap::SetMenuValue(Section& section, const std::string& strName,
                           const std::string& strValue, std::size_t nLine) {
    std::string strReason;
    if (initext::EqualsNoCase(strName, NAME_MENU)) {
        if (section.bMenuGiven) {
            Skip(nLine, GivenTwice(NAME_MENU));
        } else if (!CKeyAction::IsMenuName(strValue, strReason)) {
            Skip(nLine, strReason + "; the section is ignored");
            section.bBadMode = true; // dropped like a section of a bad mode
        } else {
            section.bMenuGiven = true;
            section.menu.strName = strValue;
            section.menuName = Folded(strValue);
        }
        return true;
    }
    if (initext::EqualsNoCase(strName, NAME_SCAN)) {
        if (section.bScanGiven) {
            Skip(nLine, GivenTwice(NAME_SCAN));
        } else if (!ReadScanMs(strValue, section.menu.nScanMs)) {
            Skip(nLine, "the scan's step is not a number of milliseconds");
        } else {
            section.bScanGiven = true;
        }
        return true;
    }
    const std::size_t nPrefix = std::strlen(ITEM_PREFIX);
    const std::string strNumber = strName.size() > nPrefix ? strName.substr(nPrefix) : "";
    if (strNumber.empty() || !initext::EqualsNoCase(strName.substr(0, nPrefix), ITEM_PREFIX) ||
        strNumber.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const int nNumber = strNumber.size() > 3 ? 0 : std::stoi(strNumber);
    const std::size_t nFirst = strValue.find('"');
    const std::size_t nSecond = nFirst == 0 ? strValue.find('"', 1) : std::string::npos;
    if (nNumber < 1 || nNumber > MAX_ITEMS) {
        Skip(nLine, "the item number of " + initext::Quoted(strName) + " is not 1 to " +
                        std::to_string(MAX_ITEMS));
    } else if (std::find(section.itemNumbers.begin(), section.itemNumbers.end(), nNumber) !=
               section.itemNumbers.end()) {
        Skip(nLine, GivenTwice(strName));
    } else if (nSecond == std::string::npos ||
               initext::Trim(strValue.substr(1, nSecond - 1)).empty()) {
        Skip(nLine, "the entry has no label between two double quotes before its action");
    } else {
        CKeyAction action;
        const std::string strAction = initext::Trim(strValue.substr(nSecond + 1));
        if (strAction.empty()) {
            Skip(nLine, "the entry has no action after its label");
        } else if (!action.Parse(strAction, strReason)) {
            Skip(nLine, strReason);
        } else if (action.GetKind() == CKeyAction::Kind::MenuSteer) {
            Skip(nLine, "a menu's entry cannot steer the menu");
        } else {
            // Kept in number order, whatever the order of the lines.
            std::size_t nAt = 0;
            while (nAt < section.itemNumbers.size() && section.itemNumbers[nAt] < nNumber) {
                ++nAt;
            }
            section.itemNumbers.insert(
                section.itemNumbers.begin() + static_cast<std::ptrdiff_t>(nAt), nNumber);
            section.menu.items.insert(
                section.menu.items.begin() + static_cast<std::ptrdiff_t>(nAt),
                MenuItem{initext::Trim(strValue.substr(1, nSecond - 1)), action, nLine});
        }
    }
    return true;
}

void CKeyMap::EndMenuSection(Section& section) {
    if (section.bMenuGiven) {
        for (const Entry& entry : section.entries) {
            Skip(entry.nLine, "a menu's section holds Item lines, not keys");
        }
        section.entries.clear();
        if (section.bModeGiven && !section.bBadMode) {
            Skip(section.nModeLine,
                 "a menu's section belongs to no mode; the Mode line is ignored");
        }
        section.bModeGiven = false;
        section.strMode.clear();
        section.mode.clear();
        return;
    }
    if (section.bBadMode) {
        return; // dropped whole
    }
    for (const MenuItem& item : section.menu.items) {
        Skip(item.nLine, "Item lines belong in a section with a Menu line");
    }
    if (section.bScanGiven) {
        Skip(section.nLine, "Scan belongs in a section with a Menu line; it is ignored");
    }
    section.menu = Menu();
    section.itemNumbers.clear();
}

const CKeyMap::Entry* CKeyMap::Section::FindEntry(int nKey, int nForm) const {
    for (const Entry& entry : entries) {
        if (entry.nKey == nKey && entry.nForm == nForm) {
            return &entry;
        }
    }
    return nullptr;
}

void CKeyMap::EndSection() {
    if (!m_bInSection) {
        return;
    }
    m_bInSection = false;
    Section& section = m_sections.back();
    EndMenuSection(section);
    if (section.bBadMode) {
        m_sections.pop_back();
        return;
    }
    Pattern* criteria = section.criteria;
    if (section.bModeGiven || section.bMenuGiven) {
        // A mode's or menu's section is for every window unless it names some.
        for (Pattern& criterion : section.criteria) {
            criterion.bAny = criterion.bAny || !criterion.bGiven;
        }
        m_bUsesProgram = m_bUsesProgram || !criteria[PROGRAM].bAny;
        return;
    }
    if (criteria[PROGRAM].bGiven) {
        // Beside a program, a class or caption left out matches any.
        m_bUsesProgram = m_bUsesProgram || !criteria[PROGRAM].bAny;
        for (std::size_t i = CLASS; i <= CAPTION; ++i) {
            criteria[i].bAny = criteria[i].bAny || !criteria[i].bGiven;
        }
        return;
    }
    if (!criteria[CLASS].bGiven || !criteria[CAPTION].bGiven) {
        Skip(section.nLine, "section " + initext::Quoted("[" + section.strName + "]") + " has no " +
                                (criteria[CLASS].bGiven ? CRITERIA[CAPTION] : CRITERIA[CLASS]) +
                                " and is ignored");
        m_sections.pop_back();
        return;
    }
    criteria[PROGRAM].bAny = true;
}

void CKeyMap::Skip(std::size_t nLine, const std::string& strReason) {
    ++m_nSkippedCount;
    if (m_skipped.size() < MAX_REPORTED) {
        m_skipped.push_back({nLine, strReason});
    }
}

const std::string& CKeyMap::GetSectionName(std::size_t nSection) const {
    static const std::string strNone;
    return nSection < m_sections.size() ? m_sections[nSection].strName : strNone;
}

const std::string& CKeyMap::GetSectionMode(std::size_t nSection) const {
    static const std::string strNone;
    return nSection < m_sections.size() ? m_sections[nSection].strMode : strNone;
}

std::vector<std::string> CKeyMap::ModeNames() const {
    std::vector<std::string> names;
    std::vector<const std::u32string*> folded;
    for (const Section& section : m_sections) {
        bool bKnown = section.strMode.empty();
        for (std::size_t i = 0; i < folded.size() && !bKnown; ++i) {
            bKnown = *folded[i] == section.mode;
        }
        if (!bKnown) {
            names.push_back(section.strMode);
            folded.push_back(&section.mode);
        }
    }
    return names;
}

std::string CKeyMap::SkippedText(const std::string& strFileName) const {
    if (m_skipped.empty()) {
        return std::string();
    }
    // A section is reported when it ends, after its own lines: name the
    // first line in the file.
    const SkippedLine* pFirst = &m_skipped.front();
    for (const SkippedLine& skipped : m_skipped) {
        if (skipped.nLine < pFirst->nLine) {
            pFirst = &skipped;
        }
    }
    std::string strText = "Line " + std::to_string(pFirst->nLine) + " of " + strFileName +
                          " is ignored: " + pFirst->strReason + ".";
    if (m_nSkippedCount > 1) {
        strText += " " + std::to_string(m_nSkippedCount - 1) + " more line(s) ignored.";
    }
    return strText;
}

std::u32string CKeyMap::Folded(const std::string& strText) {
    std::u32string points = unicodetext::CodePoints(strText);
    for (char32_t& c : points) {
        c = unicodetext::FoldCase(c);
    }
    return points;
}

bool CKeyMap::Matches(const std::string& strPattern, const std::string& strText) {
    return MatchesFolded(Folded(strPattern), Folded(strText));
}

bool CKeyMap::MatchesFolded(const std::u32string& pattern, const std::u32string& text) {
    // Greedy with a return to the last '*': at most pattern x text steps.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t nStar = std::u32string::npos;
    std::size_t nStarText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            nStar = p++;
            nStarText = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (nStar != std::u32string::npos) {
            p = nStar + 1;
            t = ++nStarText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

std::string CKeyMap::FileNameOf(const std::string& strPath) {
    const std::size_t nSlash = strPath.find_last_of("\\/");
    return nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
}

bool CKeyMap::CriteriaMatch(const Section& section, const Window& window) {
    const std::string* sources[3] = {&window.strClass, &window.strCaption, &window.strProgram};
    for (std::size_t i = 0; i < 3; ++i) {
        if (!section.criteria[i].bAny &&
            !MatchesFolded(section.criteria[i].pattern,
                           Folded(i == PROGRAM ? FileNameOf(*sources[i]) : *sources[i]))) {
            return false;
        }
    }
    return true;
}

const CKeyMap::Menu* CKeyMap::FindMenu(const Window& window, const std::string& strName) const {
    const std::u32string name = Folded(strName);
    for (const Section& section : m_sections) {
        if (section.bMenuGiven && section.menuName == name && CriteriaMatch(section, window)) {
            return &section.menu;
        }
    }
    return nullptr;
}

CKeyMap::Rule CKeyMap::Find(const Window& window, int nKey, Form form,
                            const std::string& strMode) const {
    Rule rule;
    const int nForm = static_cast<int>(form);
    if (nKey < FIRST_KEY || nKey > LAST_KEY || nForm < 0 || nForm >= FORM_COUNT) {
        return rule;
    }
    const std::u32string mode = strMode.empty() ? std::u32string() : Folded(strMode);
    // Folded once, and only when a section asks.
    std::u32string texts[3];
    bool bFolded[3] = {};
    const std::string* sources[3] = {&window.strClass, &window.strCaption, &window.strProgram};
    for (std::size_t nSection = 0; nSection < m_sections.size(); ++nSection) {
        const Section& section = m_sections[nSection];
        if (section.mode != mode) {
            continue;
        }
        const Entry* pEntry = section.FindEntry(nKey, nForm);
        if (pEntry == nullptr) {
            continue;
        }
        bool bMatches = true;
        for (std::size_t i = 0; i < 3 && bMatches; ++i) {
            if (section.criteria[i].bAny) {
                continue;
            }
            if (!bFolded[i]) {
                texts[i] = Folded(i == PROGRAM ? FileNameOf(*sources[i]) : *sources[i]);
                bFolded[i] = true;
            }
            bMatches = MatchesFolded(section.criteria[i].pattern, texts[i]);
        }
        if (bMatches) {
            rule.pAction = &pEntry->action;
            rule.nSection = nSection;
            rule.nLine = pEntry->nLine;
            return rule;
        }
    }
    return rule;
}

bool CKeyMap::ReadScanMs(const std::string& strValue, unsigned& nMs) {
    if (strValue.empty() || strValue.size() > 9 ||
        strValue.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const unsigned long nRead = std::stoul(strValue);
    nMs = nRead == 0 ? 0
                     : static_cast<unsigned>(nRead < MIN_SCAN_MS   ? MIN_SCAN_MS
                                             : nRead > MAX_SCAN_MS ? MAX_SCAN_MS
                                                                   : nRead);
    return true;
}
