// Figures for the resident program under Wine (run through the `bench` target):
//  - key latency: from the last byte of a frame written on the device side to
//    the receiving window's procedure, over many presses;
//  - keystroke latency in the same run: from the last byte to WM_KEYDOWN in
//    the foreground window, typed by KeyMap.ini once the receiving window is
//    hidden; then again with both key maps, sections by program and long
//    and double forms on other keys, the lookup's most costly case for a
//    key that acts at its press;
//  - both latencies again with 16 clients on KV480's LIRC stream, one of
//    which never reads: the stream must not slow the keys;
//  - CPU time of KV480 while idle with its port open;
//  - a soak: unplug/replug cycles and a stream of key frames, with KV480's
//    handle, GDI and USER counts, private bytes and (Wine) the open file
//    descriptors of its Linux process before and after.
// Both ends of the latency live in this process, so one clock measures it.
#include <winsock2.h>
#include <windows.h>
#include <dbt.h>
#include <psapi.h>
#include <winternl.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchFigures.h"
#include "DevicePort.h"
#include "KeyboardWindow.h"
#include "LircClient.h"
#include "LineState.h"
#include "ProgramUnderTest.h"
#include "ReceivingWindow.h"
#include "RegistryWriter.h"
#include "TestConstants.h"

namespace {

using harness::Milliseconds;
using harness::Now;
using harness::Percentile;

using harness::kSettingsKey;

ULONGLONG CpuTime100ns(HANDLE process) {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(process, &created, &exited, &kernel, &user);
    auto value = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return value(kernel) + value(user);
}

bool Configure(const std::string& dir, std::uint16_t lircPort) {
    if (!harness::WriteRegistryDword(kSettingsKey, "Address", harness::kAddress))
        return false;
    harness::WriteRegistryDword(kSettingsKey, "CommPort", 1);
    harness::WriteRegistryDword(kSettingsKey, "LircPort", lircPort);
    harness::WriteRegistryString(kSettingsKey, "Path", dir);
    std::ofstream ini(dir + "RecvApp.ini", std::ios::binary | std::ios::trunc);
    ini << "[Bench]\r\nClassName=KV480BenchReceiver\r\nWindowName=NULL\r\n";
    return true;
}

// Clients of KV480's LIRC stream: all but the last read every line as it
// comes (on a thread of their own); the last never reads.
class LircClients {
public:
    LircClients(int count, std::uint16_t port) {
        for (int i = 0; i < count; ++i) {
            m_clients.push_back(std::make_unique<harness::LircClient>());
            if (!m_clients.back()->Connect(port, 5000))
                return;
        }
        m_connected = true;
        m_reader = std::thread([this] {
            std::string line;
            while (!m_stop) {
                fd_set readable;
                FD_ZERO(&readable);
                for (size_t i = 0; i + 1 < m_clients.size(); ++i)
                    FD_SET(m_clients[i]->Handle(), &readable);
                timeval wait = {0, 100000};
                if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
                    continue;
                for (size_t i = 0; i + 1 < m_clients.size(); ++i)
                    if (FD_ISSET(m_clients[i]->Handle(), &readable))
                        while (m_clients[i]->ReadLine(line, 0)) {
                            ++m_lines;
                            if (i == 0) {
                                std::lock_guard<std::mutex> lock(m_lastLock);
                                m_last = line;
                            }
                        }
            }
        });
    }
    ~LircClients() {
        m_stop = true;
        if (m_reader.joinable())
            m_reader.join();
    }
    bool Connected() const { return m_connected; }
    long Lines() const { return m_lines; }
    // What the first client got last, to tell a key KV480 never decoded
    // from one it did not deliver.
    std::string LastLine() {
        std::lock_guard<std::mutex> lock(m_lastLock);
        return m_last;
    }

private:
    std::vector<std::unique_ptr<harness::LircClient>> m_clients;
    std::thread m_reader;
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_lines{0};
    std::mutex m_lastLock;
    std::string m_last;
    bool m_connected = false;
};

// The Linux process behind KV480 under this harness's Wine: its command line
// names KV480.exe and its environment this WINEPREFIX. 0 when not found.
int UnixProcessOfResident() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix == nullptr)
        return 0;
    const std::string wanted = std::string("WINEPREFIX=") + prefix;
    auto readAll = [](const std::string& path) {
        std::string text;
        FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr)
            return text;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
            text.append(buffer, n);
        std::fclose(file);
        return text;
    };
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA("Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    int found = 0;
    do {
        const int pid = std::atoi(entry.cFileName);
        if (pid <= 0)
            continue;
        const std::string dir = std::string("Z:\\proc\\") + entry.cFileName;
        const std::string cmdline = readAll(dir + "\\cmdline");
        if (cmdline.find("KV480.exe") == std::string::npos)
            continue;
        const std::string environment = '\0' + readAll(dir + "\\environ");
        if (environment.find('\0' + wanted + '\0') != std::string::npos)
            found = pid;
    } while (found == 0 && FindNextFileA(find, &entry));
    FindClose(find);
    return found;
}

