// What the setup cannot do in its own script, run from its temporary folder
// and never installed:
//   SetupHelper stop   ends every KV480 in every session and waits until none
//                      runs; exit code 0 when none runs any more, else 1.
//   SetupHelper start  starts KV480 from the installed folder as its autostart
//                      entry does, at the signed-in user's normal level
//                      although the setup runs as administrator; exit code
//                      0 when it started.
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>

#include "CExitSignal.h"
#include "CReg.h"
#include "CResidentLauncher.h"
#include "Settings.h"

namespace {

constexpr int EXIT_DONE = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Generous: a KV480 that shows a message box ends only once it is answered,
// and the setup then falls back to ending this session's KV480 itself.
constexpr DWORD STOP_TIMEOUT_MS = 20000;
constexpr DWORD POLL_MS = 100;
constexpr DWORD READY_TIMEOUT_MS = 3000;

// Any KV480 process, in any session: process names are visible to all.
bool IsResidentRunning() {
    const HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool bRunning = false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL bMore = Process32First(hSnapshot, &entry); bMore && !bRunning;
         bMore = Process32Next(hSnapshot, &entry)) {
        bRunning = lstrcmpiA(entry.szExeFile, CResidentLauncher::RESIDENT_FILE) == 0;
    }
    CloseHandle(hSnapshot);
    return bRunning;
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

int StopEveryResident() {
    const HANDLE hEvent = CExitSignal::OpenToSignal();
    if (hEvent != nullptr) {
        SetEvent(hEvent);
    }
    const DWORD dwStart = GetTickCount();
    while (IsResidentRunning() && GetTickCount() - dwStart < STOP_TIMEOUT_MS) {
        Sleep(POLL_MS);
    }
    const bool bStopped = !IsResidentRunning();
    if (hEvent != nullptr) {
        // A KV480 started later must not end at once.
        ResetEvent(hEvent);
        CloseHandle(hEvent);
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
