// DemoReceiver: a receiving application for the remote control, kept small as
// a sample for authors of real ones. See --help and DemoWindow.cpp.
#include "DemoOptions.h"
#include "DemoWindow.h"

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// To the console the program was started from, if any; else a message box.
void Tell(const std::string& text, bool isError) {
    HANDLE hOut = GetStdHandle(isError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD written = 0;
    if (hOut != nullptr && hOut != INVALID_HANDLE_VALUE &&
        WriteFile(hOut, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
        return;
    }
    MessageBoxA(nullptr, text.c_str(), "DemoReceiver",
                MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow) {
    std::vector<std::string> args;
    for (int i = 1; i < __argc; ++i) {
        args.emplace_back(__argv[i]);
    }
    DemoOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        Tell("DemoReceiver: " + error + "\n\n" + DemoOptions::Usage(), true);
        return 2;
    }
    if (options.help) {
        Tell(DemoOptions::Usage(), false);
        return 0;
    }
    DemoWindow window(options);
    const int result = window.Run(hInstance, nCmdShow, error);
    if (!error.empty()) {
        Tell("DemoReceiver: " + error + "\n", true);
    }
    return result;
}
