#include "CPcActions.h"

#include "RcMessages.h"
#include "SystemErrorText.h"
#include "WideText.h"

#include <powrprof.h>
#include <process.h>

#include <memory>

namespace {

// Turns every monitor off; input turns them on again.
const LPARAM MONITOR_OFF = 2;
const DWORD SHUTDOWN_REASON =
    SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

} // namespace

DWORD CPcActions::Start(CKeyAction::Pc pc, HWND hNotify) {
    std::unique_ptr<Request> pRequest(new Request{pc, hNotify});
    const std::uintptr_t hThread =
        _beginthreadex(nullptr, 0, &CPcActions::ThreadProc, pRequest.get(), 0, nullptr);
    if (hThread == 0) {
        return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    }
    pRequest.release(); // the thread's now
    CloseHandle(reinterpret_cast<HANDLE>(hThread));
    return ERROR_SUCCESS;
}

unsigned WINAPI CPcActions::ThreadProc(void* pParam) {
    const std::unique_ptr<Request> pRequest(static_cast<Request*>(pParam));
    const DWORD dwError = Carry(pRequest->pc, pRequest->hNotify);
    if (dwError != ERROR_SUCCESS) {
        PostMessageW(pRequest->hNotify, WM_RC_PC_REFUSED, static_cast<WPARAM>(pRequest->pc),
                     static_cast<LPARAM>(dwError));
    }
    return 0;
}

DWORD CPcActions::Carry(CKeyAction::Pc pc, HWND hNotify) {
    wchar_t szRecord[MAX_PATH] = L"";
    const DWORD dwRecord =
        GetEnvironmentVariableW(widetext::Widen(RECORD_VARIABLE).c_str(), szRecord, MAX_PATH);
    if (dwRecord > 0 && dwRecord < MAX_PATH) {
        return Record(pc, szRecord);
    }
    bool bDone = false;
    switch (pc) {
    case CKeyAction::Pc::Lock:
        bDone = LockWorkStation() != FALSE;
        break;
    case CKeyAction::Pc::Sleep:
    case CKeyAction::Pc::Hibernate: {
        const bool bHibernate = pc == CKeyAction::Pc::Hibernate;
        // Windows gives no reason when the kind of sleep is switched off.
        if (!(bHibernate ? IsPwrHibernateAllowed() : IsPwrSuspendAllowed())) {
            return ERROR_NOT_SUPPORTED;
        }
        const DWORD dwPrivilege = EnableShutdownPrivilege();
        if (dwPrivilege != ERROR_SUCCESS) {
            return dwPrivilege;
        }
        // Returns when the PC wakes again.
        bDone = SetSuspendState(bHibernate ? TRUE : FALSE, FALSE, FALSE) != FALSE;
        break;
    }
    case CKeyAction::Pc::MonitorOff:
        // Posted to the own window, whose default handling asks Windows: a
        // broadcast sent to every window could hang on one that hangs.
        bDone = PostMessageW(hNotify, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_OFF) != FALSE;
        break;
    case CKeyAction::Pc::ShutDown:
    case CKeyAction::Pc::Restart: {
        const DWORD dwPrivilege = EnableShutdownPrivilege();
        if (dwPrivilege != ERROR_SUCCESS) {
            return dwPrivilege;
        }
        // Programs may still ask to save; only hung ones are not waited for.
        const UINT nHow =
            (pc == CKeyAction::Pc::Restart ? EWX_REBOOT : EWX_SHUTDOWN | EWX_POWEROFF) |
            EWX_FORCEIFHUNG;
        bDone = ExitWindowsEx(nHow, SHUTDOWN_REASON) != FALSE;
        break;
    }
    }
    if (bDone) {
        return ERROR_SUCCESS;
    }
    const DWORD dwError = GetLastError();
    return dwError != ERROR_SUCCESS ? dwError : ERROR_GEN_FAILURE;
}

DWORD CPcActions::Record(CKeyAction::Pc pc, const std::wstring& strFile) {
    const HANDLE hFile = CreateFileW(strFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    const std::string strLine = std::string(CKeyAction::PcName(pc)) + "\r\n";
    DWORD dwWritten = 0;
    const bool bWritten = WriteFile(hFile, strLine.data(), static_cast<DWORD>(strLine.size()),
                                    &dwWritten, nullptr) != FALSE;
    const DWORD dwError = bWritten ? ERROR_SUCCESS : GetLastError();
    CloseHandle(hFile);
    return dwError;
}

DWORD CPcActions::EnableShutdownPrivilege() {
    HANDLE hToken = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken)) {
        return GetLastError();
    }
    TOKEN_PRIVILEGES privileges;
    ZeroMemory(&privileges, sizeof(privileges));
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD dwError = ERROR_SUCCESS;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid) ||
        !AdjustTokenPrivileges(hToken, FALSE, &privileges, 0, nullptr, nullptr)) {
        dwError = GetLastError();
    } else {
        // Succeeds without the privilege, saying so only here.
        dwError = GetLastError();
    }
    CloseHandle(hToken);
    return dwError;
}

std::string CPcActions::RefusedText(CKeyAction::Pc pc, DWORD dwError) {
    const std::string strReason = dwError == ERROR_NOT_SUPPORTED && pc == CKeyAction::Pc::Hibernate
                                      ? "Hibernation is switched off on this PC."
                                  : dwError == ERROR_NOT_SUPPORTED && pc == CKeyAction::Pc::Sleep
                                      ? "Sleep is not available on this PC."
                                      : SystemErrorText(dwError) + ".";
    return std::string(CKeyAction::PcName(pc)) + " was refused by Windows. " + strReason;
}
