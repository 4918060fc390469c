#include "DemoWindow.h"

#include "KeyEventText.h"
#include "RemoteControl.h"
#include "Timestamp.h"

#include <cstdio>

namespace {

const int WINDOW_WIDTH = 340;
const int WINDOW_HEIGHT = 360;
const int HEADER_HEIGHT = 40;
const int MARGIN = 6;

std::uint64_t NowMicroseconds() {
    LARGE_INTEGER count{};
    LARGE_INTEGER frequency{};
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return Timestamp::Microseconds(static_cast<std::uint64_t>(count.QuadPart),
                                   static_cast<std::uint64_t>(frequency.QuadPart));
}

} // namespace

DemoWindow::DemoWindow(const DemoOptions& options) : m_options(options) {}

int DemoWindow::Run(HINSTANCE hInstance, int nCmdShow, std::string& error) {
    // The resident program registers the same name: both get the same number.
    m_remoteControlMessage = RegisterWindowMessageA(RC_MESSAGE_NAME);
    if (m_remoteControlMessage == 0) {
        error = std::string("cannot register the message ") + RC_MESSAGE_NAME;
        return 1;
    }
    // Without the release message the keys still arrive: 0 matches nothing.
    m_releaseMessage = RegisterWindowMessageA(RC_RELEASE_MESSAGE_NAME);
    // Checked now rather than at the first key, which nobody may be watching.
    if (!m_options.logPath.empty() && !AppendToLog("")) {
        error = "cannot write the log file " + m_options.logPath;
        return 1;
    }

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = m_options.className.c_str();
    if (RegisterClassExA(&wc) == 0) {
        error = "cannot register the window class " + m_options.className;
        return 1;
    }

    // The receiving application is found by class and caption (RecvApp.ini),
    // so the window must be top-level and keep its caption.
    HWND hWnd = CreateWindowExA(0, m_options.className.c_str(), m_options.caption.c_str(),
                                WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, WINDOW_WIDTH,
                                WINDOW_HEIGHT, nullptr, nullptr, hInstance, this);
    if (hWnd == nullptr) {
        error = "cannot create the window";
        UnregisterClassA(m_options.className.c_str(), hInstance);
        return 1;
    }
    switch (m_options.start) {
    case DemoOptions::Start::Hidden:
        break;
    case DemoOptions::Start::Minimized:
        ShowWindow(hWnd, SW_SHOWMINNOACTIVE);
        break;
    case DemoOptions::Start::Normal:
        ShowWindow(hWnd, nCmdShow);
        UpdateWindow(hWnd);
        break;
    }

    MSG msg{};
    int result = 0;
    while ((result = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    UnregisterClassA(m_options.className.c_str(), hInstance);
    return result < 0 ? 1 : static_cast<int>(msg.wParam);
}

LRESULT CALLBACK DemoWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        DemoWindow* self = static_cast<DemoWindow*>(create->lpCreateParams);
        self->m_hWnd = hWnd;
        SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    DemoWindow* self = reinterpret_cast<DemoWindow*>(GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

LRESULT DemoWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // A registered message has no fixed number, so it is tested before the
    // switch over the system's messages.
    if (message == m_remoteControlMessage) {
        OnRemoteControl(wParam, lParam);
        return 0;
    }
    if (message != 0 && message == m_releaseMessage) {
        OnRelease(wParam, lParam);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(m_hWnd, message, wParam, lParam);
    }
}

void DemoWindow::OnCreate() {
    const HINSTANCE hInstance =
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(m_hWnd, GWLP_HINSTANCE));
    char header[128] = {};
    std::snprintf(header, sizeof(header), "%s = 0x%04X\nLast keys, newest first:", RC_MESSAGE_NAME,
                  m_remoteControlMessage);
    m_hHeader = CreateWindowExA(0, "STATIC", header, WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, m_hWnd,
                                nullptr, hInstance, nullptr);
    m_hList = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0,
                              m_hWnd, nullptr, hInstance, nullptr);
    const WPARAM font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(m_hHeader, WM_SETFONT, font, FALSE);
    SendMessageA(m_hList, WM_SETFONT, font, FALSE);
}

void DemoWindow::OnSize(int width, int height) {
    MoveWindow(m_hHeader, MARGIN, MARGIN, width - 2 * MARGIN, HEADER_HEIGHT, TRUE);
    const int listTop = MARGIN + HEADER_HEIGHT;
    MoveWindow(m_hList, MARGIN, listTop, width - 2 * MARGIN, height - listTop - MARGIN, TRUE);
}

// wParam: key number 1 to 23; lParam: 0 for a new press, 1 for a repeat while
// the key is held. Any process can post this message, so anything else is
// ignored.
void DemoWindow::OnRemoteControl(WPARAM wParam, LPARAM lParam) {
    const std::uint64_t now = NowMicroseconds();
    if (!RC_IS_KEY_MESSAGE(wParam, lParam)) {
        return;
    }
    const int key = static_cast<int>(wParam);
    const int repeat = static_cast<int>(lParam);
    ShowAndLog(KeyEventText::ListEntry(key, repeat), KeyEventText::LogLine(key, repeat, now));
}

// wParam: the key number whose hold has ended; lParam: 0.
void DemoWindow::OnRelease(WPARAM wParam, LPARAM lParam) {
    const std::uint64_t now = NowMicroseconds();
    if (!RC_IS_KEY(wParam) || lParam != 0) {
        return;
    }
    const int key = static_cast<int>(wParam);
    ShowAndLog(KeyEventText::ReleaseListEntry(key), KeyEventText::ReleaseLogLine(key, now));
}

void DemoWindow::ShowAndLog(const std::string& entry, const std::string& logLine) {
    if (!m_options.logPath.empty()) {
        AppendToLog(logLine);
    }
    SendMessageA(m_hList, LB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    while (SendMessageA(m_hList, LB_GETCOUNT, 0, 0) > HISTORY_SIZE) {
        SendMessageA(m_hList, LB_DELETESTRING, HISTORY_SIZE, 0);
    }
}

// Opened for each line and closed again, so the line is on disk at once and
// readers may open, truncate or delete the file while the program runs.
bool DemoWindow::AppendToLog(const std::string& text) const {
    HANDLE hFile = CreateFileA(m_options.logPath.c_str(), FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok = text.empty() || (WriteFile(hFile, text.data(), static_cast<DWORD>(text.size()),
                                               &written, nullptr) &&
                                     written == text.size());
    CloseHandle(hFile);
    return ok;
}
