// Carries out what the action engine decided: keystrokes and text as
// input, a program brought forward or started, the pointer and its buttons.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyActionEngine.h"

class CActionSender {
public:
    // Carries out the step; returns what the user must be told (a program
    // that cannot be started), empty when all went well. strFileName names
    // the key map file of the step's line.
    static std::string Carry(const CKeyActionEngine::Step& step, const std::string& strFileName);
    // Windows' text for an error code, as one line.
    static std::string ReasonOf(DWORD dwError);

private:
    static void SendKeys(const CKeyAction& action);
    static void SendText(const std::string& strText);
    static void MoveMouse(CKeyAction::Mouse mouse, std::uint64_t nHeldMs);
    static void PressMouse(CKeyAction::Mouse mouse);
    // Empty on success, else Windows' reason.
    static std::string Run(const CKeyAction& action);
};
