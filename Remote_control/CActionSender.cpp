#include "CActionSender.h"

#include "BringForwardRule.h"
#include "CResidentLauncher.h"
#include "CRunWarnings.h"
#include "ProgramOf.h"
#include "ProgramWindowRule.h"
#include "SystemErrorText.h"
#include "WideText.h"

#include <process.h>

#include <initializer_list>
#include <iterator>
#include <memory>
#include <vector>

namespace {

INPUT KeyboardInput(const CKeyChord::Input& input) {
    INPUT record;
    ZeroMemory(&record, sizeof(record));
    record.type = INPUT_KEYBOARD;
    record.ki.wVk = input.nVirtualKey;
    // Programs that read scan codes get the ones a keyboard would send.
    record.ki.wScan = static_cast<WORD>(MapVirtualKeyW(input.nVirtualKey, MAPVK_VK_TO_VSC));
    record.ki.dwFlags =
        (input.bExtended ? KEYEVENTF_EXTENDEDKEY : 0u) | (input.bKeyUp ? KEYEVENTF_KEYUP : 0u);
    return record;
}

UINT SendInputs(const std::vector<CKeyChord::Input>& inputs) {
    std::vector<INPUT> records;
    for (const CKeyChord::Input& input : inputs) {
        records.push_back(KeyboardInput(input));
    }
    if (records.empty()) {
        return 0;
    }
    return SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
}

INPUT MouseInput(DWORD dwFlags, LONG nData = 0) {
    INPUT record;
    ZeroMemory(&record, sizeof(record));
    record.type = INPUT_MOUSE;
    record.mi.dwFlags = dwFlags;
    record.mi.mouseData = static_cast<DWORD>(nData);
    return record;
}

// The text with its environment variables expanded; as it is when that fails.
std::wstring Expanded(const std::wstring& strText) {
    wchar_t szExpanded[MAX_PATH * 4] = L"";
    const DWORD dwExpanded = ExpandEnvironmentStringsW(strText.c_str(), szExpanded,
                                                       static_cast<DWORD>(std::size(szExpanded)));
    return dwExpanded > 0 && dwExpanded <= std::size(szExpanded) ? szExpanded : strText;
}

// Where a program registered itself for the shell ("App Paths"), which finds
// it by its bare name as the Run box does; empty when it did not.
std::wstring AppPath(const std::wstring& strName) {
    std::wstring strKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + strName;
    if (strName.find(L'.') == std::wstring::npos) {
        strKey += L".exe";
    }
    for (const HKEY hRoot : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        wchar_t szValue[MAX_PATH * 4] = L"";
        DWORD dwSize = static_cast<DWORD>(sizeof(szValue) - sizeof(wchar_t));
        DWORD dwType = REG_NONE;
        // Expanded here: asked to expand, RegGetValue refuses both types
        // together on Windows before 8.1 and under Wine.
        if (RegGetValueW(hRoot, strKey.c_str(), nullptr,
                         RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &dwType, szValue,
                         &dwSize) != ERROR_SUCCESS) {
            continue;
        }
        std::wstring strPath = dwType == REG_EXPAND_SZ ? Expanded(szValue) : szValue;
        // Registrations are often quoted.
        if (strPath.size() >= 2 && strPath.front() == L'"' && strPath.back() == L'"') {
            strPath = strPath.substr(1, strPath.size() - 2);
        }
        if (!strPath.empty()) {
            return strPath;
        }
    }
    return std::wstring();
}

// The full path of a program as written: environment variables expanded, a
// bare name found where the system finds programs, then where the shell does.
std::wstring ProgramPath(const std::string& strWritten) {
    const std::wstring strExpanded = Expanded(widetext::Widen(strWritten));
    wchar_t szFull[MAX_PATH * 4] = L"";
    DWORD dwFull = 0;
    if (strExpanded.find_first_of(L"\\/") == std::wstring::npos) {
        dwFull = SearchPathW(nullptr, strExpanded.c_str(), L".exe",
                             static_cast<DWORD>(std::size(szFull)), szFull, nullptr);
        if (dwFull == 0) {
            const std::wstring strRegistered = AppPath(strExpanded);
            if (!strRegistered.empty()) {
                return strRegistered;
            }
        }
    } else {
        dwFull = GetFullPathNameW(strExpanded.c_str(), static_cast<DWORD>(std::size(szFull)),
                                  szFull, nullptr);
    }
    return dwFull > 0 && dwFull < std::size(szFull) ? std::wstring(szFull) : strExpanded;
}

std::string CannotStart(const std::string& strReason) {
    return "cannot be started. " + strReason + ".";
}

struct ProgramWindowSearch {
    std::wstring strProgram;
    HWND hFound = nullptr;
};

// Windows the user could switch to with Alt+Tab; a palette, a dialog, the
// taskbar or a window on another virtual desktop is none.
bool IsProgramWindow(HWND hWnd) {
    ProgramWindowRule::Facts facts;
    facts.bVisible = IsWindowVisible(hWnd) != FALSE;
    facts.bOwned = GetWindow(hWnd, GW_OWNER) != nullptr;
    const LONG_PTR nExStyle = GetWindowLongPtrW(hWnd, GWL_EXSTYLE);
    facts.bAppWindow = (nExStyle & WS_EX_APPWINDOW) != 0;
    facts.bToolWindow = (nExStyle & WS_EX_TOOLWINDOW) != 0;
    facts.bCloaked = IsCloaked(hWnd);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    facts.bOwnProcess = dwProcess == GetCurrentProcessId();
    wchar_t szClass[256] = L"";
    GetClassNameW(hWnd, szClass, static_cast<int>(std::size(szClass)));
    facts.strClass = widetext::Narrow(szClass);
    return ProgramWindowRule::IsProgramWindow(facts);
}

BOOL CALLBACK FindProgramWindow(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<ProgramWindowSearch*>(lParam);
    if (!IsProgramWindow(hWnd)) {
        return TRUE;
    }
    const std::wstring strImage = ProgramOf(hWnd);
    if (!strImage.empty() && CompareStringOrdinal(strImage.c_str(), -1, pSearch->strProgram.c_str(),
                                                  -1, TRUE) == CSTR_EQUAL) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

// The caption as stored: of another process's window this sends nothing.
std::string CaptionOf(HWND hWnd) {
    wchar_t szCaption[256] = L"";
    GetWindowTextW(hWnd, szCaption, static_cast<int>(std::size(szCaption)));
    return widetext::Narrow(szCaption);
}

// Nothing here waits for the window's thread: a program that stopped
// answering would freeze KV480, and the next key with it.
BringForwardRule::Attempt TryBringForward(HWND hWnd) {
    BringForwardRule::Attempt attempt;
    attempt.bHung = IsHungAppWindow(hWnd) != FALSE;
    if (attempt.bHung) {
        return attempt;
    }
    if (IsIconic(hWnd)) {
        ShowWindowAsync(hWnd, SW_RESTORE);
    }
    attempt.bSet = SetForegroundWindow(hWnd) != FALSE;
    if (attempt.bSet) {
        return attempt;
    }
    // The remote's key is the user's input, but it did not come through
    // Windows' input queue, so the foreground lock holds: share the input
    // state of the window in front for the change, never of one that does
    // not answer.
    const HWND hFront = GetForegroundWindow();
    const DWORD dwForeground = hFront != nullptr && !IsHungAppWindow(hFront)
                                   ? GetWindowThreadProcessId(hFront, nullptr)
                                   : 0;
    const DWORD dwOwn = GetCurrentThreadId();
    attempt.bAttached = dwForeground != 0 && dwForeground != dwOwn &&
                        AttachThreadInput(dwOwn, dwForeground, TRUE) != FALSE;
    if (attempt.bAttached) {
        attempt.bSetAttached = SetForegroundWindow(hWnd) != FALSE;
        AttachThreadInput(dwOwn, dwForeground, FALSE);
    }
    return attempt;
}

std::string BringForward(HWND hWnd) {
    return BringForwardRule::ForRunning(TryBringForward(hWnd), CaptionOf(hWnd));
}

// How long a started program's window is waited for; one that comes later
// has been left where Windows put it.
constexpr DWORD SHOW_WAIT_MS = 10000;
constexpr DWORD SHOW_POLL_MS = 100;

struct ProcessWindowSearch {
    DWORD dwProcess = 0;
    HWND hFound = nullptr;
};

BOOL CALLBACK FindProcessWindow(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<ProcessWindowSearch*>(lParam);
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == pSearch->dwProcess && IsProgramWindow(hWnd)) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

// A started program, followed on a thread of its own until its window shows:
// the key is not held up for it.
struct StartedProgram {
    HANDLE hProcess = nullptr;
    DWORD dwProcess = 0;
    bool bMayTakeForeground = false;
    std::string strHead; // the warning's start: the Run line
    HWND hNotify = nullptr;
    ~StartedProgram() {
        if (hProcess != nullptr) {
            CloseHandle(hProcess);
        }
    }
};

unsigned WINAPI FollowStartedProgram(void* pParam) {
    const std::unique_ptr<StartedProgram> pStarted(static_cast<StartedProgram*>(pParam));
    // A program with windows idles once its first is up; a console program
    // fails this at once and is looked at until it ends or the time is over.
    WaitForInputIdle(pStarted->hProcess, SHOW_WAIT_MS);
    ProcessWindowSearch search;
    search.dwProcess = pStarted->dwProcess;
    const DWORD dwStart = GetTickCount();
    for (;;) {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
        if (search.hFound != nullptr || GetTickCount() - dwStart >= SHOW_WAIT_MS ||
            WaitForSingleObject(pStarted->hProcess, SHOW_POLL_MS) != WAIT_TIMEOUT) {
            break;
        }
    }
    DWORD dwFront = 0;
    GetWindowThreadProcessId(GetForegroundWindow(), &dwFront);
    if (search.hFound != nullptr && dwFront != pStarted->dwProcess) {
        CRunWarnings::Report report;
        report.strHead = pStarted->strHead;
        report.hStarted = search.hFound;
        report.bMayTakeForeground = pStarted->bMayTakeForeground;
        CRunWarnings::Tell(pStarted->hNotify, report);
    }
    return 0;
}

// A start through the desktop shell, on a thread of its own: the call into
// Explorer's process waits in a COM apartment that handles messages, which on
// the main thread would let the next bytes and timers into a key's middle.
struct ShellStart {
    std::wstring strProgram;
    std::wstring strArguments;
    std::wstring strFolder;
    std::string strHead;
    HWND hNotify = nullptr;
};

unsigned WINAPI StartThroughShell(void* pParam) {
    const std::unique_ptr<ShellStart> pStart(static_cast<ShellStart*>(pParam));
    // Its own apartment, set up and ended in the call.
    const HRESULT hResult = CResidentLauncher::StartThroughDesktopShell(
        pStart->strProgram, pStart->strArguments, pStart->strFolder);
    if (FAILED(hResult)) {
        CRunWarnings::Report report;
        report.strHead = pStart->strHead;
        report.strWarning =
            CannotStart("KV480 runs as administrator and starts programs only through the "
                        "desktop shell, which is not there (" +
                        SystemErrorText(static_cast<DWORD>(hResult)) + ")");
        CRunWarnings::Tell(pStart->hNotify, report);
    }
    return 0;
}

// Runs pfnProc(pParam) on a thread of its own that nobody waits for; false
// (and pParam left to the caller) when no thread came.
bool StartDetached(unsigned(WINAPI* pfnProc)(void*), void* pParam) {
    const std::uintptr_t hThread = _beginthreadex(nullptr, 0, pfnProc, pParam, 0, nullptr);
    if (hThread == 0) {
        return false;
    }
    CloseHandle(reinterpret_cast<HANDLE>(hThread));
    return true;
}

} // namespace

std::string CActionSender::Settle(const CRunWarnings::Report& report) {
    if (report.hStarted == nullptr) {
        return report.strWarning.empty() ? std::string() : report.strHead + report.strWarning;
    }
    // Looked at again: it may have come in front, or gone, since it was found.
    BringForwardRule::Started started;
    started.bMayTakeForeground = report.bMayTakeForeground;
    started.bWindowShown = IsWindow(report.hStarted) != FALSE;
    DWORD dwStarted = 0;
    DWORD dwFront = 0;
    GetWindowThreadProcessId(report.hStarted, &dwStarted);
    GetWindowThreadProcessId(GetForegroundWindow(), &dwFront);
    started.bInFront = dwStarted != 0 && dwFront == dwStarted;
    if (BringForwardRule::MustBringForward(started)) {
        started.attempt = TryBringForward(report.hStarted);
    }
    const std::string strWarning =
        BringForwardRule::ForStarted(started, CaptionOf(report.hStarted));
    return strWarning.empty() ? std::string() : report.strHead + strWarning;
}

bool CActionSender::SendKeys(const CKeyAction& action) {
    // One call per keystroke, so that no other input comes between its
    // records, and each is released before the next.
    for (const CKeyChord& chord : action.GetChords()) {
        const std::vector<CKeyChord::Input> inputs = chord.Inputs();
        const UINT nSent = SendInputs(inputs);
        if (nSent < inputs.size()) {
            // Input was blocked part way: release what went down, type no more.
            if (nSent > 0) {
                SendInputs(chord.ReleasesAfter(nSent));
            }
            return false;
        }
    }
    return true;
}

bool CActionSender::SendText(const std::string& strText) {
    std::vector<INPUT> records;
    for (const char16_t unit : unicodetext::ToUtf16(strText)) {
        INPUT record;
        ZeroMemory(&record, sizeof(record));
        record.type = INPUT_KEYBOARD;
        record.ki.wScan = static_cast<WORD>(unit);
        record.ki.dwFlags = KEYEVENTF_UNICODE;
        records.push_back(record);
        record.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        records.push_back(record);
    }
    return records.empty() || SendInput(static_cast<UINT>(records.size()), records.data(),
                                        sizeof(INPUT)) == records.size();
}

void CActionSender::MoveMouse(CKeyAction::Mouse mouse, std::uint64_t nHeldMs) {
    POINT point;
    if (!GetCursorPos(&point)) {
        return;
    }
    MONITORINFO monitor;
    ZeroMemory(&monitor, sizeof(monitor));
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return;
    }
    const bool bHorizontal = mouse == CKeyAction::Mouse::Left || mouse == CKeyAction::Mouse::Right;
    const int nStep = CKeyActionEngine::MouseStep(
        nHeldMs, bHorizontal ? monitor.rcMonitor.right - monitor.rcMonitor.left
                             : monitor.rcMonitor.bottom - monitor.rcMonitor.top);
    const int nSign = mouse == CKeyAction::Mouse::Left || mouse == CKeyAction::Mouse::Up ? -1 : 1;
    // Set, not sent as a relative move: the user's pointer acceleration
    // would scale that.
    SetCursorPos(point.x + (bHorizontal ? nSign * nStep : 0),
                 point.y + (bHorizontal ? 0 : nSign * nStep));
}

