#include "WindowFacts.h"

#include "ReadyMadeEntries.h"

#include <vector>

namespace window_facts {

namespace {

// Longer captions and paths are cut; a section names at most 254 characters.
const int TEXT_SIZE = 1024;

} // namespace

std::wstring Wide(const std::string& strText, UINT nCodePage) {
    if (strText.empty()) {
        return std::wstring();
    }
    const int nLength = MultiByteToWideChar(nCodePage, 0, strText.data(),
                                            static_cast<int>(strText.size()), nullptr, 0);
    if (nLength <= 0) {
        return std::wstring();
    }
    std::wstring strWide(static_cast<std::size_t>(nLength), L'\0');
    MultiByteToWideChar(nCodePage, 0, strText.data(), static_cast<int>(strText.size()), &strWide[0],
                        nLength);
    return strWide;
}

std::string Narrow(const std::wstring& strText, UINT nCodePage) {
    if (strText.empty()) {
        return std::string();
    }
    const int nLength =
        WideCharToMultiByte(nCodePage, 0, strText.data(), static_cast<int>(strText.size()), nullptr,
                            0, nullptr, nullptr);
    if (nLength <= 0) {
        return std::string();
    }
    std::string strNarrow(static_cast<std::size_t>(nLength), '\0');
    WideCharToMultiByte(nCodePage, 0, strText.data(), static_cast<int>(strText.size()),
                        &strNarrow[0], nLength, nullptr, nullptr);
    return strNarrow;
}

void SetText(HWND hWnd, const std::string& strUtf8) {
    SetWindowTextW(hWnd, Wide(strUtf8).c_str());
}

std::string GetText(HWND hWnd) {
    const int nLength = GetWindowTextLengthW(hWnd);
    if (nLength <= 0) {
        return std::string();
    }
    std::vector<wchar_t> text(static_cast<std::size_t>(nLength) + 1);
    GetWindowTextW(hWnd, text.data(), nLength + 1);
    return Narrow(text.data());
}

HWND ApplicationWindow(HWND hWnd) {
    if (hWnd == nullptr) {
        return nullptr;
    }
    const HWND hRoot = GetAncestor(hWnd, GA_ROOTOWNER);
    return hRoot != nullptr ? hRoot : hWnd;
}

WindowFacts FactsOf(HWND hWnd) {
    WindowFacts facts;
    if (hWnd == nullptr || !IsWindow(hWnd)) {
        return facts;
    }
    wchar_t szText[TEXT_SIZE] = L"";
    GetClassNameW(hWnd, szText, TEXT_SIZE);
    facts.strClass = Narrow(szText);
    // A top-level window's caption is read without a message, so that a
    // program that does not answer cannot hold the editor up.
    szText[0] = L'\0';
    InternalGetWindowText(hWnd, szText, TEXT_SIZE);
    facts.strCaption = Narrow(szText);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    // The limited right is granted for programs running as administrator too.
    const HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcess);
    if (hProcess != nullptr) {
        DWORD dwSize = TEXT_SIZE;
        if (QueryFullProcessImageNameW(hProcess, 0, szText, &dwSize)) {
            facts.strProgram = ProgramFileName(Narrow(std::wstring(szText, dwSize)));
        }
        CloseHandle(hProcess);
    }
    return facts;
}

} // namespace window_facts
