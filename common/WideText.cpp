#include "WideText.h"

#include <vector>

namespace {

std::wstring ToWide(UINT nCodePage, const std::string& strText) {
    if (strText.empty()) {
        return std::wstring();
    }
    const int nSize = static_cast<int>(strText.size());
    const int nLength = MultiByteToWideChar(nCodePage, 0, strText.data(), nSize, nullptr, 0);
    if (nLength <= 0) {
        return std::wstring();
    }
    std::wstring strWide(static_cast<std::size_t>(nLength), L'\0');
    MultiByteToWideChar(nCodePage, 0, strText.data(), nSize, &strWide[0], nLength);
    return strWide;
}

std::string FromWide(UINT nCodePage, const wchar_t* pszText, int nLength) {
    if (pszText == nullptr || nLength == 0) {
        return std::string();
    }
    const int nBytes =
        WideCharToMultiByte(nCodePage, 0, pszText, nLength, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0) {
        return std::string();
    }
    std::vector<char> text(static_cast<std::size_t>(nBytes));
    WideCharToMultiByte(nCodePage, 0, pszText, nLength, text.data(), nBytes, nullptr, nullptr);
    std::string strText(text.data(), text.size());
    // With -1 the count includes the terminating zero.
    if (nLength < 0 && !strText.empty() && strText.back() == '\0') {
        strText.pop_back();
    }
    return strText;
}

} // namespace

namespace widetext {

std::wstring Widen(const std::string& strUtf8) {
    return ToWide(CP_UTF8, strUtf8);
}

std::string Narrow(const wchar_t* pszText, int nLength) {
    return FromWide(CP_UTF8, pszText, nLength);
}

std::string AnsiToUtf8(const std::string& strAnsi) {
    const std::wstring strWide = ToWide(CP_ACP, strAnsi);
    return Narrow(strWide.data(), static_cast<int>(strWide.size()));
}

std::string Utf8ToAnsi(const std::string& strUtf8) {
    const std::wstring strWide = Widen(strUtf8);
    return FromWide(CP_ACP, strWide.data(), static_cast<int>(strWide.size()));
}

bool Utf8ToAnsiExact(const std::string& strUtf8, std::string& strAnsi) {
    strAnsi.clear();
    const std::wstring strWide = Widen(strUtf8);
    if (strWide.empty()) {
        return strUtf8.empty();
    }
    const int nLength = static_cast<int>(strWide.size());
    BOOL bUsedDefault = FALSE;
    // Without WC_NO_BEST_FIT_CHARS "Ł" would quietly become "L".
    const int nBytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strWide.data(), nLength,
                                           nullptr, 0, nullptr, &bUsedDefault);
    if (nBytes <= 0 || bUsedDefault) {
        return false;
    }
    strAnsi.resize(static_cast<std::size_t>(nBytes));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strWide.data(), nLength, &strAnsi[0], nBytes,
                        nullptr, &bUsedDefault);
    return !bUsedDefault;
}

} // namespace widetext
