// Cost of dispatching one key: choosing the receiving window among the
// top-level windows and posting the message to it.
//
// The program starts a copy of itself as a host process that owns the
// windows, so that every window looked at belongs to another process, as the
// receiving applications' windows do. The host has 500 top-level windows; the
// ten windows of the receiving applications are put at the bottom of the Z
// order: receivers 0 to 4 hidden, 5 to 7 minimised, 8 and 9 shown. A choice
// between two shown receivers walks nearly the whole desktop.
//
// Usage: rc_dispatch_bench [iterations]     (run under the Wine harness)
#include "CRecvApp.h"
#include "TargetWindow.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const int WINDOW_COUNT = 500;
const int RECEIVER_COUNT = CRecvApp::MAX_ENTRIES;
const int FIRST_MINIMISED = 5;
const int FIRST_SHOWN = 8;
const int DEFAULT_ITERATIONS = 200;
const int WARM_UP = 10;
const DWORD HOST_START_TIMEOUT_MS = 60000;
const DWORD HOST_LIFETIME_MS = 600000;
const DWORD HOST_END_TIMEOUT_MS = 30000;
const double TARGET_US = 2000.0;

const char* const HOST_ARG = "--host";
const char* const RECEIVER_CLASS = "DispatchBenchReceiver";
const char* const FILLER_CLASS = "DispatchBenchFiller";
const char* const MESSAGE_NAME = "WM_REMOTECONTROL";

std::string EventName(const char* pszWhat, DWORD dwDriverPid) {
    return std::string("rc_dispatch_bench_") + pszWhat + "_" + std::to_string(dwDriverPid);
}

std::string ReceiverCaption(int nIndex) {
    return "Dispatch bench receiver " + std::to_string(nIndex);
}

// ---- host process ----------------------------------------------------------

UINT g_nRemoteControlMsg = 0;
DWORD g_dwReceived = 0;

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == g_nRemoteControlMsg && nMsg != 0) {
        ++g_dwReceived;
        return 0;
    }
    return DefWindowProcA(hWnd, nMsg, wParam, lParam);
}

HWND CreateHostWindow(const char* pszClass, const std::string& strCaption) {
    // Popups: Wine without a window manager keeps framed windows waiting.
    return CreateWindowExA(0, pszClass, strCaption.c_str(), WS_POPUP, 0, 0, 100, 50, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Creates the windows, reports ready and handles messages until told to end;
// the exit code is the number of key messages received.
int RunHost(DWORD dwDriverPid) {
    g_nRemoteControlMsg = RegisterWindowMessageA(MESSAGE_NAME);
    const HANDLE hReady =
        OpenEventA(EVENT_MODIFY_STATE, FALSE, EventName("ready", dwDriverPid).c_str());
    const HANDLE hDone = OpenEventA(SYNCHRONIZE, FALSE, EventName("done", dwDriverPid).c_str());
    if (hReady == nullptr || hDone == nullptr) {
        return -1;
    }
    for (const char* pszClass : {RECEIVER_CLASS, FILLER_CLASS}) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = HostWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = pszClass;
        RegisterClassA(&wc);
    }
    std::vector<HWND> receivers;
    for (int i = 0; i < RECEIVER_COUNT; ++i) {
        const HWND hWnd = CreateHostWindow(RECEIVER_CLASS, ReceiverCaption(i));
        if (i >= FIRST_SHOWN) {
            ShowWindow(hWnd, SW_SHOWNOACTIVATE);
        } else if (i >= FIRST_MINIMISED) {
            ShowWindow(hWnd, SW_SHOWMINNOACTIVE);
        }
        receivers.push_back(hWnd);
    }
    for (int i = 0; i < WINDOW_COUNT - RECEIVER_COUNT; ++i) {
        const HWND hWnd =
            CreateHostWindow(FILLER_CLASS, "Dispatch bench window " + std::to_string(i));
        ShowWindow(hWnd, SW_SHOWNOACTIVATE);
    }
    for (const HWND hWnd : receivers) {
        SetWindowPos(hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SetEvent(hReady);

    const ULONGLONG ullEnd = GetTickCount64() + HOST_LIFETIME_MS;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        const ULONGLONG ullNow = GetTickCount64();
        if (ullNow >= ullEnd) {
            break;
        }
        const DWORD dwWait = MsgWaitForMultipleObjects(
            1, &hDone, FALSE, static_cast<DWORD>(ullEnd - ullNow), QS_ALLINPUT);
        if (dwWait != WAIT_OBJECT_0 + 1) {
            break; // done, time-out or failure
        }
    }
    // Messages posted before "done" are still queued.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&msg);
    }
    CloseHandle(hReady);
    CloseHandle(hDone);
    return static_cast<int>(g_dwReceived);
}

// ---- driver process --------------------------------------------------------

struct Case {
    const char* name;
    bool withClass;    // ClassName given, or "NULL"
    const bool* named; // entry i names receiver i, or a window that does not exist
};

struct Figures {
    double mean;
    double p50;
    double p99;
    double max;
};

// Runs step WARM_UP + nIterations times and times the last nIterations runs.
template <typename Step> Figures Time(int nIterations, Step step) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(nIterations));
    for (int i = 0; i < WARM_UP + nIterations; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER end;
        QueryPerformanceCounter(&start);
        step(i);
        QueryPerformanceCounter(&end);
        if (i >= WARM_UP) {
            samples.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                              static_cast<double>(frequency.QuadPart));
        }
    }
    std::sort(samples.begin(), samples.end());
    Figures figures = {};
    for (const double dSample : samples) {
        figures.mean += dSample;
    }
    figures.mean /= static_cast<double>(samples.size());
    figures.p50 = samples[samples.size() / 2];
    figures.p99 = samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    figures.max = samples.back();
    return figures;
}

