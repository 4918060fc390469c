// The PC's own actions of the key map: lock, sleep, hibernate, screen off,
// shut down and restart. Each runs on a short thread of its own, so that the
// main window keeps answering the power messages that sleep sends it while
// Windows acts; a refusal comes back to the main window as WM_RC_PC_REFUSED.
#pragma once

#include <windows.h>

#include <string>

#include "CKeyAction.h"

class CPcActions {
public:
    // For tests only: KV480's arguments "--record-pc-actions-to <file>"
    // (nothing else starts it with that) make the last step of each action,
    // after every check and privilege, append a line to the file instead of
    // calling Windows, since the call would end the test: the action's
    // KeyMap.ini word, and after it how Windows would be asked where there is
    // a choice. A file that cannot be written is a refusal.
    static constexpr const char* RECORD_OPTION = "--record-pc-actions-to";

    // Starts the action; hNotify gets the refusal and the screen-off
    // request. ERROR_SUCCESS, or the error when no thread could start.
    static DWORD Start(CKeyAction::Pc pc, HWND hNotify);
    // The warning for a refused action, with Windows' reason.
    static std::string RefusedText(CKeyAction::Pc pc, DWORD dwError);

private:
    struct Request {
        CKeyAction::Pc pc;
        HWND hNotify;
    };
    static unsigned WINAPI ThreadProc(void* pParam);
    // ERROR_SUCCESS when Windows took the action, else its error.
    static DWORD Carry(CKeyAction::Pc pc, HWND hNotify);
    static DWORD SleepOrHibernate(CKeyAction::Pc pc, HWND hNotify);
    static DWORD EnableShutdownPrivilege();
};
