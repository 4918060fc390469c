// The carriers of input and programs: keystrokes and text as input, the
// pointer and its buttons, a program brought forward or started. Which
// action goes where is CKeyRouter's decision.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyActionEngine.h"
#include "IDesktopEffects.h"

class CActionSender {
public:
    // The program file of a window's process; for a Store app's frame, the
    // app's inside it. Empty when it cannot be read.
    static std::wstring ProgramOf(HWND hWnd);

    // False when Windows blocked the input part way.
    static bool SendKeys(const CKeyAction& action);
    static bool SendText(const std::string& strText);
    static bool PressMouse(CKeyAction::Mouse mouse);
    static void MoveMouse(CKeyAction::Mouse mouse, std::uint64_t nHeldMs);
    // Brings the program forward, or starts it: whether it happened, and
    // what the user must be told (it cannot be started or does not answer).
    static IDesktopEffects::Outcome Run(const CKeyAction& action);
};
