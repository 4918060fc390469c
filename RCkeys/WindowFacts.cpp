#include "WindowFacts.h"

#include "CKeyMap.h"
#include "ProgramOf.h"
#include "WideText.h"

#include <knownfolders.h>
#include <shlobj.h>

#include <vector>

namespace window_facts {

namespace {

// Longer captions and paths are cut; a section names at most 254 characters.
const int TEXT_SIZE = 1024;

struct WindowList {
    std::vector<HWND>* pWindows;
    DWORD dwOwnProcess;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    WindowList& list = *reinterpret_cast<WindowList*>(lParam);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    // The windows a user can see and switch to: visible, not cloaked (a
    // Store app's frame left behind, another virtual desktop's), unowned,
    // titled. The title is asked without a message: a program that does not
    // answer must not hold the editor up.
    wchar_t szTitle[2] = L"";
    if (dwProcess != list.dwOwnProcess && IsWindowVisible(hWnd) && !IsCloaked(hWnd) &&
        GetWindow(hWnd, GW_OWNER) == nullptr &&
        (GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0 &&
        InternalGetWindowText(hWnd, szTitle, 2) > 0 && list.pWindows->size() < 500) {
        list.pWindows->push_back(hWnd);
    }
    return TRUE;
}

} // namespace

void SetText(HWND hWnd, const std::string& strUtf8) {
    SetWindowTextW(hWnd, widetext::Widen(strUtf8).c_str());
}

void SetAnnouncedText(HWND hWnd, const std::string& strUtf8) {
    if (GetText(hWnd) == strUtf8) {
        return;
    }
    SetText(hWnd, strUtf8);
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hWnd, OBJID_CLIENT, CHILDID_SELF);
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
    // As KV480 takes it: a Store app's, not its frame's.
    facts.strProgramPath = widetext::Narrow(ProgramOf(hWnd).c_str());
    facts.strProgram = CKeyMap::FileNameOf(facts.strProgramPath);
    return facts;
}

std::vector<HWND> OpenWindows() {
    std::vector<HWND> windows;
    WindowList list{&windows, GetCurrentProcessId()};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&list));
    return windows;
}

std::string Describe(const WindowFacts& facts) {
    return facts.strCaption + (facts.strProgram.empty() ? "" : "  (" + facts.strProgram + ")");
}

std::vector<HWND> ListOpenWindows(HWND hList) {
    const std::vector<HWND> windows = OpenWindows();
    for (const HWND hWnd : windows) {
        SendMessageW(hList, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(widetext::Widen(Describe(FactsOf(hWnd))).c_str()));
    }
    return windows;
}

HWND ChosenWindow(HWND hList, const std::vector<HWND>& windows) {
    const LRESULT nItem = SendMessageA(hList, LB_GETCURSEL, 0, 0);
    return nItem >= 0 && static_cast<std::size_t>(nItem) < windows.size()
               ? windows[static_cast<std::size_t>(nItem)]
               : nullptr;
}

std::string AskFile(HWND hOwner, bool bSave, const wchar_t* pszFilter,
                    const wchar_t* pszDefaultExtension, const std::string& strInitial,
                    const std::string& strFolder) {
    const std::wstring strWideFolder = widetext::Widen(strFolder);
    wchar_t szFile[MAX_PATH] = L"";
    const std::wstring strWide = widetext::Widen(strInitial);
    if (strWide.size() < MAX_PATH) {
        strWide.copy(szFile, strWide.size());
    }
    OPENFILENAMEW ofn;
    ZeroMemory(&ofn, sizeof(ofn));
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hOwner;
    ofn.lpstrFilter = pszFilter;
    ofn.lpstrFile = szFile;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = pszDefaultExtension;
    ofn.lpstrInitialDir = strWideFolder.empty() ? nullptr : strWideFolder.c_str();
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                (bSave ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    const HWND hFocus = GetFocus();
    const bool bChosen = (bSave ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)) != FALSE;
    // The owner gets its focus back by activation alone, which leaves Enter
    // with no default button; through the dialog manager the button is one.
    if (hFocus != nullptr && IsChild(hOwner, hFocus)) {
        SendMessageW(hOwner, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(hFocus), TRUE);
    }
    return bChosen ? widetext::Narrow(szFile) : std::string();
}

std::string DocumentsFolder() {
    PWSTR pszPath = nullptr;
    std::string strPath;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &pszPath))) {
        strPath = widetext::Narrow(pszPath);
    }
    CoTaskMemFree(pszPath);
    return strPath;
}

} // namespace window_facts
