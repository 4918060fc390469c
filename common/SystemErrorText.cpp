#include "SystemErrorText.h"

#include "WideText.h"

std::string SystemErrorText(DWORD dwError) {
    wchar_t* pszMessage = nullptr;
    const DWORD dwLength = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, dwError, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    std::string strText;
    if (pszMessage != nullptr) {
        strText = widetext::Narrow(pszMessage, static_cast<int>(dwLength));
        LocalFree(pszMessage);
    }
    // Some messages are wrapped over lines; a notice or a console line
    // wants one.
    std::string strLine;
    for (const char c : strText) {
        const bool bBreak = c == '\r' || c == '\n' || c == '\t';
        if (!bBreak) {
            strLine += c;
        } else if (!strLine.empty() && strLine.back() != ' ') {
            strLine += ' ';
        }
    }
    while (!strLine.empty() && (strLine.back() == ' ' || strLine.back() == '.')) {
        strLine.pop_back();
    }
    return strLine.empty() ? "Windows error " + std::to_string(dwError) : strLine;
}
