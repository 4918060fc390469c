#include "CKeyMap.h"

#include "IniText.h"

#include <cstring>

namespace {

const char* const KEY_CLASS_NAME = "ClassName";
const char* const KEY_WINDOW_NAME = "WindowName";
const char* const KEY_PREFIX = "Key";
const char* const VALUE_ANY = "NULL";
const char* const WORD_REPEAT = "repeat";
// Notepad may start a file saved as UTF-8 with these bytes.
const char UTF8_BOM[] = "\xEF\xBB\xBF";

// The key number of a name "Key<n>", 0 when the name is not of that form, -1
// when the number is outside the remote's keys.
int KeyNumber(const std::string& strName) {
    const std::size_t nPrefix = std::strlen(KEY_PREFIX);
    if (strName.size() <= nPrefix ||
        !initext::EqualsNoCase(strName.substr(0, nPrefix), KEY_PREFIX)) {
        return 0;
    }
    int nNumber = 0;
    for (std::size_t i = nPrefix; i < strName.size(); ++i) {
        if (strName[i] < '0' || strName[i] > '9') {
            return 0;
        }
        // Anything past three digits is out of range anyway.
        if (nNumber < 1000) {
            nNumber = nNumber * 10 + (strName[i] - '0');
        }
    }
    return nNumber >= CKeyMap::FIRST_KEY && nNumber <= CKeyMap::LAST_KEY ? nNumber : -1;
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

// Profile files take the first of two equal names.
std::string GivenTwice(const std::string& strName) {
    return initext::Quoted(strName) + " is given twice in the section; the first one counts";
}

} // namespace

void CKeyMap::Clear() {
    m_sections.clear();
    m_skipped.clear();
    m_nSkippedCount = 0;
    m_bInSection = false;
    m_bSectionsFull = false;
}

void CKeyMap::Parse(const char* pText, std::size_t nSize) {
    Clear();
    if (pText == nullptr) {
        return;
    }
    const bool bTooLong = nSize > MAX_FILE_BYTES;
    if (bTooLong) {
        nSize = MAX_FILE_BYTES;
    }
    std::size_t nPos = 0;
    if (nSize >= 3 && std::memcmp(pText, UTF8_BOM, 3) == 0) {
        nPos = 3;
    }
    std::size_t nLine = 0;
    while (nPos < nSize) {
        const void* pEnd = std::memchr(pText + nPos, '\n', nSize - nPos);
        const std::size_t nEnd =
            pEnd != nullptr ? static_cast<std::size_t>(static_cast<const char*>(pEnd) - pText)
                            : nSize;
        ++nLine;
        ParseLine(std::string(pText + nPos, nEnd - nPos), nLine);
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
    if (strValue.size() > MAX_VALUE) {
        strValue.resize(MAX_VALUE);
    }
    SetValue(m_sections.back(), initext::Trim(strLine.substr(0, nEqual)), strValue, nLine);
}

void CKeyMap::SetValue(Section& section, const std::string& strName, const std::string& strValue,
                       std::size_t nLine) {
    if (initext::EqualsNoCase(strName, KEY_CLASS_NAME) ||
        initext::EqualsNoCase(strName, KEY_WINDOW_NAME)) {
        const bool bClass = initext::EqualsNoCase(strName, KEY_CLASS_NAME);
        bool& bHas = bClass ? section.bHasClass : section.bHasCaption;
        if (bHas) {
            Skip(nLine, GivenTwice(strName));
        } else if (strValue.empty()) {
            Skip(nLine, "the value is empty");
        } else {
            bHas = true;
            // Names compare in any case, so "null" can only mean any.
            const bool bAny = initext::EqualsNoCase(strValue, VALUE_ANY);
            (bClass ? section.bAnyClass : section.bAnyCaption) = bAny;
            (bClass ? section.strClass : section.strCaption) = bAny ? std::string() : strValue;
        }
        return;
    }
    const int nKey = KeyNumber(strName);
    if (nKey == 0) {
        Skip(nLine, "unknown name " + initext::Quoted(strName) +
                        " (ClassName, WindowName or Key1 to Key23)");
        return;
    }
    if (nKey < 0) {
        Skip(nLine, "the key number of " + initext::Quoted(strName) + " is not 1 to 23");
        return;
    }
    Action& action = section.actions[nKey - FIRST_KEY];
    if (action.bMapped) {
        Skip(nLine, GivenTwice(strName));
        return;
    }
    if (strValue.empty()) {
        Skip(nLine, "the value is empty");
        return;
    }
    std::string strChord = strValue;
    const bool bRepeat = TakeRepeat(strChord);
    std::string strReason;
    if (!action.chord.Parse(strChord, strReason)) {
        Skip(nLine, strReason);
        return;
    }
    action.bMapped = true;
    action.bRepeat = bRepeat;
}

void CKeyMap::EndSection() {
    if (!m_bInSection) {
        return;
    }
    m_bInSection = false;
    const Section& section = m_sections.back();
    if (!section.bHasClass || !section.bHasCaption) {
        Skip(section.nLine, "section " + initext::Quoted("[" + section.strName + "]") + " has no " +
                                (section.bHasClass ? KEY_WINDOW_NAME : KEY_CLASS_NAME) +
                                " and is ignored");
        m_sections.pop_back();
    }
}

void CKeyMap::Skip(std::size_t nLine, const std::string& strReason) {
    ++m_nSkippedCount;
    if (m_skipped.size() < MAX_REPORTED) {
        m_skipped.push_back({nLine, strReason});
    }
}

std::string CKeyMap::SkippedText() const {
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
    std::string strText = "Line " + std::to_string(pFirst->nLine) +
                          " of KeyMap.ini is ignored: " + pFirst->strReason + ".";
    if (m_nSkippedCount > 1) {
        strText += " " + std::to_string(m_nSkippedCount - 1) + " more line(s) ignored.";
    }
    return strText;
}

bool CKeyMap::Matches(const std::string& strPattern, const std::string& strText) {
    // Greedy with a return to the last '*': at most pattern x text steps.
    std::size_t p = 0;
    std::size_t t = 0;
    std::size_t nStar = std::string::npos;
    std::size_t nStarText = 0;
    while (t < strText.size()) {
        if (p < strPattern.size() && strPattern[p] == '*') {
            nStar = p++;
            nStarText = t;
        } else if (p < strPattern.size() &&
                   initext::LowerAscii(strPattern[p]) == initext::LowerAscii(strText[t])) {
            ++p;
            ++t;
        } else if (nStar != std::string::npos) {
            p = nStar + 1;
            t = ++nStarText;
        } else {
            return false;
        }
    }
    while (p < strPattern.size() && strPattern[p] == '*') {
        ++p;
    }
    return p == strPattern.size();
}

const CKeyChord* CKeyMap::ChordFor(const std::string& strClass, const std::string& strCaption,
                                   int nKey, int nRepeat) const {
    if (nKey < FIRST_KEY || nKey > LAST_KEY) {
        return nullptr;
    }
    for (const Section& section : m_sections) {
        const Action& action = section.actions[nKey - FIRST_KEY];
        if (!action.bMapped || (!section.bAnyClass && !Matches(section.strClass, strClass)) ||
            (!section.bAnyCaption && !Matches(section.strCaption, strCaption))) {
            continue;
        }
        // A held key without "repeat" acted at its press; its repeats do
        // nothing, also not what a later section maps.
        return nRepeat != 0 && !action.bRepeat ? nullptr : &action.chord;
    }
    return nullptr;
}
