#include "COpenPrograms.h"

#include "ProcessImage.h"
#include "WideText.h"

#include <restartmanager.h>
#include <tlhelp32.h>

#include <algorithm>

namespace {

constexpr DWORD POLL_MS = 100;

std::wstring Lower(std::wstring strText) {
    CharLowerBuffW(&strText[0], static_cast<DWORD>(strText.size()));
    return strText;
}

struct WindowSearch {
    DWORD dwProcess;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectMainWindow(HWND hWnd, LPARAM lParam) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD dwOwner = 0;
    GetWindowThreadProcessId(hWnd, &dwOwner);
    if (dwOwner == search.dwProcess && IsWindowVisible(hWnd) &&
        GetWindow(hWnd, GW_OWNER) == nullptr) {
        search.windows.push_back(hWnd);
    }
    return TRUE;
}

// The visible windows of a process that nothing owns: what the user would
// close.
std::vector<HWND> MainWindowsOf(DWORD dwProcess) {
    WindowSearch search{dwProcess, {}};
    EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

bool HasEnded(DWORD dwProcess) {
    const HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, dwProcess);
    if (hProcess == nullptr) {
        return true;
    }
    const bool bEnded = WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0;
    CloseHandle(hProcess);
    return bEnded;
}

} // namespace

COpenPrograms::COpenPrograms(const std::string& strFolder) : m_strFolder(strFolder) {
    if (!m_strFolder.empty() && m_strFolder.back() != '\\') {
        m_strFolder += '\\';
    }
}

void COpenPrograms::Find() {
    m_running.clear();
    FindByRestartManager();
    FindByProcessList();
    for (const Running& running : m_running) {
        const std::string strFile = running.pProgram->pszFile;
        if (std::find(m_closed.begin(), m_closed.end(), strFile) == m_closed.end()) {
            m_closed.push_back(strFile);
        }
    }
}

void COpenPrograms::FindByRestartManager() {
    DWORD dwSession = 0;
    WCHAR szKey[CCH_RM_SESSION_KEY + 1] = L"";
    if (RmStartSession(&dwSession, 0, szKey) != ERROR_SUCCESS) {
        return;
    }
    std::vector<std::wstring> files;
    for (const Program& program : PROGRAMS) {
        files.push_back(widetext::Widen(m_strFolder + program.pszFile));
    }
    std::vector<LPCWSTR> names;
    for (const std::wstring& strFile : files) {
        names.push_back(strFile.c_str());
    }
    if (RmRegisterResources(dwSession, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0,
                            nullptr) == ERROR_SUCCESS) {
        std::vector<RM_PROCESS_INFO> infos(8);
        UINT nNeeded = 0;
        UINT nCount = static_cast<UINT>(infos.size());
        DWORD dwReasons = 0;
        DWORD dwResult = RmGetList(dwSession, &nNeeded, &nCount, infos.data(), &dwReasons);
        if (dwResult == ERROR_MORE_DATA) {
            infos.resize(nNeeded);
            nCount = static_cast<UINT>(infos.size());
            dwResult = RmGetList(dwSession, &nNeeded, &nCount, infos.data(), &dwReasons);
        }
        if (dwResult == ERROR_SUCCESS) {
            for (UINT i = 0; i < nCount && i < infos.size(); ++i) {
                Add(infos[i].Process.dwProcessId);
            }
        }
    }
    RmEndSession(dwSession);
}

void COpenPrograms::FindByProcessList() {
    const HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32FirstW(hSnapshot, &entry); bMore;
         bMore = Process32NextW(hSnapshot, &entry)) {
        Add(entry.th32ProcessID);
    }
    CloseHandle(hSnapshot);
}

void COpenPrograms::Add(DWORD dwProcess) {
    for (const Running& running : m_running) {
        if (running.dwProcess == dwProcess) {
            return;
        }
    }
    // Only the folder's own files: a copy elsewhere holds nothing the setup
    // replaces.
    const std::wstring strImage = Lower(ProcessImage(dwProcess));
    for (const Program& program : PROGRAMS) {
        if (strImage == Lower(widetext::Widen(m_strFolder + program.pszFile))) {
            m_running.push_back({dwProcess, &program});
            return;
        }
    }
}

void COpenPrograms::AskToClose() const {
    for (const Running& running : m_running) {
        for (const HWND hWnd : MainWindowsOf(running.dwProcess)) {
            // Disabled while it shows a question of its own: a second
            // request would only stack a second question.
            if (IsWindowEnabled(hWnd)) {
                PostMessageW(hWnd, WM_CLOSE, 0, 0);
            }
        }
    }
}

bool COpenPrograms::WaitUntilClosed(DWORD dwTimeoutMs) {
    const ULONGLONG ullStart = GetTickCount64();
    for (;;) {
        m_running.erase(std::remove_if(m_running.begin(), m_running.end(),
                                       [](const Running& r) { return HasEnded(r.dwProcess); }),
                        m_running.end());
        if (m_running.empty()) {
            return true;
        }
        if (GetTickCount64() - ullStart >= dwTimeoutMs) {
            return false;
        }
        Sleep(POLL_MS);
    }
}

std::string COpenPrograms::StillOpenText() const {
    std::string strTitles;
    std::size_t nTitles = 0;
    for (const Running& running : m_running) {
        const std::string strTitle = std::string("\"") + running.pProgram->pszTitle + "\"";
        if (strTitles.find(strTitle) != std::string::npos) {
            continue;
        }
        strTitles += (nTitles > 0 ? " and " : "") + strTitle;
        ++nTitles;
    }
    const bool bOne = nTitles == 1;
    return strTitles + (bOne ? " is" : " are") +
           " still open, and the setup cannot replace a running program's files. Close " +
           (bOne ? "it" : "them") +
           ", then choose Retry. Cancel ends the setup, which has changed nothing yet.";
}
