// The editor's keystroke capture under Wine, with keys sent by SendInput.
#include "CKeystrokeCapture.h"

#include <gtest/gtest.h>

namespace {

void SendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0u;
    SendInput(1, &input, sizeof(input));
}

// Pumps this thread's messages (the hook runs in them) until nMessage comes.
bool WaitForMessage(HWND hWnd, UINT nMessage, MSG& got, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == hWnd && msg.message == nMessage) {
                got = msg;
                return true;
            }
            DispatchMessageA(&msg);
        }
    }
    return false;
}

TEST(CKeystrokeCaptureTest, AModifierHeldBeforeTheCaptureStartsGoesWithTheKey) {
    const HWND window =
        CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    SendKey(VK_CONTROL, false);
    MSG got{};
    {
        CKeystrokeCapture capture;
        ASSERT_TRUE(capture.Start(window, WM_APP));
        SendKey('A', false);
        SendKey('A', true);
        EXPECT_TRUE(WaitForMessage(window, WM_APP, got, 5000));
    }
    SendKey(VK_CONTROL, true);
    DestroyWindow(window);
    EXPECT_EQ(WPARAM('A'), got.wParam);
    EXPECT_EQ(CKeystrokeCapture::HELD_CTRL, got.lParam);
}

} // namespace
