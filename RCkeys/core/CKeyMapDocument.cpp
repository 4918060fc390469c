#include "CKeyMapDocument.h"

#include "IniText.h"

#include <algorithm>
#include <cstring>

namespace {

const char UTF8_BOM[] = "\xEF\xBB\xBF";
const char UTF16LE_BOM[] = "\xFF\xFE";
const char* const CRITERION_NAMES[CKeyMapDocument::CRITERION_COUNT] = {"Program", "ClassName",
                                                                       "WindowName"};
const char* const FORM_WORDS[CKeyMapDocument::FORM_COUNT] = {"", "long", "double"};
const char* const VALUE_ANY = "NULL";
const char* const NAME_MODE = "Mode";
const char* const NAME_MENU = "Menu";
const char* const NAME_SCAN = "Scan";
const char* const ITEM_PREFIX = "Item";

// UTF-16 LE to UTF-8. Unlike KV480's reading, which only needs the text, a
// lone surrogate becomes its own three bytes and an odd last byte is kept
// aside, so that saving gives the file back byte for byte.
std::string Utf16ToUtf8(const unsigned char* p, std::size_t nSize, std::string& strOddByte) {
    std::string strOut;
    std::size_t i = 0;
    for (; i + 1 < nSize; i += 2) {
        unsigned long nCode = p[i] | (p[i + 1] << 8);
        if (nCode >= 0xD800 && nCode < 0xDC00 && i + 3 < nSize) {
            const unsigned long nLow = p[i + 2] | (p[i + 3] << 8);
            if (nLow >= 0xDC00 && nLow < 0xE000) {
                nCode = 0x10000 + ((nCode - 0xD800) << 10) + (nLow - 0xDC00);
                i += 2;
            }
        }
        unicodetext::AppendUtf8(strOut, static_cast<char32_t>(nCode));
    }
    strOddByte = i < nSize ? std::string(1, static_cast<char>(p[i])) : std::string();
    return strOut;
}

void AppendUtf16(std::string& strOut, unsigned long nCode) {
    strOut.push_back(static_cast<char>(nCode & 0xFF));
    strOut.push_back(static_cast<char>(nCode >> 8));
}

// UTF-8 (as Utf16ToUtf8 makes it, or typed in the editor) to UTF-16 LE; a
// byte that starts no valid sequence is kept as the character of that value.
std::string Utf8ToUtf16(const std::string& strText) {
    std::string strOut;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(strText.data());
    const std::size_t nSize = strText.size();
    for (std::size_t i = 0; i < nSize;) {
        const unsigned char c = p[i];
        std::size_t nLength = c < 0x80                ? 1
                              : c >= 0xF0 && c < 0xF5 ? 4
                              : c >= 0xE0             ? 3
                              : c >= 0xC2             ? 2
                                                      : 0;
        if (nLength > 1 && c >= 0xF5) {
            nLength = 0;
        }
        unsigned long nCode = nLength == 1   ? c
                              : nLength == 2 ? c & 0x1F
                              : nLength == 3 ? c & 0x0F
                                             : c & 0x07;
        for (std::size_t k = 1; k < nLength; ++k) {
            if (i + k >= nSize || (p[i + k] & 0xC0) != 0x80) {
                nLength = 0;
                break;
            }
            nCode = (nCode << 6) | (p[i + k] & 0x3F);
        }
        if (nLength == 0) {
            AppendUtf16(strOut, c);
            ++i;
            continue;
        }
        if (nCode >= 0x10000) {
            nCode -= 0x10000;
            AppendUtf16(strOut, 0xD800 + (nCode >> 10));
            AppendUtf16(strOut, 0xDC00 + (nCode & 0x3FF));
        } else {
            AppendUtf16(strOut, nCode);
        }
        i += nLength;
    }
    return strOut;
}

bool IsComment(const std::string& strTrimmed) {
    return !strTrimmed.empty() && (strTrimmed[0] == ';' || strTrimmed[0] == '#');
}

// The number of a name "Item<n>" (1 to 999); false for any other name.
bool ParseItemName(const std::string& strName, int& nNumber) {
    const std::size_t nPrefix = std::strlen(ITEM_PREFIX);
    const std::string strNumber = strName.size() > nPrefix ? strName.substr(nPrefix) : "";
    if (strNumber.empty() || strNumber.size() > 3 ||
        !initext::EqualsNoCase(strName.substr(0, nPrefix), ITEM_PREFIX) ||
        strNumber.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    nNumber = std::stoi(strNumber);
    return nNumber > 0;
}

// The form and key of a name "Key<n>", "Key<n> long", "Key<n> double"; false
// for any other name.
bool ParseKeyName(const std::string& strName, int& nKey, CKeyMapDocument::Form& form) {
    if (strName.size() < 4 || !initext::EqualsNoCase(strName.substr(0, 3), "Key")) {
        return false;
    }
    std::size_t i = 3;
    nKey = 0;
    while (i < strName.size() && strName[i] >= '0' && strName[i] <= '9' && nKey < 1000) {
        nKey = nKey * 10 + (strName[i++] - '0');
    }
    if (i == 3 || nKey < CKeyMapDocument::FIRST_KEY || nKey > CKeyMapDocument::LAST_KEY) {
        return false;
    }
    const std::string strWord = initext::Trim(strName.substr(i));
    if (strWord.empty()) {
        form = CKeyMapDocument::FORM_PLAIN;
        return i == strName.size();
    }
    if (!initext::IsBlank(strName[i])) {
        return false;
    }
    for (int f = CKeyMapDocument::FORM_LONG; f < CKeyMapDocument::FORM_COUNT; ++f) {
        if (initext::EqualsNoCase(strWord, FORM_WORDS[f])) {
            form = static_cast<CKeyMapDocument::Form>(f);
            return true;
        }
    }
    return false;
}

} // namespace

void CKeyMapDocument::Load(const char* pText, std::size_t nSize) {
    m_lines.clear();
    m_sections.clear();
    m_bModified = false;
    m_bComplete = nSize <= MAX_FILE_BYTES;
    m_bFinalNewline = false;
    m_bCrLf = true;
    m_encoding = Encoding::Utf8;
    if (pText == nullptr) {
        nSize = 0;
    }
    nSize = std::min(nSize, MAX_FILE_BYTES);
    std::string strText;
    if (nSize >= 2 && std::memcmp(pText, UTF16LE_BOM, 2) == 0) {
        m_encoding = Encoding::Utf16Le;
        std::string strOdd;
        strText = Utf16ToUtf8(reinterpret_cast<const unsigned char*>(pText) + 2, nSize - 2, strOdd);
        // A half character at the end is not text; the file is cut there on
        // saving only if the editor was allowed to save, which it is not.
        m_bComplete = m_bComplete && strOdd.empty();
    } else if (nSize >= 3 && std::memcmp(pText, UTF8_BOM, 3) == 0) {
        m_encoding = Encoding::Utf8Bom;
        strText.assign(pText + 3, nSize - 3);
    } else {
        strText.assign(pText != nullptr ? pText : "", nSize);
        m_encoding = unicodetext::Detect(strText.data(), strText.size(), !m_bComplete);
    }

    std::size_t nPos = 0;
    bool bFirst = true;
    while (nPos < strText.size()) {
        const std::size_t nEnd = strText.find('\n', nPos);
        if (nEnd == std::string::npos) {
            m_lines.push_back(strText.substr(nPos));
            break;
        }
        m_lines.push_back(strText.substr(nPos, nEnd - nPos));
        if (bFirst) {
            m_bCrLf = !m_lines.back().empty() && m_lines.back().back() == '\r';
            bFirst = false;
        }
        nPos = nEnd + 1;
        m_bFinalNewline = nPos == strText.size();
    }
    Index();
}

void CKeyMapDocument::ConvertToUtf8(const unicodetext::AnsiToUtf8& pAnsi) {
    if (m_encoding != Encoding::Ansi || !pAnsi) {
        return;
    }
    for (std::string& strLine : m_lines) {
        strLine = pAnsi(strLine);
    }
    // The mark: KV480 must not take a file of plain Latin letters for ANSI.
    m_encoding = Encoding::Utf8Bom;
    m_bModified = true;
    Index();
}

std::string CKeyMapDocument::Save() const {
    std::string strText;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        strText += m_lines[i];
        if (i + 1 < m_lines.size() || m_bFinalNewline) {
            strText += '\n';
        }
    }
    switch (m_encoding) {
    case Encoding::Utf8Bom:
        return UTF8_BOM + strText;
    case Encoding::Utf16Le:
        return std::string(UTF16LE_BOM, 2) + Utf8ToUtf16(strText);
    default:
        return strText;
    }
}