struct ProcessFigures {
    DWORD handles = 0;
    ULONG listedHandles = 0; // the system's process list
    SIZE_T listedPrivateBytes = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    SIZE_T privateBytes = 0;
    int unixFds = -1;
    long unixRssAnonKb = -1;
};

ProcessFigures Measure(DWORD pid, int unixPid) {
    ProcessFigures figures;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (process != nullptr) {
        GetProcessHandleCount(process, &figures.handles);
        figures.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
        figures.userObjects = GetGuiResources(process, GR_USEROBJECTS);
        PROCESS_MEMORY_COUNTERS_EX memory{};
        memory.cb = sizeof(memory);
        if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                 sizeof(memory)))
            figures.privateBytes = memory.PrivateUsage;
        CloseHandle(process);
    }
    // The process list says what the Wine server counts for other processes.
    using QueryFunction = LONG(WINAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> list(1 << 20);
    ULONG size = 0;
    if (query != nullptr &&
        query(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), &size) >= 0) {
        for (size_t offset = 0; offset < list.size();) {
            const auto* entry = reinterpret_cast<const SYSTEM_PROCESS_INFORMATION*>(&list[offset]);
            if (reinterpret_cast<ULONG_PTR>(entry->UniqueProcessId) == pid) {
                figures.listedHandles = entry->HandleCount;
                figures.listedPrivateBytes = entry->PrivatePageCount;
            }
            if (entry->NextEntryOffset == 0)
                break;
            offset += entry->NextEntryOffset;
        }
    }
    if (unixPid > 0) {
        const std::string dir = "Z:\\proc\\" + std::to_string(unixPid);
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((dir + "\\fd\\*").c_str(), &entry);
        if (find != INVALID_HANDLE_VALUE) {
            figures.unixFds = 0;
            do {
                figures.unixFds += entry.cFileName[0] != '.';
            } while (FindNextFileA(find, &entry));
            FindClose(find);
        }
        FILE* status = std::fopen((dir + "\\status").c_str(), "r");
        if (status != nullptr) {
            char line[256];
            while (std::fgets(line, sizeof(line), status) != nullptr)
                if (std::strncmp(line, "RssAnon:", 8) == 0)
                    figures.unixRssAnonKb = std::atol(line + 8);
            std::fclose(status);
        }
    }
    return figures;
}

void PrintFigures(const char* when, const ProcessFigures& f) {
    std::printf(
        "soak %s: handles %lu (process list: %lu), GDI objects %lu, USER objects %lu, "
        "private bytes %lu KiB (process list: %lu KiB); Linux process: %d open fds, "
        "RssAnon %ld KiB\n",
        when, static_cast<unsigned long>(f.handles), static_cast<unsigned long>(f.listedHandles),
        static_cast<unsigned long>(f.gdiObjects), static_cast<unsigned long>(f.userObjects),
        static_cast<unsigned long>(f.privateBytes / 1024),
        static_cast<unsigned long>(f.listedPrivateBytes / 1024), f.unixFds, f.unixRssAnonKb);
}

