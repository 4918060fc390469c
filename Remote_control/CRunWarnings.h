// What Run lines' threads report after the key was handled: a program the
// desktop shell would not start, or a started program's window that showed
// behind the window in front and is to be brought forward. Kept here for the
// main window, which each report is announced to with WM_RC_RUN_WARNING: a
// posted message carries nothing that another process could forge.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class CRunWarnings {
public:
    struct Report {
        std::string strHead;    // the start of the warning: the Run line
        std::string strWarning; // the rest; empty for a window to bring forward
        // The started program's window, shown behind the window in front:
        // brought forward by the main thread, whose input state Windows
        // weighs, and not by the thread that found it.
        HWND hStarted = nullptr;
        bool bMayTakeForeground = false;
    };

    // Kept (the oldest dropped beyond a few) and announced to hNotify.
    static void Tell(HWND hNotify, const Report& report);
    // What was reported since the last call, oldest first.
    static std::vector<Report> Take();
};