void CKeyMapDocument::Index() {
    m_sections.clear();
    m_nUnknownLines = 0;
    for (std::size_t nLine = 0; nLine < m_lines.size(); ++nLine) {
        const std::string strLine = initext::Trim(m_lines[nLine]);
        if (strLine.empty() || IsComment(strLine)) {
            continue;
        }
        if (strLine[0] == '[') {
            if (!m_sections.empty()) {
                m_sections.back().nEnd = nLine;
            }
            Section section;
            const std::size_t nClose = strLine.find(']');
            section.strName =
                strLine.substr(1, nClose == std::string::npos ? std::string::npos : nClose - 1);
            section.nHeader = nLine;
            std::fill(std::begin(section.criteria), std::end(section.criteria), NO_LINE);
            section.nMode = NO_LINE;
            section.nMenu = NO_LINE;
            section.nScan = NO_LINE;
            m_sections.push_back(section);
            continue;
        }
        const std::size_t nEqual = strLine.find('=');
        if (nEqual == std::string::npos || m_sections.empty()) {
            ++m_nUnknownLines;
            continue;
        }
        Section& section = m_sections.back();
        const std::string strName = initext::Trim(strLine.substr(0, nEqual));
        int nKey = 0;
        Form form = FORM_PLAIN;
        // The first of two equal names counts, as KV480 reads it.
        if (ParseKeyName(strName, nKey, form)) {
            if (section.ActionLine(nKey, form) == NO_LINE) {
                section.actions.emplace_back(nKey * FORM_COUNT + form, nLine);
            }
            continue;
        }
        int nNumber = 0;
        if (ParseItemName(strName, nNumber)) {
            const bool bTwice = std::any_of(
                section.items.begin(), section.items.end(),
                [&](const std::pair<int, std::size_t>& item) { return item.first == nNumber; });
            if (!bTwice) {
                section.items.emplace_back(nNumber, nLine);
            }
            continue;
        }
        std::size_t* pSlot = initext::EqualsNoCase(strName, NAME_MODE)   ? &section.nMode
                             : initext::EqualsNoCase(strName, NAME_MENU) ? &section.nMenu
                             : initext::EqualsNoCase(strName, NAME_SCAN) ? &section.nScan
                                                                         : nullptr;
        for (int c = 0; c < CRITERION_COUNT; ++c) {
            if (initext::EqualsNoCase(strName, CRITERION_NAMES[c])) {
                pSlot = &section.criteria[c];
            }
        }
        if (pSlot == nullptr) {
            ++m_nUnknownLines;
        } else if (*pSlot == NO_LINE) {
            *pSlot = nLine;
        }
    }
    if (!m_sections.empty()) {
        m_sections.back().nEnd = m_lines.size();
    }
    for (Section& section : m_sections) {
        std::sort(section.items.begin(), section.items.end());
    }
}