void PrintRow(const char* pszName, const Figures& f, const char* pszNote) {
    std::printf("%-48s %9.1f %9.1f %9.1f %9.1f%s\n", pszName, f.mean, f.p50, f.p99, f.max, pszNote);
}

std::vector<HWND> WalkZOrder() {
    std::vector<HWND> windows;
    for (HWND hWnd = GetWindow(GetDesktopWindow(), GW_CHILD); hWnd != nullptr;
         hWnd = GetWindow(hWnd, GW_HWNDNEXT)) {
        windows.push_back(hWnd);
    }
    return windows;
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// The named receiver that stands highest in the Z order among the shown
// ones. The platform may restack shown windows above hidden ones, so this is
// looked up rather than assumed.
HWND Expected(const Case& c, const HWND (&receivers)[RECEIVER_COUNT]) {
    for (const HWND hWnd : WalkZOrder()) {
        for (int i = FIRST_SHOWN; i < RECEIVER_COUNT; ++i) {
            if (c.named[i] && hWnd == receivers[i]) {
                return hWnd;
            }
        }
    }
    return nullptr;
}

bool WriteIni(const std::string& strPath, const Case& c) {
    std::ofstream file(strPath, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < RECEIVER_COUNT; ++i) {
        file << "[Receiver" << i << "]\r\nClassName=" << (c.withClass ? RECEIVER_CLASS : "NULL")
             << "\r\nWindowName="
             << (c.named[i] ? ReceiverCaption(i) : "Not running " + std::to_string(i)) << "\r\n";
    }
    file.close();
    return static_cast<bool>(file);
}

// Runs the cases against the host's windows; false when a target was wrong.
bool RunCases(int nIterations, const std::string& strIni, double& dWorstP99, int& nPosted) {
    const UINT nMsg = RegisterWindowMessageA(MESSAGE_NAME);
    HWND receivers[RECEIVER_COUNT];
    for (int i = 0; i < RECEIVER_COUNT; ++i) {
        receivers[i] = FindWindowA(RECEIVER_CLASS, ReceiverCaption(i).c_str());
        if (receivers[i] == nullptr) {
            std::fprintf(stderr, "receiver %d not found\n", i);
            return false;
        }
    }
    const bool ALL[] = {true, true, true, true, true, true, true, true, true, true};
    const bool NOT_8[] = {true, true, true, true, true, true, true, true, false, true};
    const bool NONE[RECEIVER_COUNT] = {};
    static_assert(sizeof(ALL) / sizeof(ALL[0]) == RECEIVER_COUNT, "one flag per receiver");
    static_assert(sizeof(NOT_8) / sizeof(NOT_8[0]) == RECEIVER_COUNT, "one flag per receiver");
    const Case cases[] = {
        {"class+caption, 1 shown (lowest of all)", true, NOT_8},
        {"class+caption, 2 shown (Z-order walk)", true, ALL},
        {"caption only, 2 shown (Z-order walk)", false, ALL},
        {"class+caption, no window exists", true, NONE},
        {"caption only, no window exists", false, NONE},
    };

    bool bAllRight = true;
    for (const Case& c : cases) {
        CRecvApp apps;
        if (!WriteIni(strIni, c) || apps.LoadFile(strIni) != 1 ||
            apps.GetCount() != RECEIVER_COUNT) {
            std::fprintf(stderr, "cannot load %s\n", strIni.c_str());
            bAllRight = false;
            continue;
        }
        const HWND hExpected = Expected(c, receivers);
        bool bRight = true;
        const Figures f = Time(nIterations, [&](int i) {
            const HWND hTarget = ChooseTargetWindow(apps);
            if (hTarget != nullptr) {
                PostMessageA(hTarget, nMsg, 7, i % 2);
                ++nPosted;
            }
            bRight = bRight && hTarget == hExpected;
        });
        PrintRow(c.name, f, bRight ? "" : "  WRONG TARGET");
        bAllRight = bAllRight && bRight;
        dWorstP99 = std::max(dWorstP99, f.p99);
    }

    // Where the time of a Z-order walk goes.
    std::printf("parts:\n");
    size_t nWindows = 0;
    PrintRow("Z-order walk (GetWindow)",
             Time(nIterations, [&](int) { nWindows = WalkZOrder().size(); }), "");
    PrintRow("window list (EnumWindows)",
             Time(nIterations,
                  [&](int) {
                      std::vector<HWND> windows;
                      EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
                  }),
             "");
    PrintRow(
        "FindWindowA, class and caption",
        Time(nIterations, [&](int) { FindWindowA(RECEIVER_CLASS, ReceiverCaption(0).c_str()); }),
        "");
    PrintRow("FindWindowA, caption only, missing",
             Time(nIterations, [&](int) { FindWindowA(nullptr, "Not running"); }), "");
    std::printf("top-level windows in all: %zu\n", nWindows);
    return bAllRight;
}

// Starts the host, runs every case and ends the host again.
int RunDriver(int nIterations) {
    const DWORD dwPid = GetCurrentProcessId();
    const HANDLE hReady = CreateEventA(nullptr, TRUE, FALSE, EventName("ready", dwPid).c_str());
    const HANDLE hDone = CreateEventA(nullptr, TRUE, FALSE, EventName("done", dwPid).c_str());
    char szExe[MAX_PATH];
    const DWORD dwExeLength = GetModuleFileNameA(nullptr, szExe, sizeof(szExe));
    if (hReady == nullptr || hDone == nullptr || dwExeLength == 0 || dwExeLength >= sizeof(szExe)) {
        std::fprintf(stderr, "setup failed\n");
        return 2;
    }
    std::string strCommand =
        "\"" + std::string(szExe) + "\" " + HOST_ARG + " " + std::to_string(dwPid);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(szExe, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::fprintf(stderr, "cannot start the host process\n");
        return 2;
    }
    const HANDLE hWait[] = {hReady, pi.hProcess};
    bool bAllRight =
        WaitForMultipleObjects(2, hWait, FALSE, HOST_START_TIMEOUT_MS) == WAIT_OBJECT_0;
    double dWorstP99 = 0.0;
    int nPosted = 0;
    if (bAllRight) {
        char szTemp[MAX_PATH];
        const DWORD dwTempLength = GetTempPathA(sizeof(szTemp), szTemp);
        const std::string strIni =
            (dwTempLength > 0 && dwTempLength < sizeof(szTemp) ? std::string(szTemp)
                                                               : std::string()) +
            "rc_dispatch_bench_" + std::to_string(dwPid) + ".ini";
        std::printf("%d receiving-application entries, %d windows in another process, "
                    "%d runs per row\n",
                    RECEIVER_COUNT, WINDOW_COUNT, nIterations);
        std::printf("%-48s %9s %9s %9s %9s  (microseconds)\n", "dispatch (choice + post)", "mean",
                    "p50", "p99", "max");
        bAllRight = RunCases(nIterations, strIni, dWorstP99, nPosted);
        DeleteFileA(strIni.c_str());
    } else {
        std::fprintf(stderr, "the host process did not get ready\n");
    }

    SetEvent(hDone);
    DWORD dwReceived = 0;
    if (WaitForSingleObject(pi.hProcess, HOST_END_TIMEOUT_MS) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
    }
    GetExitCodeProcess(pi.hProcess, &dwReceived);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CloseHandle(hReady);
    CloseHandle(hDone);
    if (!bAllRight) {
        return 1;
    }
    std::printf("messages posted %d, received by the host %lu\n", nPosted,
                static_cast<unsigned long>(dwReceived));
    std::printf("worst dispatch p99 %.1f us, goal %.0f us: %s\n", dWorstP99, TARGET_US,
                dWorstP99 <= TARGET_US ? "met" : "NOT met");
    return dwReceived == static_cast<DWORD>(nPosted) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == HOST_ARG) {
        return RunHost(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    }
    const int nIterations = argc >= 2 ? std::atoi(argv[1]) : DEFAULT_ITERATIONS;
    if (nIterations < 1) {
        std::fprintf(stderr, "usage: rc_dispatch_bench [iterations]\n");
        return 2;
    }
    return RunDriver(nIterations);
}
