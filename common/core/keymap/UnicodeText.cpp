#include "UnicodeText.h"

#include <cstring>

namespace unicodetext {

namespace {

const char32_t REPLACEMENT = 0xFFFD;
const char32_t ESCAPE_BASE = 0xDC00;

// Length of the valid UTF-8 sequence at p (at most n bytes there) and its
// code point; 0 when none starts there. nShort is set when the bytes end
// inside a sequence that is valid so far.
std::size_t DecodeOne(const unsigned char* p, std::size_t n, char32_t& c, bool& bShort) {
    bShort = false;
    const unsigned char b = p[0];
    if (b < 0x80) {
        c = b;
        return 1;
    }
    std::size_t nLength = 0;
    char32_t nMin = 0;
    if (b >= 0xC2 && b <= 0xDF) {
        nLength = 2;
        c = b & 0x1F;
        nMin = 0x80;
    } else if (b >= 0xE0 && b <= 0xEF) {
        nLength = 3;
        c = b & 0x0F;
        nMin = 0x800;
    } else if (b >= 0xF0 && b <= 0xF4) {
        nLength = 4;
        c = b & 0x07;
        nMin = 0x10000;
    } else {
        return 0;
    }
    for (std::size_t i = 1; i < nLength; ++i) {
        if (i >= n) {
            bShort = true;
            return 0;
        }
        if ((p[i] & 0xC0) != 0x80) {
            return 0;
        }
        c = (c << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not text.
    if (c < nMin || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        return 0;
    }
    return nLength;
}

bool IsUtf8(const char* pBytes, std::size_t nSize, bool bCutShort) {
    const auto* p = reinterpret_cast<const unsigned char*>(pBytes);
    std::size_t i = 0;
    while (i < nSize) {
        char32_t c = 0;
        bool bShort = false;
        const std::size_t n = DecodeOne(p + i, nSize - i, c, bShort);
        if (n == 0) {
            return bShort && bCutShort;
        }
        i += n;
    }
    return true;
}

std::string Utf16LeToUtf8(const unsigned char* p, std::size_t nSize) {
    std::string strText;
    strText.reserve(nSize);
    for (std::size_t i = 0; i + 1 < nSize; i += 2) {
        const char32_t unit = static_cast<char32_t>(p[i] | (p[i + 1] << 8));
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < nSize) {
            const char32_t low = static_cast<char32_t>(p[i + 2] | (p[i + 3] << 8));
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(strText, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(strText, unit >= 0xD800 && unit <= 0xDFFF ? REPLACEMENT : unit);
    }
    return strText;
}

} // namespace

Encoding Detect(const char* pBytes, std::size_t nSize, bool bCutShort) {
    if (pBytes == nullptr) {
        return Encoding::Utf8;
    }
    if (nSize >= 3 && std::memcmp(pBytes, "\xEF\xBB\xBF", 3) == 0) {
        return Encoding::Utf8Bom;
    }
    if (nSize >= 2 && std::memcmp(pBytes, "\xFF\xFE", 2) == 0) {
        return Encoding::Utf16Le;
    }
    return IsUtf8(pBytes, nSize, bCutShort) ? Encoding::Utf8 : Encoding::Ansi;
}

std::string ToUtf8(const char* pBytes, std::size_t nSize, bool bCutShort, const AnsiToUtf8& pAnsi) {
    if (pBytes == nullptr) {
        return std::string();
    }
    switch (Detect(pBytes, nSize, bCutShort)) {
    case Encoding::Utf8Bom:
        return std::string(pBytes + 3, nSize - 3);
    case Encoding::Utf16Le:
        return Utf16LeToUtf8(reinterpret_cast<const unsigned char*>(pBytes) + 2, nSize - 2);
    case Encoding::Ansi:
        if (pAnsi) {
            return pAnsi(std::string(pBytes, nSize));
        }
        break;
    case Encoding::Utf8:
        break;
    }
    return std::string(pBytes, nSize);
}

std::u32string CodePoints(const std::string& strText) {
    std::u32string points;
    points.reserve(strText.size());
    const auto* p = reinterpret_cast<const unsigned char*>(strText.data());
    std::size_t i = 0;
    while (i < strText.size()) {
        char32_t c = 0;
        bool bShort = false;
        const std::size_t n = DecodeOne(p + i, strText.size() - i, c, bShort);
        if (n == 0) {
            points.push_back(ESCAPE_BASE + p[i]);
            ++i;
        } else {
            points.push_back(c);
            i += n;
        }
    }
    return points;
}

std::u16string ToUtf16(const std::string& strText) {
    std::u16string units;
    for (char32_t c : CodePoints(strText)) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            units.push_back(static_cast<char16_t>(REPLACEMENT));
        } else if (c >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            units.push_back(static_cast<char16_t>(c));
        }
    }
    return units;
}

void AppendUtf8(std::string& strText, char32_t c) {
    if (c < 0x80) {
        strText.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        strText.push_back(static_cast<char>(0xC0 | (c >> 6)));
        strText.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        strText.push_back(static_cast<char>(0xE0 | (c >> 12)));
        strText.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        strText.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        strText.push_back(static_cast<char>(0xF0 | (c >> 18)));
        strText.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        strText.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        strText.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t FoldCase(char32_t c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||
        (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F)) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    // Latin Extended-A pairs capitals and small letters, capital first; the
    // two runs below start on an odd code point, and U+0178 stands alone.
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return (c & 1) != 0 ? c + 1 : c;
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
        c != 0x17F) {
        return (c & 1) == 0 ? c + 1 : c;
    }
    return c;
}

std::size_t CutPoint(const std::string& strText, std::size_t nMax) {
    if (strText.size() <= nMax) {
        return strText.size();
    }
    // Step back over continuation bytes to the start of the cut character;
    // a longer run is no character, and is cut anywhere.
    for (std::size_t nCut = nMax; nCut > 0 && nMax - nCut < 4; --nCut) {
        if ((static_cast<unsigned char>(strText[nCut]) & 0xC0) != 0x80) {
            return nCut;
        }
    }
    return nMax;
}

bool EqualFolded(const std::string& strA, const std::string& strB) {
    std::u32string a = CodePoints(strA);
    std::u32string b = CodePoints(strB);
    for (std::u32string* pText : {&a, &b}) {
        for (char32_t& c : *pText) {
            c = FoldCase(c);
        }
    }
    return a == b;
}

} // namespace unicodetext