std::size_t CKeyMapDocument::Section::ActionLine(int nKey, Form form) const {
    for (const auto& action : actions) {
        if (action.first == nKey * FORM_COUNT + form) {
            return action.second;
        }
    }
    return NO_LINE;
}

std::string CKeyMapDocument::ValueOf(std::size_t nLine) const {
    if (nLine == NO_LINE || nLine >= m_lines.size()) {
        return std::string();
    }
    const std::string& strLine = m_lines[nLine];
    const std::size_t nEqual = strLine.find('=');
    return nEqual == std::string::npos ? std::string() : initext::Trim(strLine.substr(nEqual + 1));
}

const std::string& CKeyMapDocument::GetSectionName(std::size_t nSection) const {
    static const std::string strNone;
    return nSection < m_sections.size() ? m_sections[nSection].strName : strNone;
}

std::string CKeyMapDocument::GetCriterion(std::size_t nSection, Criterion criterion) const {
    if (nSection >= m_sections.size() || criterion < 0 || criterion >= CRITERION_COUNT) {
        return std::string();
    }
    return ValueOf(m_sections[nSection].criteria[criterion]);
}

std::string CKeyMapDocument::GetMode(std::size_t nSection) const {
    return nSection < m_sections.size() ? ValueOf(m_sections[nSection].nMode) : std::string();
}

