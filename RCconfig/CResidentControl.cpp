#include "CResidentControl.h"

#include "CReg.h"
#include "CResidentLauncher.h"
#include "Settings.h"

namespace {

constexpr DWORD CLOSE_TIMEOUT_MS = 3000;
constexpr DWORD IDLE_TIMEOUT_MS = 3000;
// A terminated process lets go of its port once it has fully ended.
constexpr DWORD TERMINATED_TIMEOUT_MS = 1000;

} // namespace

BOOL CResidentControl::Close() {
    const HWND hResident =
        FindWindowA(CResidentLauncher::RESIDENT_CLASS, CResidentLauncher::RESIDENT_CAPTION);
    if (hResident == nullptr) {
        return TRUE;
    }
    DWORD dwProcessId = 0;
    GetWindowThreadProcessId(hResident, &dwProcessId);
    const HANDLE hProcess = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, dwProcessId);
    if (hProcess == nullptr) {
        return FALSE;
    }
    PostMessageA(hResident, WM_CLOSE, 0, 0);
    BOOL bClosed = TRUE;
    if (WaitForSingleObject(hProcess, CLOSE_TIMEOUT_MS) != WAIT_OBJECT_0) {
        bClosed = TerminateProcess(hProcess, 0);
        if (bClosed) {
            WaitForSingleObject(hProcess, TERMINATED_TIMEOUT_MS);
        }
    }
    CloseHandle(hProcess);
    return bClosed;
}

CResidentControl::RestartResult CResidentControl::Restart() {
    char szPath[MAX_PATH] = "";
    const CReg reg;
    if (reg.ReadString(HKEY_LOCAL_MACHINE, settings::SETTINGS_KEY, settings::VALUE_PATH, szPath,
                       sizeof(szPath)) != CReg::RESULT_OK) {
        return RestartResult::PathUnknown;
    }
    return CResidentLauncher::Start(szPath, CResidentLauncher::RESIDENT_OPTION, IDLE_TIMEOUT_MS)
               ? RestartResult::Idle
               : RestartResult::NotIdle;
}
