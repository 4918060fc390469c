#include "ProcessImage.h"

#include <iterator>

std::wstring ProcessImage(DWORD dwProcess) {
    // The limited right is granted across integrity levels, where reading
    // the process's modules is not.
    const HANDLE hProcess = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcess);
    if (hProcess == nullptr) {
        return std::wstring();
    }
    wchar_t szImage[MAX_PATH * 4] = L"";
    DWORD dwSize = static_cast<DWORD>(std::size(szImage));
    const BOOL bOk = QueryFullProcessImageNameW(hProcess, 0, szImage, &dwSize);
    CloseHandle(hProcess);
    return bOk ? std::wstring(szImage, dwSize) : std::wstring();
}
