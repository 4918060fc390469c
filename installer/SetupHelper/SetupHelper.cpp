// What the setup cannot do in its own script, run from its temporary folder
// and never installed:
//   SetupHelper stop   ends every KV480 in every session and waits until none
//                      runs, ending by force those that do not end in time;
//                      exit code 0 when none runs any more, else 1.
//   SetupHelper start  starts KV480 from the installed folder as its autostart
//                      entry does, at the signed-in user's normal level
//                      although the setup runs as administrator; exit code
//                      0 when it started.
//   SetupHelper close-programs FOLDER LIST [--silent]
//                      asks the editor and the configuration program that run
//                      from FOLDER to close, as a user would, and waits; while
//                      one stays open it says which (Retry / Cancel; with
//                      --silent it gives up after a while). Writes the files
//                      of those it closed to LIST; exit code 0 when none runs
//                      any more, else 1.
//   SetupHelper restart-programs FOLDER LIST
//                      starts again, at the user's level, the programs that
//                      LIST names.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "CExitSignal.h"
#include "COpenPrograms.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "Settings.h"
#include "WideText.h"

#include <iterator>

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
// Time for a user to answer a program's own question (save the changes?)
// before the setup asks again, or, run silently, gives up.
constexpr DWORD CLOSE_TIMEOUT_MS = 15000;
constexpr DWORD SILENT_CLOSE_TIMEOUT_MS = 60000;
const wchar_t* const SETUP_TITLE = L"Remote Control setup";

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

// The folder as Windows spells it: the setup passes "<folder>\." so that no
// final backslash escapes the closing quote.
std::string FullFolder(const std::string& strFolder) {
    wchar_t szFull[MAX_PATH * 4] = L"";
    const DWORD dwLength = GetFullPathNameW(widetext::Widen(strFolder).c_str(),
                                            static_cast<DWORD>(std::size(szFull)), szFull, nullptr);
    if (dwLength == 0 || dwLength >= std::size(szFull)) {
        return strFolder;
    }
    return widetext::Narrow(szFull);
}

// The list of programs to start again: their file names, a line each. In the
// setup's temporary folder, whose path may hold any character.
void WriteList(const std::string& strListFile, const std::vector<std::string>& files) {
    std::string strText;
    for (const std::string& strFile : files) {
        strText += strFile + "\n";
    }
    const HANDLE hFile = CreateFileW(widetext::Widen(strListFile).c_str(), GENERIC_WRITE, 0,
                                     nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD dwWritten = 0;
    WriteFile(hFile, strText.data(), static_cast<DWORD>(strText.size()), &dwWritten, nullptr);
    CloseHandle(hFile);
}

std::vector<std::string> ReadList(const std::string& strListFile) {
    std::vector<std::string> lines;
    const HANDLE hFile = CreateFileW(widetext::Widen(strListFile).c_str(), GENERIC_READ,
                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return lines;
    }
    // A few names; anything longer is not our list.
    char szText[1024] = "";
    DWORD dwRead = 0;
    ReadFile(hFile, szText, static_cast<DWORD>(sizeof(szText)), &dwRead, nullptr);
    CloseHandle(hFile);
    std::string strLine;
    for (DWORD i = 0; i < dwRead; ++i) {
        if (szText[i] == '\n') {
            lines.push_back(strLine);
            strLine.clear();
        } else {
            strLine += szText[i];
        }
    }
    return lines;
}

int CloseOpenPrograms(const std::string& strFolder, const std::string& strListFile, bool bSilent) {
    COpenPrograms programs(FullFolder(strFolder));
    programs.Find();
    int nResult = EXIT_DONE;
    if (!programs.IsEmpty()) {
        programs.AskToClose();
        while (!programs.WaitUntilClosed(bSilent ? SILENT_CLOSE_TIMEOUT_MS : CLOSE_TIMEOUT_MS)) {
            if (bSilent ||
                MessageBoxW(nullptr, widetext::Widen(programs.StillOpenText()).c_str(), SETUP_TITLE,
                            MB_RETRYCANCEL | MB_ICONWARNING | MB_SETFOREGROUND | MB_TOPMOST) !=
                    IDRETRY) {
                nResult = EXIT_FAILED;
                break;
            }
            programs.Find();
            programs.AskToClose();
        }
    }
    WriteList(strListFile, programs.Closed());
    return nResult;
}

// Only the product's own programs, whatever else the list holds.
int RestartPrograms(const std::string& strFolder, const std::string& strListFile) {
    const std::string strFullFolder = FullFolder(strFolder) + "\\";
    int nResult = EXIT_DONE;
    for (const std::string& strLine : ReadList(strListFile)) {
        for (const COpenPrograms::Program& program : COpenPrograms::PROGRAMS) {
            if (strLine != program.pszFile) {
                continue;
            }
            const std::string strPath = strFullFolder + program.pszFile;
            // The setup's rights must not pass to a program the user works in.
            const HRESULT hResult = CResidentLauncher::StartThroughDesktopShell(
                widetext::Widen(strPath), std::wstring(), widetext::Widen(strFullFolder));
            if (FAILED(hResult) &&
                reinterpret_cast<INT_PTR>(
                    ShellExecuteW(nullptr, L"open", widetext::Widen(strPath).c_str(), nullptr,
                                  widetext::Widen(strFullFolder).c_str(), SW_SHOWNORMAL)) <= 32) {
                nResult = EXIT_FAILED;
            }
        }
    }
    return nResult;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SearchSystemFolderOnly();
    int nCount = 0;
    LPWSTR* ppszArgs = CommandLineToArgvW(GetCommandLineW(), &nCount);
    std::vector<std::string> args;
    for (int i = 1; ppszArgs != nullptr && i < nCount; ++i) {
        args.push_back(widetext::Narrow(ppszArgs[i]));
    }
    LocalFree(ppszArgs);
    if (args.size() == 1 && args[0] == "stop") {
        return StopEveryResident();
    }
    if (args.size() == 1 && args[0] == "start") {
        return StartResident();
    }
    if ((args.size() == 3 || (args.size() == 4 && args[3] == "--silent")) &&
        args[0] == "close-programs") {
        return CloseOpenPrograms(args[1], args[2], args.size() == 4);
    }
    if (args.size() == 3 && args[0] == "restart-programs") {
        return RestartPrograms(args[1], args[2]);
    }
    return EXIT_USAGE;
}
