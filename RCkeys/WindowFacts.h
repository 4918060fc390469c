// What the editor learns about a window of another program, in UTF-8: the
// program file of its process, its class and its caption; and Unicode text
// for the editor's own controls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct WindowFacts {
    std::string strProgram; // file name only; empty when the process cannot be asked
    std::string strClass;
    std::string strCaption;
    std::string strProgramPath; // the program file's full path, or empty
};

namespace window_facts {

// The top-level window (its root owner, as KV480 takes it) and its facts.
HWND ApplicationWindow(HWND hWnd);
WindowFacts FactsOf(HWND hWnd);

// The windows of other programs a user can see and switch to, in Z order.
std::vector<HWND> OpenWindows();
// One line of a list of open windows: the caption and the program.
std::string Describe(const WindowFacts& facts);
// Fills the list box with the open windows, one line each; returns them in
// the list's order.
std::vector<HWND> ListOpenWindows(HWND hList);
// The window of the list's selected line; null when none is selected.
HWND ChosenWindow(HWND hList, const std::vector<HWND>& windows);

// Sets a status text and tells screen readers it changed, so that they say
// it; nothing is said when the text stays the same.
void SetAnnouncedText(HWND hWnd, const std::string& strUtf8);

// The common file dialog for one file (UTF-8 path; empty when cancelled).
// strInitial: the name it proposes; pszDefaultExtension may be null;
// strFolder: where it opens (empty: where the dialog chooses). The owner
// dialog's control that had the focus has it again afterwards, as its
// default button when it is a push button, so Enter works on it.
std::string AskFile(HWND hOwner, bool bSave, const wchar_t* pszFilter,
                    const wchar_t* pszDefaultExtension, const std::string& strInitial,
                    const std::string& strFolder = std::string());

// The user's Documents folder (UTF-8); empty when Windows does not say.
std::string DocumentsFolder();

void SetText(HWND hWnd, const std::string& strUtf8);
std::string GetText(HWND hWnd);

} // namespace window_facts
