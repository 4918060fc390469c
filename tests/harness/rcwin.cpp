// Window chores for scripts that drive the programs under Wine:
//   rcwin wait <class> <caption> [timeout ms]   waits until such a window exists
//   rcwin close <class> <caption> [timeout ms]  posts WM_CLOSE to it and waits
//                                              until its process has ended
//   rcwin command <class> <caption> <id> [timeout ms]
//                                              posts WM_COMMAND id to it, as a
//                                              menu choice would
// "-" as class or caption matches any. Exit 0 on success, 1 on time-out, 2 on
// bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

const char* OrNull(const char* text) {
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

HWND WaitForWindow(const char* className, const char* caption, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(className, caption);
        if (window != nullptr || GetTickCount() - start >= timeoutMs)
            return window;
        Sleep(20);
    }
}

int Usage() {
    std::fprintf(stderr, "usage: rcwin wait|close <class> <caption> [timeout ms]\n"
                         "       rcwin command <class> <caption> <id> [timeout ms]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return Usage();
    const bool command = std::strcmp(argv[1], "command") == 0;
    if (!command && std::strcmp(argv[1], "wait") != 0 && std::strcmp(argv[1], "close") != 0)
        return Usage();
    int next = 4;
    WPARAM id = 0;
    if (command) {
        if (argc < 5)
            return Usage();
        char* end = nullptr;
        const unsigned long value = std::strtoul(argv[4], &end, 0);
        if (end == argv[4] || *end != '\0' || value > std::numeric_limits<WORD>::max())
            return Usage();
        id = static_cast<WPARAM>(value);
        next = 5;
    }
    DWORD timeoutMs =
        argc > next ? static_cast<DWORD>(std::strtoul(argv[next], nullptr, 10)) : 10000;
    HWND window = WaitForWindow(OrNull(argv[2]), OrNull(argv[3]), timeoutMs);
    if (window == nullptr) {
        std::fprintf(stderr, "rcwin: no window %s / %s\n", argv[2], argv[3]);
        return 1;
    }
    if (std::strcmp(argv[1], "wait") == 0)
        return 0;
    if (command)
        return PostMessageA(window, WM_COMMAND, id, 0) ? 0 : 1;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    bool ended = process == nullptr || WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    if (process != nullptr)
        CloseHandle(process);
    if (!ended)
        std::fprintf(stderr, "rcwin: process %lu did not end\n", static_cast<unsigned long>(pid));
    return ended ? 0 : 1;
}
