#include "WindowFacts.h"

#include "CKeyMap.h"
#include "ProcessImage.h"
#include "WideText.h"

#include <vector>

namespace window_facts {

namespace {

// Longer captions and paths are cut; a section names at most 254 characters.
const int TEXT_SIZE = 1024;

} // namespace

void SetText(HWND hWnd, const std::string& strUtf8) {
    SetWindowTextW(hWnd, widetext::Widen(strUtf8).c_str());
}

std::string GetText(HWND hWnd) {
    const int nLength = GetWindowTextLengthW(hWnd);
    if (nLength <= 0) {
        return std::string();
    }
    std::vector<wchar_t> text(static_cast<std::size_t>(nLength) + 1);
    GetWindowTextW(hWnd, text.data(), nLength + 1);
    return widetext::Narrow(text.data());
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
    facts.strClass = widetext::Narrow(szText);
    // A top-level window's caption is read without a message, so that a
    // program that does not answer cannot hold the editor up.
    szText[0] = L'\0';
    InternalGetWindowText(hWnd, szText, TEXT_SIZE);
    facts.strCaption = widetext::Narrow(szText);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    facts.strProgram = CKeyMap::FileNameOf(widetext::Narrow(ProcessImage(dwProcess).c_str()));
    return facts;
}

} // namespace window_facts
