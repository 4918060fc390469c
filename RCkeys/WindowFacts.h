// What the editor learns about a window of another program, in UTF-8: the
// program file of its process, its class and its caption; and Unicode text
// for the editor's own controls.
#pragma once

#include <windows.h>

#include <string>

struct WindowFacts {
    std::string strProgram; // file name only; empty when the process cannot be asked
    std::string strClass;
    std::string strCaption;
};

namespace window_facts {

// The top-level window (its root owner, as KV480 takes it) and its facts.
HWND ApplicationWindow(HWND hWnd);
WindowFacts FactsOf(HWND hWnd);

void SetText(HWND hWnd, const std::string& strUtf8);
std::string GetText(HWND hWnd);

} // namespace window_facts