bool CActionSender::PressMouse(CKeyAction::Mouse mouse) {
    std::vector<INPUT> records;
    switch (mouse) {
    case CKeyAction::Mouse::LeftClick:
    case CKeyAction::Mouse::DoubleClick:
        records = {MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)};
        if (mouse == CKeyAction::Mouse::DoubleClick) {
            // A copy: inserting a vector's own range into it is undefined.
            const std::vector<INPUT> click = records;
            records.insert(records.end(), click.begin(), click.end());
        }
        break;
    case CKeyAction::Mouse::RightClick:
        records = {MouseInput(MOUSEEVENTF_RIGHTDOWN), MouseInput(MOUSEEVENTF_RIGHTUP)};
        break;
    case CKeyAction::Mouse::MiddleClick:
        records = {MouseInput(MOUSEEVENTF_MIDDLEDOWN), MouseInput(MOUSEEVENTF_MIDDLEUP)};
        break;
    case CKeyAction::Mouse::WheelUp:
        records = {MouseInput(MOUSEEVENTF_WHEEL, WHEEL_DELTA)};
        break;
    case CKeyAction::Mouse::WheelDown:
        records = {MouseInput(MOUSEEVENTF_WHEEL, -WHEEL_DELTA)};
        break;
    default:
        return true;
    }
    return SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT)) ==
           records.size();
}