std::string CKeyMapDocument::GetMenu(std::size_t nSection) const {
    return nSection < m_sections.size() ? ValueOf(m_sections[nSection].nMenu) : std::string();
}

void CKeyMapDocument::SetMenu(std::size_t nSection, const std::string& strMenu) {
    if (nSection < m_sections.size()) {
        SetLine(nSection, m_sections[nSection].nMenu, NAME_MENU, strMenu);
    }
}

std::string CKeyMapDocument::GetScan(std::size_t nSection) const {
    return nSection < m_sections.size() ? ValueOf(m_sections[nSection].nScan) : std::string();
}

void CKeyMapDocument::SetScan(std::size_t nSection, const std::string& strScan) {
    if (nSection < m_sections.size()) {
        SetLine(nSection, m_sections[nSection].nScan, NAME_SCAN, strScan);
    }
}

std::vector<std::string> CKeyMapDocument::GetMenuItems(std::size_t nSection) const {
    std::vector<std::string> items;
    if (nSection < m_sections.size()) {
        for (const auto& item : m_sections[nSection].items) {
            items.push_back(ValueOf(item.second));
        }
    }
    return items;
}

void CKeyMapDocument::SetMenuItems(std::size_t nSection, const std::vector<std::string>& items) {
    if (nSection >= m_sections.size() || items == GetMenuItems(nSection)) {
        return;
    }
    // The lines there are take the entries in their numbers' order, so that
    // comments among them stay; the numbers become 1 to N without gaps.
    std::vector<std::size_t> lines;
    for (const auto& item : m_sections[nSection].items) {
        lines.push_back(item.second);
    }
    std::sort(lines.begin(), lines.end());
    for (std::size_t i = 0; i < lines.size() && i < items.size(); ++i) {
        const bool bCr = !m_lines[lines[i]].empty() && m_lines[lines[i]].back() == '\r';
        m_lines[lines[i]] =
            ITEM_PREFIX + std::to_string(i + 1) + "=" + CleanValue(items[i]) + (bCr ? "\r" : "");
    }
    for (std::size_t i = lines.size(); i-- > items.size();) {
        m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(lines[i]));
    }
    Index();
    for (std::size_t i = lines.size(); i < items.size(); ++i) {
        const std::size_t nAt = InsertionLine(nSection);
        if (nAt == m_lines.size()) {
            EndLastLine();
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(nAt),
                       NewLine(ITEM_PREFIX + std::to_string(i + 1) + "=" + CleanValue(items[i])));
        Index();
    }
    m_bModified = true;
}

void CKeyMapDocument::SetMode(std::size_t nSection, const std::string& strMode) {
    if (nSection < m_sections.size()) {
        SetLine(nSection, m_sections[nSection].nMode, NAME_MODE, strMode);
    }
}

