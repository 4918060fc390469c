// What the setup cannot do in its own script, run from its temporary folder
// and never installed:
//   SetupHelper stop   ends every KV480 in every session and waits until none
//                      runs, ending by force those that do not end in time;
//                      exit code 0 when none runs any more, else 1.
//   SetupHelper start  starts KV480 from the installed folder as its autostart
//                      entry does, at the signed-in user's normal level
//                      although the setup runs as administrator; exit code
//                      0 when it started.
#include <windows.h>
#include <tlhelp32.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "CExitSignal.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "Settings.h"

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Generous: a KV480 that shows a message box ends only once it is answered;
// then it is ended by force.
constexpr DWORD STOP_TIMEOUT_MS = 20000;
constexpr DWORD POLL_MS = 100;
// Ending by force is prompt; the process is gone once its handles close.
constexpr DWORD KILL_TIMEOUT_MS = 5000;
constexpr DWORD READY_TIMEOUT_MS = 3000;

// Every KV480 process, in any session: process names are visible to all.
std::vector<DWORD> ResidentProcesses() {
    std::vector<DWORD> processes;
    const HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE) {
        return processes;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32First(hSnapshot, &entry); bMore;
         bMore = Process32Next(hSnapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, CResidentLauncher::RESIDENT_FILE) == 0) {
            processes.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(hSnapshot);
    return processes;
}

bool WaitUntilNoneRuns(DWORD dwTimeoutMs) {
    const DWORD dwStart = GetTickCount();
    while (!ResidentProcesses().empty()) {
        if (GetTickCount() - dwStart >= dwTimeoutMs) {
            return false;
        }
        Sleep(POLL_MS);
    }
    return true;
}

// Run elevated from the setup's temporary folder, where a planted DLL would
// otherwise be loaded: only the system's own folder is searched. Looked up,
// not imported: Windows 7 without its update lacks it, and would not start us.
void SearchSystemFolderOnly() {
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const HMODULE hKernel = GetModuleHandleA("kernel32.dll");
    const auto pSet = hKernel != nullptr ? reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
                                               GetProcAddress(hKernel, "SetDefaultDllDirectories")))
                                         : nullptr;
    if (pSet != nullptr) {
        pSet(LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
}

// Sets the exit event of every KV480 and returns them. Its event lies in a
// namespace of its user's, whose SID the process list gives an administrator.
std::vector<HANDLE> SignalEveryResident() {
    std::vector<HANDLE> events;
    const auto signal = [&events](DWORD dwSession, PSID pUser) {
        const HANDLE hEvent = CExitSignal::OpenToSignal(dwSession, pUser);
        if (hEvent != nullptr) {
            SetEvent(hEvent);
            events.push_back(hEvent);
        }
    };
    WTS_PROCESS_INFOW* pProcesses = nullptr;
    DWORD dwCount = 0;
    if (WTSEnumerateProcessesW(WTS_CURRENT_SERVER_HANDLE, 0, 1, &pProcesses, &dwCount)) {
        const std::string strFile = CResidentLauncher::RESIDENT_FILE;
        const std::wstring strWideFile(strFile.begin(), strFile.end());
        for (DWORD i = 0; i < dwCount; ++i) {
            if (pProcesses[i].pProcessName != nullptr &&
                lstrcmpiW(pProcesses[i].pProcessName, strWideFile.c_str()) == 0) {
                signal(pProcesses[i].SessionId, pProcesses[i].pUserSid);
            }
        }
        WTSFreeMemory(pProcesses);
        return events;
    }
    // Without the users only the global events can be found.
    std::vector<DWORD> sessions;
    for (const DWORD dwProcess : ResidentProcesses()) {
        DWORD dwSession = 0;
        if (ProcessIdToSessionId(dwProcess, &dwSession) &&
            std::find(sessions.begin(), sessions.end(), dwSession) == sessions.end()) {
            sessions.push_back(dwSession);
            signal(dwSession, nullptr);
        }
    }
    return events;
}

// Asks each session's KV480 to end as its "Exit" does (its icon removed);
// only those that do not end in time are ended by force, so that the
// upgrade can replace KV480.exe.
int StopEveryResident() {
    const std::vector<HANDLE> events = SignalEveryResident();
    bool bStopped = WaitUntilNoneRuns(STOP_TIMEOUT_MS);
    for (const HANDLE hEvent : events) {
        // A KV480 started later must not end at once.
        ResetEvent(hEvent);
        CloseHandle(hEvent);
    }
    if (!bStopped) {
        for (const DWORD dwProcess : ResidentProcesses()) {
            const HANDLE hProcess = OpenProcess(PROCESS_TERMINATE, FALSE, dwProcess);
            if (hProcess != nullptr) {
                TerminateProcess(hProcess, EXIT_FAILED);
                CloseHandle(hProcess);
            }
        }
        bStopped = WaitUntilNoneRuns(KILL_TIMEOUT_MS);
    }
    return bStopped ? EXIT_DONE : EXIT_FAILED;
}

int StartResident() {
    std::string strFolder;
    const CReg reg;
    if (reg.ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                       std::string(settings::VALUE_PATH), strFolder) != CReg::RESULT_OK) {
        return EXIT_FAILED;
    }
    return CResidentLauncher::Start(strFolder, std::string(), READY_TIMEOUT_MS) ? EXIT_DONE
                                                                                : EXIT_FAILED;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR pszCommandLine, int) {
    SearchSystemFolderOnly();
    const std::string strCommand = pszCommandLine != nullptr ? pszCommandLine : "";
    if (strCommand == "stop") {
        return StopEveryResident();
    }
    if (strCommand == "start") {
        return StartResident();
    }
    return EXIT_USAGE;
}
