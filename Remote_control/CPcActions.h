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
    // For tests only: when this environment variable names a file, each
    // action is appended to it as a line (its KeyMap.ini word) instead of
    // carried out, since carrying it out would end the test; a file that
    // cannot be written is a refusal. No user sets a variable of this name.
    static constexpr const char* RECORD_VARIABLE = "KV480_TEST_RECORD_PC_ACTIONS_TO";

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
    static DWORD Record(CKeyAction::Pc pc, const std::wstring& strFile);
    static DWORD EnableShutdownPrivilege();
};
