// Window chores for scripts that drive the programs under Wine:
//   rcwin wait <class> <caption> [timeout ms]   waits until such a window exists
//   rcwin close <class> <caption> [timeout ms]  posts WM_CLOSE to it and waits
//                                              until its process has ended
//   rcwin command <class> <caption> <id> [timeout ms]
//                                              posts WM_COMMAND id to it, as a
//                                              menu choice would
//   rcwin click <class> <caption> <id> [timeout ms]
//                                              clicks its control <id> (BM_CLICK)
//   rcwin answer <class> <caption> <id> [timeout ms]
//                                              prints the text of a message box,
//                                              presses its button <id> and waits
//                                              until the box has gone
//   rcwin box <class> <caption> [timeout ms]    waits until such a message box
//                                              exists (a box may bear its
//                                              dialog's title: only boxes count)
//   rcwin rect <class> <caption> [timeout ms]   prints the window's place on the
//                                              screen as WxH+X+Y
//   rcwin move <class> <caption> <x> <y> [timeout ms]
//                                              moves the window's top left corner
//   rcwin rclick <class> <caption> [timeout ms] right-clicks the window's centre
//                                              with the mouse, as a user would
//   rcwin key <class> <caption> <char> [timeout ms]
//                                              types a character (a menu's
//                                              mnemonic) into the window
//   rcwin text <class> <caption> [timeout ms]   prints the window's text
//                                              (WM_GETTEXT, so also a control's)
//   rcwin front <class> <caption> [timeout ms]  makes it the foreground window
//   rcwin select <class> <caption> <id> <index> [timeout ms]
//                                              selects item <index> of its list
//                                              or combo box <id>, as a click would
//   rcwin hover <class> <caption> [timeout ms]  moves the pointer over the
//                                              window's centre, as a user would
// A class "parent>child" names a child window of a top-level window.
// "-" as class or caption matches any. Exit 0 on success, 1 on time-out, 2 on
// bad usage.
#include <windows.h>

#include "Pointer.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

// The static control that holds a message box's text.
const int MESSAGE_BOX_TEXT_ID = 0xFFFF;

const char* OrNull(const char* text) {
    return std::strcmp(text, "-") == 0 ? nullptr : text;
}

bool WaitUntil(bool (*condition)(HWND, void*), HWND window, void* context, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition(window, context))
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(20);
    }
}

struct WindowQuery {
    const char* className;
    const char* caption;
    HWND found;
    // Only a message box: a window with the box's text control.
    bool messageBox;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM context) {
    auto* query = reinterpret_cast<WindowQuery*>(context);
    char className[64] = "";
    char caption[256] = "";
    GetClassNameA(window, className, sizeof(className));
    GetWindowTextA(window, caption, sizeof(caption));
    if (IsWindowVisible(window) && GetDlgItem(window, MESSAGE_BOX_TEXT_ID) != nullptr &&
        (query->className == nullptr || lstrcmpiA(className, query->className) == 0) &&
        (query->caption == nullptr || std::strcmp(caption, query->caption) == 0)) {
        query->found = window;
        return FALSE;
    }
    return TRUE;
}

bool Exists(HWND, void* context) {
    auto* query = static_cast<WindowQuery*>(context);
    const char* child = query->className ? std::strchr(query->className, '>') : nullptr;
    if (query->messageBox) {
        query->found = nullptr;
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(query));
    } else if (child == nullptr) {
        query->found = FindWindowA(query->className, query->caption);
    } else {
        const std::string parentClass(query->className, child);
        HWND parent = FindWindowA(parentClass.c_str(), nullptr);
        query->found = parent ? FindWindowExA(parent, nullptr, child + 1, query->caption) : nullptr;
    }
    return query->found != nullptr;
}

bool RightClick(HWND window) {
    RECT rect;
    if (!GetWindowRect(window, &rect) ||
        !SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2))
        return false;
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool TypeCharacter(HWND window, char character) {
    const SHORT scan = VkKeyScanA(character);
    return scan != -1 && PostMessageA(window, WM_KEYDOWN, LOBYTE(scan), 0) &&
           PostMessageA(window, WM_CHAR, static_cast<unsigned char>(character), 0);
}

bool Gone(HWND window, void*) {
    return !IsWindow(window);
}

bool ProcessEnds(HWND window, DWORD timeoutMs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended =
        process == nullptr || WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    if (process != nullptr)
        CloseHandle(process);
    if (!ended)
        std::fprintf(stderr, "rcwin: process %lu did not end\n", static_cast<unsigned long>(pid));
    return ended;
}

