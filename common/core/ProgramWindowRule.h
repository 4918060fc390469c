// Which window of a program a Run line brings forward: one the user could
// switch to with Alt+Tab. No operating system here, so every kind of window
// can be tried with made-up facts.
#pragma once

#include <string>

class ProgramWindowRule {
public:
    // The frame that Windows shows around a Store app; the app itself runs in
    // another process inside it.
    static constexpr const char* FRAME_HOST = "ApplicationFrameHost.exe";

    struct Facts {
        bool bVisible = false;
        bool bOwned = false;     // owned by another window (a dialog, a palette)
        bool bAppWindow = false; // WS_EX_APPWINDOW: on the taskbar even when owned
        bool bToolWindow = false;
        bool bCloaked = false; // on another virtual desktop, or hidden by the shell
        bool bOwnProcess = false;
        std::string strClass;
    };

    // Whether Alt+Tab would show the window as a program's.
    static bool IsProgramWindow(const Facts& facts);
    // Whether the program (a path or a file name) is the Store apps' frame,
    // whose window stands for the program inside it.
    static bool IsFrameHost(const std::string& strProgram);
};
