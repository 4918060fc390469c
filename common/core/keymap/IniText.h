// Small text helpers for the hand-written ini files: blanks and case as the
// profile format treats them. ASCII letters only fold case; other bytes of
// the ANSI code page compare exactly.
#pragma once

#include <cstddef>
#include <string>

namespace initext {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The text without the blanks at both ends.
inline std::string Trim(const std::string& strText) {
    std::size_t nBegin = 0;
    std::size_t nEnd = strText.size();
    while (nBegin < nEnd && IsBlank(strText[nBegin])) {
        ++nBegin;
    }
    while (nEnd > nBegin && IsBlank(strText[nEnd - 1])) {
        --nEnd;
    }
    return strText.substr(nBegin, nEnd - nBegin);
}

inline bool EqualsNoCase(const std::string& strA, const char* pszB) {
    std::size_t i = 0;
    for (; i < strA.size() && pszB[i] != '\0'; ++i) {
        if (LowerAscii(strA[i]) != LowerAscii(pszB[i])) {
            return false;
        }
    }
    return i == strA.size() && pszB[i] == '\0';
}

// A short, printable form of a name from the file for a message: control
// bytes become '?', and a long name is cut.
inline std::string Quoted(const std::string& strName) {
    const std::size_t MAX_SHOWN = 24;
    std::string strShown;
    for (std::size_t i = 0; i < strName.size() && i < MAX_SHOWN; ++i) {
        const unsigned char c = static_cast<unsigned char>(strName[i]);
        strShown.push_back(c < 0x20 || c == 0x7F ? '?' : strName[i]);
    }
    if (strName.size() > MAX_SHOWN) {
        strShown += "...";
    }
    return "\"" + strShown + "\"";
}

} // namespace initext
