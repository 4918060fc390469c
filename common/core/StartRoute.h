// How KV480 is started by a program that may run elevated (the configuration
// utility, the setup). No operating system involved.
#pragma once

enum class StartRoute {
    // Through the desktop shell: the program runs at the signed-in user's
    // normal level, whatever the caller's rights.
    DesktopShell,
    // As a child of the caller, with the caller's rights.
    CreateProcess
};

// An elevated caller goes through the desktop shell where there is one; a
// caller that is not elevated has nothing to shed and starts KV480 itself
// (and can wait until it is ready).
StartRoute ChooseStartRoute(bool bCallerElevated, bool bDesktopShellAvailable);
