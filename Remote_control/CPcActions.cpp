#include "CPcActions.h"

#include "PowerChoice.h"
#include "RcMessages.h"
#include "SystemErrorText.h"
#include "WideText.h"
#include "CWinApp.h"

#include <powrprof.h>
#include <process.h>

#include <memory>
#include <type_traits>
#include <vector>

namespace {

// Turns every monitor off; input turns them on again.
const LPARAM MONITOR_OFF = 2;
const DWORD SHUTDOWN_REASON =
    SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED;

DWORD LastErrorOr(DWORD dwFallback) {
    const DWORD dwError = GetLastError();
    return dwError != ERROR_SUCCESS ? dwError : dwFallback;
}

// Windows 8's headers name Modern Standby's flag AoAc, the last of the three
// bytes after FastSystemS4 (after Hiberboot and WakeAlarmPresent); older
// headers, MinGW's among them, still call those bytes spare2.
template <typename Capabilities, typename = void> struct ModernStandbyField {
    static bool IsSet(const Capabilities& capabilities) {
        return capabilities.spare2[sizeof(capabilities.spare2) - 1] != 0;
    }
};
template <typename Capabilities>
struct ModernStandbyField<Capabilities, std::void_t<decltype(Capabilities::AoAc)>> {
    static bool IsSet(const Capabilities& capabilities) { return capabilities.AoAc != FALSE; }
};

// Posted to the own window, whose default handling asks Windows: a broadcast
// sent to every window could hang on one that hangs.
BOOL TurnMonitorsOff(HWND hNotify) {
    return PostMessageW(hNotify, WM_SYSCOMMAND, SC_MONITORPOWER, MONITOR_OFF);
}

// The file that KV480's arguments name for the record; empty in use.
std::wstring RecordFile() {
    const auto* pApp = framework::AfxGetApp();
    if (pApp == nullptr) {
        return std::wstring();
    }
    const std::vector<std::string>& arguments = pApp->GetArguments();
    for (std::size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == CPcActions::RECORD_OPTION) {
            return widetext::Widen(widetext::AnsiToUtf8(arguments[i + 1]));
        }
    }
    return std::wstring();
}

DWORD Record(const std::string& strWhat, const std::wstring& strFile) {
    const HANDLE hFile = CreateFileW(strFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    const std::string strLine = strWhat + "\r\n";
    DWORD dwWritten = 0;
    const bool bWritten = WriteFile(hFile, strLine.data(), static_cast<DWORD>(strLine.size()),
                                    &dwWritten, nullptr) != FALSE;
    const DWORD dwError = bWritten ? ERROR_SUCCESS : GetLastError();
    CloseHandle(hFile);
    return dwError;
}

// The last step of an action: Windows' call, or in a test its record.
template <typename Call> DWORD Finish(const std::string& strWhat, Call call) {
    const std::wstring strRecord = RecordFile();
    if (!strRecord.empty()) {
        return Record(strWhat, strRecord);
    }
    return call() ? ERROR_SUCCESS : LastErrorOr(ERROR_GEN_FAILURE);
}

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
    const std::string strWord = CKeyAction::PcName(pc);
    switch (pc) {
    case CKeyAction::Pc::Lock:
        return Finish(strWord, [] { return LockWorkStation(); });
    case CKeyAction::Pc::Sleep:
    case CKeyAction::Pc::Hibernate:
        return SleepOrHibernate(pc, hNotify);
    case CKeyAction::Pc::MonitorOff:
        return Finish(strWord, [hNotify] { return TurnMonitorsOff(hNotify); });
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
        return Finish(strWord, [nHow] { return ExitWindowsEx(nHow, SHUTDOWN_REASON); });
    }
    }
    return ERROR_INVALID_PARAMETER;
}

DWORD CPcActions::SleepOrHibernate(CKeyAction::Pc pc, HWND hNotify) {
    SYSTEM_POWER_CAPABILITIES system;
    ZeroMemory(&system, sizeof(system));
    if (!GetPwrCapabilities(&system)) {
        return LastErrorOr(ERROR_GEN_FAILURE);
    }
    PowerChoice::Capabilities capabilities;
    capabilities.bS1 = system.SystemS1 != FALSE;
    capabilities.bS2 = system.SystemS2 != FALSE;
    capabilities.bS3 = system.SystemS3 != FALSE;
    capabilities.bS4 = system.SystemS4 != FALSE;
    capabilities.bHiberFilePresent = system.HiberFilePresent != FALSE;
    capabilities.bAoAc = ModernStandbyField<SYSTEM_POWER_CAPABILITIES>::IsSet(system);
    const PowerChoice::Choice choice = pc == CKeyAction::Pc::Hibernate
                                           ? PowerChoice::ForHibernate(capabilities)
                                           : PowerChoice::ForSleep(capabilities);
    const std::string strWord = CKeyAction::PcName(pc);
    switch (choice.means) {
    case PowerChoice::Means::Refused:
        return PowerChoice::CodeOf(choice.refusal);
    case PowerChoice::Means::DisplayOff:
        // As Start's Sleep does there; nothing needs a privilege for it.
        return Finish(strWord + " " + CKeyAction::PcName(CKeyAction::Pc::MonitorOff),
                      [hNotify] { return TurnMonitorsOff(hNotify); });
    case PowerChoice::Means::Suspend:
    case PowerChoice::Means::Hibernate:
        break;
    }
    const DWORD dwPrivilege = EnableShutdownPrivilege();
    if (dwPrivilege != ERROR_SUCCESS) {
        return dwPrivilege;
    }
    const BOOLEAN bHibernate = choice.means == PowerChoice::Means::Hibernate ? TRUE : FALSE;
    // Returns when the PC wakes again.
    return Finish(strWord, [bHibernate] { return SetSuspendState(bHibernate, FALSE, FALSE); });
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
    const PowerChoice::Refusal refusal = PowerChoice::RefusalOf(dwError);
    const std::string strReason = refusal != PowerChoice::Refusal::None
                                      ? PowerChoice::ReasonOf(refusal)
                                      : SystemErrorText(dwError) + ".";
    return std::string(CKeyAction::PcName(pc)) + " was refused by Windows. " + strReason;
}
