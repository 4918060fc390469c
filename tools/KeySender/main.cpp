// KeySender: posts a key of the remote control, its repeats and its release
// to a receiving application as KV480 would, with no receiver and no KV480.
// See --help.
#include "CRecvApp.h"
#include "KeyPostPlan.h"
#include "KeySenderOptions.h"
#include "ReceivingApps.h"
#include "RemoteControl.h"
#include "TargetWindow.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

const int EXIT_SENT = 0;
const int EXIT_NO_WINDOW = 1;
const int EXIT_BAD_ARGUMENTS = 2;
const int EXIT_NOT_LOADED = 3;

const char* OrNull(const std::string& text) {
    return text.empty() ? nullptr : text.c_str();
}

const char* KindText(KeyPostPlan::Kind kind) {
    switch (kind) {
    case KeyPostPlan::Kind::Press:
        return "press";
    case KeyPostPlan::Kind::Repeat:
        return "repeat";
    case KeyPostPlan::Kind::Release:
        return "release";
    }
    return "?";
}

// Posts one message, reporting a refusal (a window of a higher integrity
// level refuses what it has not let through its message filter).
bool Post(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (PostMessageA(hWnd, message, wParam, lParam)) {
        return true;
    }
    const DWORD dwError = GetLastError();
    std::fprintf(stderr, "KeySender: the window refused the message (error %lu)%s\n",
                 static_cast<unsigned long>(dwError),
                 dwError == ERROR_ACCESS_DENIED
                     ? ": it runs as administrator and does not let the message in"
                     : "");
    return false;
}

int Send(const KeySenderOptions& options, const CRecvApp& apps) {
    const UINT keyMessage = RegisterWindowMessageA(RC_MESSAGE_NAME);
    const UINT releaseMessage = RegisterWindowMessageA(RC_RELEASE_MESSAGE_NAME);
    // Looked up afresh for every message, as KV480 does.
    auto choose = [&]() -> HWND {
        return options.target == KeySenderOptions::Target::Window
                   ? FindWindowA(OrNull(options.className), OrNull(options.caption))
                   : ChooseTargetWindow(apps);
    };
    const WPARAM key = static_cast<WPARAM>(options.key);
    HWND pressed = nullptr;
    const ULONGLONG start = GetTickCount64();
    for (const KeyPostPlan::Post& post : KeyPostPlan::Plan(options.holdMs, options.intervalMs)) {
        const ULONGLONG due = start + post.atMs;
        const ULONGLONG now = GetTickCount64();
        if (due > now) {
            Sleep(static_cast<DWORD>(due - now));
        }
        // The release goes to the window that got the press, whatever is on top.
        const HWND hWnd = post.kind == KeyPostPlan::Kind::Release ? pressed : choose();
        if (hWnd == nullptr) {
            if (post.kind == KeyPostPlan::Kind::Press) {
                std::fprintf(stderr, "KeySender: no window gets the keys (RecvAppCheck tells "
                                     "why)\n");
                return EXIT_NO_WINDOW;
            }
            continue; // KV480 drops a repeat that finds no window
        }
        const bool sent =
            post.kind == KeyPostPlan::Kind::Release
                ? Post(hWnd, releaseMessage, key, 0)
                : Post(hWnd, keyMessage, key,
                       post.kind == KeyPostPlan::Kind::Repeat ? RC_REPEAT : RC_NEW_PRESS);
        if (!sent) {
            return EXIT_NO_WINDOW;
        }
        if (post.kind == KeyPostPlan::Kind::Press) {
            pressed = hWnd;
        }
        if (!options.quiet) {
            // The whole description once: the caption may change with each key.
            std::printf("%6lu ms  %-7s %2d %s -> %s\n", static_cast<unsigned long>(post.atMs),
                        KindText(post.kind), options.key, RC_KEY_NAME(options.key),
                        post.kind == KeyPostPlan::Kind::Press
                            ? ReceivingApps::DescribeWindow(hWnd).c_str()
                            : ReceivingApps::WindowHandle(hWnd).c_str());
            std::fflush(stdout);
        }
    }
    return EXIT_SENT;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    KeySenderOptions options;
    std::string error;
    if (!options.Parse(args, error)) {
        std::fprintf(stderr, "KeySender: %s\nTry KeySender --help.\n", error.c_str());
        return EXIT_BAD_ARGUMENTS;
    }
    if (options.help) {
        std::fputs(KeySenderOptions::Usage(), stdout);
        return EXIT_SENT;
    }
    CRecvApp apps;
    if (options.target != KeySenderOptions::Target::Window) {
        std::string source;
        if (!ReceivingApps::Load(apps, options.iniPath, source, error)) {
            std::fprintf(stderr, "KeySender: %s: KV480 would show \"%s\" and end\n", source.c_str(),
                         error.c_str());
            return EXIT_NOT_LOADED;
        }
    }
    return Send(options, apps);
}
