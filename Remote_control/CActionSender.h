// The carriers of input and programs: keystrokes and text as input, the
// pointer and its buttons, a program brought forward or started. Which
// action goes where is CKeyRouter's decision.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyActionEngine.h"
#include "CRunWarnings.h"
#include "IDesktopEffects.h"

class CActionSender {
public:
    // False when Windows blocked the input part way.
    static bool SendKeys(const CKeyAction& action);
    static bool SendText(const std::string& strText);
    static bool PressMouse(CKeyAction::Mouse mouse);
    static void MoveMouse(CKeyAction::Mouse mouse, std::uint64_t nHeldMs);
    // Brings the program forward, or starts it: whether it happened, and
    // what the user must be told (it cannot be started or does not answer).
    // strHead: the start of every warning, naming the line; hNotify gets
    // what a Run line's threads tell later (CRunWarnings).
    static IDesktopEffects::Outcome Run(const CKeyAction& action, const std::string& strHead,
                                        HWND hNotify);

    // On the main thread, what a Run line's thread reported: the started
    // program's window brought forward where it is still behind. The text
    // the user must be told, or empty.
    static std::string Settle(const CRunWarnings::Report& report);
};
