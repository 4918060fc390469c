#include "CBalloonText.h"

namespace {

const char* const ELLIPSIS = "\xE2\x80\xA6";

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// UTF-16 units of the character whose UTF-8 sequence starts with c: those
// beyond the basic plane take a surrogate pair.
std::size_t UnitsOf(unsigned char c) {
    return c >= 0xF0 ? 2 : 1;
}

} // namespace

std::size_t CBalloonText::Utf16Length(const std::string& strText) {
    std::size_t nUnits = 0;
    for (const char c : strText) {
        if (!IsContinuation(static_cast<unsigned char>(c))) {
            nUnits += UnitsOf(static_cast<unsigned char>(c));
        }
    }
    return nUnits;
}

std::string CBalloonText::Fit(const std::string& strText, std::size_t nUnits) {
    if (nUnits == 0) {
        return std::string();
    }
    if (Utf16Length(strText) < nUnits) {
        return strText;
    }
    // Room for the ellipsis and the terminator.
    const std::size_t nRoom = nUnits >= 2 ? nUnits - 2 : 0;
    std::size_t nUsed = 0;
    std::size_t nEnd = 0;
    for (std::size_t i = 0; i < strText.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(strText[i]);
        if (IsContinuation(c)) {
            continue;
        }
        if (nUsed + UnitsOf(c) > nRoom) {
            break;
        }
        nUsed += UnitsOf(c);
        // The character ends where the next one starts.
        nEnd = i + 1;
        while (nEnd < strText.size() && IsContinuation(static_cast<unsigned char>(strText[nEnd]))) {
            ++nEnd;
        }
    }
    while (nEnd > 0 && (strText[nEnd - 1] == ' ' || strText[nEnd - 1] == '\n')) {
        --nEnd;
    }
    return nRoom == 0 ? std::string() : strText.substr(0, nEnd) + ELLIPSIS;
}

std::string CBalloonText::Wrapped(const std::string& strText) {
    std::string strWrapped = strText;
    std::size_t nLineChars = 0;
    // The last space of the line, where it can break.
    std::size_t nBreak = std::string::npos;
    std::size_t nCharsAtBreak = 0;
    for (std::size_t i = 0; i < strWrapped.size(); ++i) {
        const char c = strWrapped[i];
        if (IsContinuation(static_cast<unsigned char>(c))) {
            continue;
        }
        if (c == '\n') {
            nLineChars = 0;
            nBreak = std::string::npos;
            continue;
        }
        ++nLineChars;
        if (c == ' ') {
            nBreak = i;
            nCharsAtBreak = nLineChars;
        }
        if (nLineChars > LINE_CHARS && nBreak != std::string::npos) {
            strWrapped[nBreak] = '\n';
            nLineChars -= nCharsAtBreak;
            nBreak = std::string::npos;
        }
    }
    return strWrapped;
}