bool ParseNumber(const char* text, unsigned long& number) {
    char* end = nullptr;
    number = std::strtoul(text, &end, 0);
    return end != text && *end == '\0' && number <= std::numeric_limits<WORD>::max();
}

// How many arguments follow class and caption; -1 for an unknown verb.
int ArgumentCount(const std::string& verb) {
    if (verb == "wait" || verb == "close" || verb == "rect" || verb == "rclick" || verb == "text" ||
        verb == "front" || verb == "hover" || verb == "box")
        return 0;
    if (verb == "command" || verb == "click" || verb == "answer" || verb == "key")
        return 1;
    if (verb == "move" || verb == "select")
        return 2;
    return -1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: rcwin wait|close|rect|rclick|text|front|hover|box <class> <caption> "
                 "[timeout ms]\n"
                 "       rcwin command|click|answer <class> <caption> <id> [timeout ms]\n"
                 "       rcwin move <class> <caption> <x> <y> [timeout ms]\n"
                 "       rcwin select <class> <caption> <id> <index> [timeout ms]\n"
                 "       rcwin key <class> <caption> <char> [timeout ms]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return Usage();
    const std::string verb = argv[1];
    const int count = ArgumentCount(verb);
    if (count < 0 || argc < 4 + count)
        return Usage();
    unsigned long numbers[2] = {0, 0};
    const bool typesKey = verb == "key";
    if (typesKey && std::strlen(argv[4]) != 1)
        return Usage();
    for (int i = 0; i < count && !typesKey; ++i) {
        if (!ParseNumber(argv[4 + i], numbers[i]))
            return Usage();
    }
    const WPARAM id = numbers[0];
    const int next = 4 + count;
    const DWORD timeoutMs =
        argc > next ? static_cast<DWORD>(std::strtoul(argv[next], nullptr, 10)) : 10000;
    WindowQuery query = {OrNull(argv[2]), OrNull(argv[3]), nullptr,
                         verb == "answer" || verb == "box"};
    if (!WaitUntil(Exists, nullptr, &query, timeoutMs)) {
        std::fprintf(stderr, "rcwin: no window %s / %s\n", argv[2], argv[3]);
        return 1;
    }
    HWND window = query.found;
    if (verb == "wait" || verb == "box")
        return 0;
    if (verb == "command")
        return PostMessageA(window, WM_COMMAND, id, 0) ? 0 : 1;
    if (verb == "click") {
        HWND control = GetDlgItem(window, static_cast<int>(id));
        return control != nullptr && PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
    }
    if (verb == "answer") {
        char text[1024] = "";
        GetDlgItemTextA(window, MESSAGE_BOX_TEXT_ID, text, sizeof(text));
        std::printf("%s\n", text);
        std::fflush(stdout);
        if (!PostMessageA(window, WM_COMMAND, id, 0))
            return 1;
        return WaitUntil(Gone, window, nullptr, timeoutMs) ? 0 : 1;
    }
    if (verb == "rect") {
        RECT rect;
        if (!GetWindowRect(window, &rect))
            return 1;
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left,
                    rect.top);
        return 0;
    }
    if (verb == "rclick")
        return RightClick(window) ? 0 : 1;
    if (verb == "select") {
        const int control = static_cast<int>(numbers[0]);
        const HWND item = GetDlgItem(window, control);
        char itemClass[32] = "";
        GetClassNameA(item, itemClass, sizeof(itemClass));
        const bool list = lstrcmpiA(itemClass, "ListBox") == 0;
        if (item == nullptr ||
            SendMessageA(item, list ? LB_SETCURSEL : CB_SETCURSEL, numbers[1], 0) < 0)
            return 1;
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(control, list ? LBN_SELCHANGE : CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(item));
        return 0;
    }
    if (verb == "hover") {
        RECT rect;
        return GetWindowRect(window, &rect) && harness::MovePointer({(rect.left + rect.right) / 2,
                                                                     (rect.top + rect.bottom) / 2})
                   ? 0
                   : 1;
    }
    if (verb == "text") {
        char text[4096] = "";
        SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, timeoutMs, nullptr);
        text[sizeof(text) - 1] = '\0';
        std::printf("%s\n", text);
        return 0;
    }
    if (verb == "front") {
        SetForegroundWindow(window);
        return WaitUntil([](HWND w, void*) { return GetForegroundWindow() == w; }, window, nullptr,
                         timeoutMs)
                   ? 0
                   : 1;
    }
    if (typesKey)
        return TypeCharacter(window, argv[4][0]) ? 0 : 1;
    if (verb == "move") {
        return SetWindowPos(window, nullptr, static_cast<int>(numbers[0]),
                            static_cast<int>(numbers[1]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    return ProcessEnds(window, timeoutMs) ? 0 : 1;
}
