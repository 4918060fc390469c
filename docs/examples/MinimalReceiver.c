/*
 * MinimalReceiver.c - a complete receiving application for the KV480 remote
 * control, in plain C. Its caption shows what arrives:
 *
 *   "Arrow up: press", "Arrow up: repeat 3", "Arrow up: released after 3 repeats"
 *
 * Build with MinGW-w64 or Visual C++ (RemoteControl.h in the Include folder):
 *
 *   x86_64-w64-mingw32-gcc -Wall -I<Include> MinimalReceiver.c -o MinimalReceiver.exe -mwindows
 *   cl /W4 /I<Include> MinimalReceiver.c user32.lib
 *
 * and list it in RecvApp.ini:
 *
 *   [Minimal receiver]
 *   ClassName=MinimalReceiver
 *   WindowName=NULL
 */
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601 /* Windows 7: ChangeWindowMessageFilterEx */
#endif
#include <windows.h>

#include "RemoteControl.h"

static UINT g_keyMessage;     /* "WM_REMOTECONTROL" */
static UINT g_releaseMessage; /* "WM_REMOTECONTROL_RELEASE" */
static int g_repeats;         /* repeats of the key held now */

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    char caption[80];

    /* Registered messages have no fixed number: compare them before anything
       else. Any program can post them, so check the parameters too. */
    if (message != 0 && message == g_keyMessage) {
        if (RC_IS_KEY_MESSAGE(wParam, lParam)) {
            if (lParam == RC_NEW_PRESS) {
                g_repeats = 0;
                wsprintfA(caption, "%s: press", RC_KEY_NAME(wParam));
            } else {
                ++g_repeats;
                wsprintfA(caption, "%s: repeat %d", RC_KEY_NAME(wParam), g_repeats);
            }
            SetWindowTextA(window, caption);
        }
        return 0;
    }
    if (message != 0 && message == g_releaseMessage) {
        if (RC_IS_KEY(wParam)) {
            wsprintfA(caption, "%s: released after %d repeats", RC_KEY_NAME(wParam), g_repeats);
            SetWindowTextA(window, caption);
        }
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    WNDCLASSA windowClass;
    HWND window;
    MSG msg;

    (void)previous;
    (void)commandLine;
    g_keyMessage = RegisterWindowMessageA(RC_MESSAGE_NAME);
    g_releaseMessage = RegisterWindowMessageA(RC_RELEASE_MESSAGE_NAME);

    ZeroMemory(&windowClass, sizeof(windowClass));
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "MinimalReceiver"; /* ClassName= in RecvApp.ini */
    if (!RegisterClassA(&windowClass))
        return 1;
    window = CreateWindowA("MinimalReceiver", "Minimal receiver", WS_OVERLAPPEDWINDOW,
                           CW_USEDEFAULT, CW_USEDEFAULT, 420, 120, NULL, NULL, instance, NULL);
    if (window == NULL)
        return 1;

    /* Needed only when the program runs as administrator: Windows drops
       messages from KV480, which runs at the user's normal level, unless the
       window lets them in. */
    ChangeWindowMessageFilterEx(window, g_keyMessage, MSGFLT_ALLOW, NULL);
    ChangeWindowMessageFilterEx(window, g_releaseMessage, MSGFLT_ALLOW, NULL);

    ShowWindow(window, show);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