IDesktopEffects::Outcome CActionSender::Run(const CKeyAction& action, const std::string& strHead,
                                            HWND hNotify) {
    IDesktopEffects::Outcome outcome;
    const std::wstring strProgram = ProgramPath(action.GetText());
    ProgramWindowSearch search;
    search.strProgram = strProgram;
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    if (search.hFound != nullptr) {
        outcome.strWarning = BringForward(search.hFound);
        outcome.bCarried = outcome.strWarning.empty();
        return outcome;
    }
    outcome.bCarried = false;
    // Checked first: the shell would tell a missing program in a message box
    // of its own, and a child would just fail.
    const DWORD dwAttributes = GetFileAttributesW(strProgram.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        outcome.strWarning = CannotStart(SystemErrorText(GetLastError()));
        return outcome;
    }
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        outcome.strWarning = CannotStart(SystemErrorText(ERROR_BAD_EXE_FORMAT));
        return outcome;
    }
    const std::size_t nSlash = strProgram.find_last_of(L"\\/");
    const std::wstring strFolder =
        nSlash == std::wstring::npos ? std::wstring() : strProgram.substr(0, nSlash + 1);
    const std::string strArguments = action.GetArguments();
    // A KeyMap.ini line must not start anything with the administrator's
    // rights of an elevated KV480: only the desktop shell starts it, at the
    // user's level, or nothing does.
    if (CResidentLauncher::IsCallerElevated()) {
        std::unique_ptr<ShellStart> pStart(
            new ShellStart{strProgram, widetext::Widen(strArguments), strFolder, strHead, hNotify});
        if (!StartDetached(StartThroughShell, pStart.get())) {
            outcome.strWarning = CannotStart(SystemErrorText(GetLastError()));
            return outcome;
        }
        pStart.release(); // the thread's now
        // Taken by the shell's thread, which tells a failure itself.
        outcome.bCarried = true;
        return outcome;
    }
    // Named on its own and quoted in the command line: a space in the folder
    // would otherwise start another program.
    std::wstring strCommand = L"\"" + strProgram + L"\"";
    if (!strArguments.empty()) {
        strCommand += L" " + widetext::Widen(strArguments);
    }
    std::vector<wchar_t> command(strCommand.begin(), strCommand.end());
    command.push_back(L'\0');
    STARTUPINFOW startup;
    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof(process));
    // Suspended until it may take the foreground: a quick program would
    // otherwise show its window before that.
    if (!CreateProcessW(strProgram.c_str(), command.data(), nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, strFolder.empty() ? nullptr : strFolder.c_str(),
                        &startup, &process)) {
        outcome.strWarning = CannotStart(SystemErrorText(GetLastError()));
        return outcome;
    }
    // The program the user asked for may take the foreground as its window
    // shows, where KV480 may give it; where it may not, its window is brought
    // forward once it shows, or the user told.
    std::unique_ptr<StartedProgram> pStarted(new StartedProgram);
    pStarted->bMayTakeForeground = AllowSetForegroundWindow(process.dwProcessId) != FALSE;
    const bool bResumed = ResumeThread(process.hThread) != static_cast<DWORD>(-1);
    const DWORD dwResumeError = GetLastError();
    CloseHandle(process.hThread);
    if (!bResumed) {
        // Left suspended it would never run, nor end.
        TerminateProcess(process.hProcess, ERROR_CANCELLED);
        CloseHandle(process.hProcess);
        outcome.strWarning = CannotStart(SystemErrorText(dwResumeError));
        return outcome;
    }
    pStarted->hProcess = process.hProcess;
    pStarted->dwProcess = process.dwProcessId;
    pStarted->strHead = strHead;
    pStarted->hNotify = hNotify;
    // Granted, it takes the front itself as its window activates; only one
    // Windows gave no front is followed (BringForwardRule::MustBringForward).
    if (!pStarted->bMayTakeForeground && StartDetached(FollowStartedProgram, pStarted.get())) {
        pStarted.release(); // the thread's now
    }
    outcome.bCarried = true;
    return outcome;
}