bool PortOpenedAnew() {
    return harness::DtrRaised("COM1");
}

// Windows announces a port that comes back; Wine does not, so the bench does.
void AnnounceArrival(HWND main) {
    std::vector<char> record(offsetof(DEV_BROADCAST_PORT_A, dbcp_name) + 5);
    auto* port = reinterpret_cast<DEV_BROADCAST_PORT_A*>(record.data());
    port->dbcp_size = static_cast<DWORD>(record.size());
    port->dbcp_devicetype = DBT_DEVTYP_PORT;
    std::memcpy(port->dbcp_name, "COM1", 5);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(main, WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(port),
                        SMTO_ABORTIFHUNG, 5000, &result);
}

} // namespace

int main(int argc, char** argv) {
    const int presses = argc > 1 ? std::max(10, std::atoi(argv[1])) : 250;
    const DWORD idleMs = argc > 2 ? static_cast<DWORD>(std::max(1000, std::atoi(argv[2]))) : 30000;
    const int cycles = argc > 3 ? std::max(0, std::atoi(argv[3])) : 200;
    const int soakFrames = argc > 4 ? std::max(0, std::atoi(argv[4])) : 20000;
    std::string exe = harness::WindowsPathFromEnv("RC_KV480_EXE");
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    std::string dir = std::string(temp) + "kv480-bench\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    // A port of its own: another run on this machine may serve the default.
    const std::uint16_t lircPort = harness::LircClient::FreeLoopbackPort();
    if (exe.empty() || lircPort == 0 || !Configure(dir, lircPort)) {
        std::fprintf(stderr, "bench: RC_KV480_EXE not set or settings not writable\n");
        return 1;
    }

    harness::ReceivingWindow receiver("KV480BenchReceiver", "Bench receiver");
    receiver.BringToTop();
    harness::ClearLineState("COM1");
    harness::ProgramUnderTest program;
    // At the user's level, as Windows starts it: an elevated KV480 would
    // leave the user's key map of the layered pass aside.
    program.SetUnelevated(true);
    if (!program.Start(exe, "-nr") || !harness::WaitUntil(PortOpenedAnew, 10000)) {
        std::fprintf(stderr, "bench: KV480 did not open its port\n");
        return 1;
    }
    auto device = std::make_unique<harness::DevicePort>("COM11");
    device->SetLine(CBR_9600);

    // Key latency. Each press is a new VEKO key frame; keys alternate so that
    // every frame is a press, and the next waits for the previous to arrive.
    // arrived(tick) holds once it arrived, tick being when the window
    // procedure saw it (GetTickCount, 1 ms steps; the wait itself may add a
    // wake-up delay).
    const char codes[] = {static_cast<char>(harness::VekoCode(1)),
                          static_cast<char>(harness::VekoCode(2))};
    LircClients* lirc = nullptr; // while clients are connected
    auto measure = [&](const char* what, auto clear, auto arrived) {
        std::vector<double> waited;
        std::vector<double> inProcedure;
        int lost = 0;
        for (int i = 0; i < presses; ++i) {
            clear();
            std::string frame = {0x12, static_cast<char>(0xED), codes[i % 2]};
            if (!device->Write(frame))
                std::fprintf(stderr, "bench: frame %d could not be written (error %lu)\n", i,
                             GetLastError());
            const LONGLONG written = Now();
            const DWORD writtenTick = GetTickCount();
            DWORD tick = 0;
            if (!harness::WaitUntil([&] { return arrived(tick); }, 5000)) {
                std::fprintf(stderr, "bench: %s %d did not arrive\n", what, i);
                // The LIRC stream tells whether KV480 decoded the press at all.
                if (lirc != nullptr)
                    std::fprintf(stderr, "bench: the last LIRC line: %s\n",
                                 lirc->LastLine().c_str());
                // A rare loss is reported and the run goes on; many end it.
                if (++lost > presses / 10)
                    return false;
                continue;
            }
            waited.push_back(Milliseconds(Now() - written));
            inProcedure.push_back(static_cast<double>(tick - writtenTick));
            harness::PumpMessages();
        }
        std::printf("%s latency over %d presses: p50 %.1f ms, p99 %.1f ms, max %.1f ms; "
                    "in the window procedure p50 %.0f ms, p99 %.0f ms%s\n",
                    what, static_cast<int>(waited.size()), Percentile(waited, 0.5),
                    Percentile(waited, 0.99), *std::max_element(waited.begin(), waited.end()),
                    Percentile(inProcedure, 0.5), Percentile(inProcedure, 0.99),
                    lost > 0 ? " (see the losses above)" : "");
        return true;
    };
    // The two measures, to the receiving window and typed into a window.
    auto measureKeys = [&] {
        return measure(
            "key", [&] { receiver.Clear(); },
            [&](DWORD& tick) {
                return !receiver.Keys().empty() && ((tick = receiver.Keys()[0].tick), true);
            });
    };
    auto measureKeystrokes = [&](const char* what, harness::KeyboardWindow& window) {
        return measure(
            what, [&] { window.Clear(); },
            [&](DWORD& tick) {
                const auto downs = window.KeyDowns();
                return !downs.empty() && ((tick = downs[0].tick), true);
            });
    };
    const bool messagesArrived = measureKeys();

    // Keystroke latency: the same presses typed by the key map into an
    // ordinary window, once the receiving window is hidden.
    {
        std::ofstream keyMap(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc);
        keyMap << "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=B\r\n";
    }
    ShowWindow(receiver.Handle(), SW_HIDE);
    harness::KeyboardWindow typing("KV480BenchTyping", "Bench typing");
    typing.MakeForeground();
    const bool keystrokesArrived = messagesArrived && measureKeystrokes("keystroke", typing);
    wchar_t appData[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData);
    const std::wstring userFolder = std::wstring(appData) + L"\\Remote Control";
    const std::wstring userFile = userFolder + L"\\KeyMap.ini";
    bool layeredArrived = keystrokesArrived;
    if (keystrokesArrived) {
        CreateDirectoryW(userFolder.c_str(), nullptr);
        std::ofstream userMap(userFile.c_str(), std::ios::binary | std::ios::trunc);
        std::ofstream keyMap(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 20; ++i) {
            userMap << "[Player " << i << "]\r\nProgram=player" << i << ".exe\r\nKey1=X\r\n"
                    << "Key3 long=Y\r\nKey4 double=Z\r\n";
            keyMap << "[App " << i << "]\r\nClassName=NULL\r\nWindowName=*Přehled " << i
                   << "*\r\nKey2=X\r\nKey5 long=Y\r\n";
        }
        keyMap << "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=B\r\n";
    }
    layeredArrived = keystrokesArrived &&
                     measureKeystrokes("keystroke (both files, 20 sections by program)", typing);
    DeleteFileA((dir + "KeyMap.ini").c_str());
    DeleteFileW(userFile.c_str());
    if (!layeredArrived)
        return 1;

    // Both again with 16 clients on the LIRC stream, one of which never reads.
    {
        LircClients clients(16, lircPort);
        if (!clients.Connected()) {
            std::fprintf(stderr, "bench: KV480's LIRC stream did not take 16 clients\n");
            return 1;
        }
        lirc = &clients;
        std::printf("16 LIRC clients connected, one never reading:\n");
        receiver.BringToTop();
        const bool lircMessagesArrived = measureKeys();
        {
            std::ofstream keyMap(dir + "KeyMap.ini", std::ios::binary | std::ios::trunc);
            keyMap << "[Bench]\r\nClassName=NULL\r\nWindowName=NULL\r\nKey1=A\r\nKey2=B\r\n";
        }
        ShowWindow(receiver.Handle(), SW_HIDE);
        ShowWindow(typing.Handle(), SW_HIDE);
        // A window of its own: under Wine without a window manager the
        // keyboard focus follows a newly shown window, not one brought back.
        harness::KeyboardWindow lircTyping("KV480BenchLircTyping", "Bench typing, LIRC");
        lircTyping.MakeForeground();
        const bool lircKeystrokesArrived =
            lircMessagesArrived && measureKeystrokes("keystroke", lircTyping);
        DeleteFileA((dir + "KeyMap.ini").c_str());
        lirc = nullptr;
        std::printf("the 15 reading LIRC clients got %ld lines in all\n", clients.Lines());
        if (!lircKeystrokesArrived)
            return 1;
    }

    // Idle CPU with the port open.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.ProcessId());
    ULONGLONG before = CpuTime100ns(process);
    Sleep(idleMs);
    ULONGLONG after = CpuTime100ns(process);
    CloseHandle(process);
    std::printf("KV480 CPU time over %.0f s idle with the port open: %.1f ms\n", idleMs / 1000.0,
                static_cast<double>(after - before) / 10000.0);

    // Soak.
    HWND main = FindWindowA("CRemoteControlClass", "Remote Control");
    const int unixPid = UnixProcessOfResident();
    const ProcessFigures start = Measure(program.ProcessId(), unixPid);
    std::vector<double> reconnects;
    for (int i = 0; i < cycles; ++i) {
        device.reset();
        if (!harness::UnplugPort("COM1")) {
            std::fprintf(stderr, "bench: unplug %d failed\n", i);
            return 1;
        }
        harness::ClearLineState("COM1");
        if (!harness::ReplugPort("COM1")) {
            std::fprintf(stderr, "bench: replug %d failed\n", i);
            return 1;
        }
        const LONGLONG back = Now();
        AnnounceArrival(main);
        if (!harness::WaitUntil(PortOpenedAnew, 40000)) {
            std::fprintf(stderr, "bench: KV480 did not reopen its port in cycle %d\n", i);
            return 1;
        }
        reconnects.push_back(Milliseconds(Now() - back));
    }
    device = std::make_unique<harness::DevicePort>("COM11");
    device->SetLine(CBR_9600);
    receiver.Clear();
    ShowWindow(receiver.Handle(), SW_SHOW);
    receiver.BringToTop();
    // Frames in bursts that fit one read; every frame is a press.
    constexpr int kBurst = 50;
    size_t received = 0;
    for (int sent = 0; sent < soakFrames; sent += kBurst) {
        std::string burst;
        for (int i = 0; i < kBurst; ++i)
            burst += {0x12, static_cast<char>(0xED), codes[i % 2]};
        device->Write(burst);
        harness::WaitUntil([&] { return receiver.Keys().size() >= static_cast<size_t>(kBurst); },
                           5000);
        received += receiver.Keys().size();
        receiver.Clear();
    }
    const ProcessFigures end = Measure(program.ProcessId(), unixPid);
    if (cycles > 0)
        std::printf("soak: %d unplug/replug cycles, reopen after the replug p50 %.0f ms, max %.0f "
                    "ms\n",
                    cycles, Percentile(reconnects, 0.5),
                    *std::max_element(reconnects.begin(), reconnects.end()));
    std::printf("soak: %d key frames sent, %zu keys received\n", soakFrames, received);
    PrintFigures("start", start);
    PrintFigures("end", end);

    if (main != nullptr)
        PostMessageA(main, WM_CLOSE, 0, 0);
    program.WaitForExit(5000);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
    return 0;
}
