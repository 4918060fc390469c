// Carries out what the action engine decided: keystrokes and text as
// input, a program brought forward or started, the pointer and its buttons.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyActionEngine.h"
#include "CRunWarnings.h"
#include "IKeyDesktop.h"

class CActionSender {
public:
    // Carries out the step: whether it happened, and what the user must be
    // told (a program that cannot be started or does not answer). strFileName
    // names the key map file of the step's line; hNotify gets what a Run
    // line's threads tell later (CRunWarnings).
    static IKeyDesktop::Outcome Carry(const CKeyActionEngine::Step& step,
                                      const std::string& strFileName, HWND hNotify);

    // On the main thread, what a Run line's thread reported: the started
    // program's window brought forward where it is still behind. The text
    // the user must be told, or empty.
    static std::string Settle(const CRunWarnings::Report& report);

    // Windows' text for an error code, as one line.
    static std::string ReasonOf(DWORD dwError);

private:
    // False when Windows blocked the input part way.
    static bool SendKeys(const CKeyAction& action);
    static bool SendText(const std::string& strText);
    static void MoveMouse(CKeyAction::Mouse mouse, std::uint64_t nHeldMs);
    static void PressMouse(CKeyAction::Mouse mouse);
    // strHead: the start of every warning, naming the line.
    static IKeyDesktop::Outcome Run(const CKeyAction& action, const std::string& strHead,
                                    HWND hNotify);
};
