#include "ProgramOf.h"

#include "ProcessImage.h"
#include "ProgramWindowRule.h"
#include "WideText.h"

#include <dwmapi.h>

namespace {

struct InnerProcessSearch {
    DWORD dwFrame = 0;
    DWORD dwInner = 0;
};

BOOL CALLBACK FindInnerProcess(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<InnerProcessSearch*>(lParam);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess != 0 && dwProcess != pSearch->dwFrame) {
        pSearch->dwInner = dwProcess;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::wstring ProgramOf(HWND hWnd) {
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    std::wstring strImage = ProcessImage(dwProcess);
    if (ProgramWindowRule::IsFrameHost(widetext::Narrow(strImage.c_str()))) {
        // The app's own window is a child of the frame, from its own process.
        InnerProcessSearch search;
        search.dwFrame = dwProcess;
        EnumChildWindows(hWnd, FindInnerProcess, reinterpret_cast<LPARAM>(&search));
        if (search.dwInner != 0) {
            strImage = ProcessImage(search.dwInner);
        }
    }
    return strImage;
}

bool IsCloaked(HWND hWnd) {
    DWORD dwCloaked = 0;
    return SUCCEEDED(DwmGetWindowAttribute(hWnd, DWMWA_CLOAKED, &dwCloaked,
                                           static_cast<DWORD>(sizeof(dwCloaked)))) &&
           dwCloaked != 0;
}
