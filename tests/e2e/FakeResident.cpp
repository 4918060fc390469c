// Stands in for the resident program in the configuration utility's tests: a
// main window of the resident program's class and caption that ignores
// WM_CLOSE, as a hung program would. When it starts it leaves the file
// "<its own path>.ran", so that a test sees that it ran even when another
// program started it (planted as a decoy). It ends on the registered message
// "KV480cfgTest.FakeResident.Quit", which tests send when they clean up, and
// by itself after a while, so that a decoy never outlives the test run.
#include <windows.h>

#include <string>

namespace {

const char* const kClassName = "CRemoteControlClass";
const char* const kCaption = "Remote Control";
const UINT_PTR kLifetimeTimer = 1;
const UINT kLifetimeMs = 20000;
UINT g_quitMessage = 0;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == g_quitMessage && g_quitMessage != 0) {
        DestroyWindow(window);
        return 0;
    }
    switch (message) {
    case WM_CLOSE:
        return 0; // ignored: only termination ends this program
    case WM_TIMER:
        if (wParam == kLifetimeTimer) {
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void LeaveTrace() {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, static_cast<DWORD>(sizeof(path)));
    if (length == 0 || length >= sizeof(path)) {
        return;
    }
    const std::string trace = std::string(path, length) + ".ran";
    const HANDLE file = CreateFileA(trace.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string commandLine = GetCommandLineA();
        DWORD written = 0;
        WriteFile(file, commandLine.data(), static_cast<DWORD>(commandLine.size()), &written,
                  nullptr);
        CloseHandle(file);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LeaveTrace();
    g_quitMessage = RegisterWindowMessageA("KV480cfgTest.FakeResident.Quit");
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) {
        return 1;
    }
    const HWND window = CreateWindowA(kClassName, kCaption, WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                                      nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    SetTimer(window, kLifetimeTimer, kLifetimeMs, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        DispatchMessageA(&msg);
    }
    return 2; // not a termination's exit code
}
