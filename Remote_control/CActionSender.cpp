#include "CActionSender.h"

#include "CResidentLauncher.h"
#include "ProcessImage.h"
#include "WideText.h"

#include <iterator>
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

// The full path of a program as written: environment variables expanded, a
// bare name found where the system finds programs.
std::wstring ProgramPath(const std::string& strWritten) {
    const std::wstring strWide = widetext::Widen(strWritten);
    wchar_t szExpanded[MAX_PATH * 4] = L"";
    const DWORD dwExpanded = ExpandEnvironmentStringsW(strWide.c_str(), szExpanded,
                                                       static_cast<DWORD>(std::size(szExpanded)));
    const std::wstring strExpanded =
        dwExpanded > 0 && dwExpanded <= std::size(szExpanded) ? szExpanded : strWide;
    wchar_t szFull[MAX_PATH * 4] = L"";
    DWORD dwFull = 0;
    if (strExpanded.find_first_of(L"\\/") == std::wstring::npos) {
        dwFull = SearchPathW(nullptr, strExpanded.c_str(), L".exe",
                             static_cast<DWORD>(std::size(szFull)), szFull, nullptr);
    } else {
        dwFull = GetFullPathNameW(strExpanded.c_str(), static_cast<DWORD>(std::size(szFull)),
                                  szFull, nullptr);
    }
    return dwFull > 0 && dwFull < std::size(szFull) ? std::wstring(szFull) : strExpanded;
}

struct ProgramWindowSearch {
    std::wstring strProgram;
    HWND hFound = nullptr;
};

BOOL CALLBACK FindProgramWindow(HWND hWnd, LPARAM lParam) {
    auto* pSearch = reinterpret_cast<ProgramWindowSearch*>(lParam);
    if (!IsWindowVisible(hWnd) || GetWindow(hWnd, GW_OWNER) != nullptr) {
        return TRUE;
    }
    DWORD dwProcess = 0;
    GetWindowThreadProcessId(hWnd, &dwProcess);
    if (dwProcess == GetCurrentProcessId()) {
        return TRUE;
    }
    const std::wstring strImage = ProcessImage(dwProcess);
    if (!strImage.empty() && CompareStringOrdinal(strImage.c_str(), -1, pSearch->strProgram.c_str(),
                                                  -1, TRUE) == CSTR_EQUAL) {
        pSearch->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

void BringForward(HWND hWnd) {
    if (IsIconic(hWnd)) {
        ShowWindow(hWnd, SW_RESTORE);
    }
    if (SetForegroundWindow(hWnd)) {
        return;
    }
    // Windows lets a background program change the foreground only while
    // it shares the input state of the window in front.
    const DWORD dwForeground = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
    const DWORD dwOwn = GetCurrentThreadId();
    if (dwForeground != 0 && dwForeground != dwOwn &&
        AttachThreadInput(dwOwn, dwForeground, TRUE)) {
        SetForegroundWindow(hWnd);
        AttachThreadInput(dwOwn, dwForeground, FALSE);
    }
}

} // namespace

std::string CActionSender::ReasonOf(DWORD dwError) {
    wchar_t* pszMessage = nullptr;
    const DWORD dwLength = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, dwError, 0, reinterpret_cast<wchar_t*>(&pszMessage), 0, nullptr);
    std::string strReason = dwLength > 0 ? widetext::Narrow(pszMessage, static_cast<int>(dwLength))
                                         : "error " + std::to_string(dwError);
    if (pszMessage != nullptr) {
        LocalFree(pszMessage);
    }
    while (!strReason.empty() &&
           (strReason.back() == '\n' || strReason.back() == '\r' || strReason.back() == ' ')) {
        strReason.pop_back();
    }
    return strReason;
}

std::string CActionSender::Carry(const CKeyActionEngine::Step& step,
                                 const std::string& strFileName) {
    const CKeyAction& action = step.answer.action;
    switch (action.GetKind()) {
    case CKeyAction::Kind::Keys:
        SendKeys(action);
        break;
    case CKeyAction::Kind::Text:
        SendText(action.GetText());
        break;
    case CKeyAction::Kind::MouseMove:
        MoveMouse(action.GetMouse(), step.nHeldMs);
        break;
    case CKeyAction::Kind::MouseButton:
        PressMouse(action.GetMouse());
        break;
    case CKeyAction::Kind::Run: {
        const std::string strReason = Run(action);
        if (!strReason.empty()) {
            return "Line " + std::to_string(step.answer.nLine) + " of " + strFileName + ": \"" +
                   action.GetText() + "\" cannot be started. " + strReason;
        }
        break;
    }
    case CKeyAction::Kind::Nothing:
    // The main window's own: they change its state.
    case CKeyAction::Kind::Mode:
    case CKeyAction::Kind::Pc:
        break;
    case CKeyAction::Kind::Spotlight:
    case CKeyAction::Kind::LaserDot:
    case CKeyAction::Kind::Magnifier:
    case CKeyAction::Kind::BlankScreen:
    case CKeyAction::Kind::Timer:
        // Shown by KV480's own overlays, not sent anywhere.
        break;
    }
    return std::string();
}

void CActionSender::SendKeys(const CKeyAction& action) {
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
            return;
        }
    }
}

void CActionSender::SendText(const std::string& strText) {
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
    if (!records.empty()) {
        SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
    }
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

void CActionSender::PressMouse(CKeyAction::Mouse mouse) {
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
        return;
    }
    SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
}

std::string CActionSender::Run(const CKeyAction& action) {
    const std::wstring strProgram = ProgramPath(action.GetText());
    ProgramWindowSearch search;
    search.strProgram = strProgram;
    EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&search));
    if (search.hFound != nullptr) {
        BringForward(search.hFound);
        return std::string();
    }
    // Checked first: the shell would tell a missing program in a message box
    // of its own, and a child would just fail.
    const DWORD dwAttributes = GetFileAttributesW(strProgram.c_str());
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        return ReasonOf(GetLastError());
    }
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return ReasonOf(ERROR_BAD_EXE_FORMAT);
    }
    const std::size_t nSlash = strProgram.find_last_of(L"\\/");
    const std::wstring strFolder =
        nSlash == std::wstring::npos ? std::wstring() : strProgram.substr(0, nSlash + 1);
    const std::string strArguments = action.GetArguments();
    // A KeyMap.ini line must not start anything with the administrator's
    // rights of an elevated KV480.
    if (CResidentLauncher::IsCallerElevated() &&
        SUCCEEDED(CResidentLauncher::StartThroughDesktopShell(
            strProgram, widetext::Widen(strArguments), strFolder))) {
        return std::string();
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
    if (!CreateProcessW(strProgram.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        strFolder.empty() ? nullptr : strFolder.c_str(), &startup, &process)) {
        return ReasonOf(GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::string();
}