void CKeyMapDocument::RenameSection(std::size_t nSection, const std::string& strName) {
    if (nSection >= m_sections.size() || m_sections[nSection].strName == strName) {
        return;
    }
    std::string& strLine = m_lines[m_sections[nSection].nHeader];
    const bool bCr = !strLine.empty() && strLine.back() == '\r';
    strLine = "[" + strName + "]" + (bCr ? "\r" : "");
    m_bModified = true;
    Index();
}

bool CKeyMapDocument::IsCatchAll(std::size_t nSection) const {
    // A mode's section answers only while the mode is on.
    return nSection < m_sections.size() && GetMode(nSection).empty() &&
           GetCriterion(nSection, CRITERION_PROGRAM).empty() &&
           initext::EqualsNoCase(GetCriterion(nSection, CRITERION_CLASS), VALUE_ANY) &&
           initext::EqualsNoCase(GetCriterion(nSection, CRITERION_WINDOW), VALUE_ANY);
}

std::size_t CKeyMapDocument::FindCatchAll() const {
    std::size_t nSection = 0;
    while (nSection < m_sections.size() && !IsCatchAll(nSection)) {
        ++nSection;
    }
    return nSection;
}

std::string CKeyMapDocument::GetAction(std::size_t nSection, int nKey, Form form) const {
    if (nSection >= m_sections.size() || nKey < FIRST_KEY || nKey > LAST_KEY || form < 0 ||
        form >= FORM_COUNT) {
        return std::string();
    }
    return ValueOf(m_sections[nSection].ActionLine(nKey, form));
}

void CKeyMapDocument::SetAction(std::size_t nSection, int nKey, Form form,
                                const std::string& strAction) {
    if (nSection >= m_sections.size() || nKey < FIRST_KEY || nKey > LAST_KEY || form < 0 ||
        form >= FORM_COUNT) {
        return;
    }
    SetLine(nSection, m_sections[nSection].ActionLine(nKey, form), KeyName(nKey, form), strAction);
}

void CKeyMapDocument::SetCriterion(std::size_t nSection, Criterion criterion,
                                   const std::string& strValue) {
    if (nSection >= m_sections.size() || criterion < 0 || criterion >= CRITERION_COUNT) {
        return;
    }
    SetLine(nSection, m_sections[nSection].criteria[criterion], CRITERION_NAMES[criterion],
            strValue);
}

void CKeyMapDocument::SetLine(std::size_t nSection, std::size_t nLine, const std::string& strName,
                              const std::string& strValue) {
    const std::string strClean = CleanValue(strValue);
    if (nLine != NO_LINE) {
        if (ValueOf(nLine) == strClean) {
            return;
        }
        if (strClean.empty()) {
            m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(nLine));
        } else {
            // The name keeps its spelling; the line its ending.
            const std::string& strOld = m_lines[nLine];
            const bool bCr = !strOld.empty() && strOld.back() == '\r';
            m_lines[nLine] = strOld.substr(0, strOld.find('=') + 1) + strClean + (bCr ? "\r" : "");
        }
    } else {
        if (strClean.empty()) {
            return;
        }
        const std::size_t nAt = InsertionLine(nSection);
        if (nAt == m_lines.size()) {
            EndLastLine();
        }
        m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(nAt),
                       NewLine(strName + "=" + strClean));
    }
    m_bModified = true;
    Index();
}

