// The demo receiving application's main window: lists the remote-control keys
// that arrive as the registered message and, on request, logs them.
#pragma once

#include "DemoOptions.h"

#include <windows.h>

#include <string>

class DemoWindow {
public:
    explicit DemoWindow(const DemoOptions& options);
    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Creates the window, runs the message loop until it is closed and
    // returns the exit code. On a failure before the loop: error says why and
    // the result is nonzero.
    int Run(HINSTANCE hInstance, int nCmdShow, std::string& error);

    // Lines kept in the list; older keys scroll away.
    static constexpr int HISTORY_SIZE = 15;

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate();
    void OnSize(int width, int height);
    void OnRemoteControl(WPARAM wParam, LPARAM lParam);
    void OnRelease(WPARAM wParam, LPARAM lParam);
    void ShowAndLog(const std::string& entry, const std::string& logLine);
    bool AppendToLog(const std::string& text) const;

    const DemoOptions& m_options;
    UINT m_remoteControlMessage = 0;
    UINT m_releaseMessage = 0;
    HWND m_hWnd = nullptr;
    HWND m_hHeader = nullptr;
    HWND m_hList = nullptr;
};