std::string CKeyMapDocument::CleanValue(const std::string& strValue) {
    // A line break in a value would make lines of its own.
    std::string strClean = initext::Trim(strValue);
    std::replace_if(
        strClean.begin(), strClean.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return strClean;
}

std::size_t CKeyMapDocument::InsertionLine(std::size_t nSection) const {
    const Section& section = m_sections[nSection];
    std::size_t nLast = section.nHeader;
    for (std::size_t nLine = section.nHeader + 1; nLine < section.nEnd; ++nLine) {
        const std::string strLine = initext::Trim(m_lines[nLine]);
        if (!strLine.empty() && !IsComment(strLine)) {
            nLast = nLine;
        }
    }
    return nLast + 1;
}

std::string CKeyMapDocument::NewLine(const std::string& strText) const {
    return m_bCrLf ? strText + "\r" : strText;
}

void CKeyMapDocument::EndLastLine() {
    // The last line gets its ending before anything follows it.
    if (!m_lines.empty() && !m_bFinalNewline) {
        m_lines.back() = NewLine(m_lines.back());
    }
    m_bFinalNewline = true;
}

std::size_t CKeyMapDocument::BlockStart(std::size_t nSection) const {
    const std::size_t nFloor = nSection > 0 ? m_sections[nSection - 1].nHeader + 1 : 0;
    std::size_t nStart = m_sections[nSection].nHeader;
    while (nStart > nFloor && IsComment(initext::Trim(m_lines[nStart - 1]))) {
        --nStart;
    }
    return nStart;
}

std::size_t CKeyMapDocument::BlockEnd(std::size_t nSection) const {
    return nSection + 1 < m_sections.size() ? BlockStart(nSection + 1) : m_lines.size();
}

std::size_t CKeyMapDocument::AddSection(const std::string& strName, const std::string& strProgram,
                                        const std::string& strClass, const std::string& strWindow,
                                        std::size_t nBefore) {
    std::vector<std::string> block;
    block.push_back(NewLine("[" + strName + "]"));
    const std::string* values[CRITERION_COUNT] = {&strProgram, &strClass, &strWindow};
    for (int c = 0; c < CRITERION_COUNT; ++c) {
        if (!values[c]->empty()) {
            block.push_back(NewLine(std::string(CRITERION_NAMES[c]) + "=" + *values[c]));
        }
    }
    block.push_back(NewLine(""));
    std::size_t nAt = m_lines.size();
    if (nBefore < m_sections.size()) {
        nAt = BlockStart(nBefore);
    } else {
        nBefore = m_sections.size();
        EndLastLine();
        if (!m_lines.empty() && !initext::Trim(m_lines.back()).empty()) {
            m_lines.push_back(NewLine(""));
            ++nAt;
        }
    }
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(nAt), block.begin(), block.end());
    m_bFinalNewline = m_bFinalNewline || nAt + block.size() == m_lines.size();
    m_bModified = true;
    Index();
    return nBefore;
}

void CKeyMapDocument::RemoveSection(std::size_t nSection) {
    if (nSection >= m_sections.size()) {
        return;
    }
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(BlockStart(nSection)),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(BlockEnd(nSection)));
    m_bModified = true;
    Index();
}

bool CKeyMapDocument::MoveSection(std::size_t nSection, bool bUp) {
    if (nSection >= m_sections.size() || (bUp && nSection == 0) ||
        (!bUp && nSection + 1 >= m_sections.size())) {
        return false;
    }
    const std::size_t nUpper = bUp ? nSection - 1 : nSection;
    // Both blocks, the lower's comments included, change places.
    const std::size_t nUpperStart = BlockStart(nUpper);
    const std::size_t nLowerStart = BlockStart(nUpper + 1);
    const std::size_t nLowerEnd = BlockEnd(nUpper + 1);
    if (nLowerEnd == m_lines.size()) {
        EndLastLine();
    }
    std::rotate(m_lines.begin() + static_cast<std::ptrdiff_t>(nUpperStart),
                m_lines.begin() + static_cast<std::ptrdiff_t>(nLowerStart),
                m_lines.begin() + static_cast<std::ptrdiff_t>(nLowerEnd));
    m_bModified = true;
    Index();
    return true;
}

std::string CKeyMapDocument::KeyName(int nKey, Form form) {
    std::string strName = "Key" + std::to_string(nKey);
    if (form > FORM_PLAIN && form < FORM_COUNT) {
        strName += std::string(" ") + FORM_WORDS[form];
    }
    return strName;
}

const char* CKeyMapDocument::CriterionName(Criterion criterion) {
    return criterion >= 0 && criterion < CRITERION_COUNT ? CRITERION_NAMES[criterion] : "";
}
