// KV480's entry under HKEY_CURRENT_USER\Software\VEKO\KV480\Running\<session>:
// which key maps it reads, whether it runs as administrator, its version and
// the mode that is on (CPublishedState names the values). Only KV480 writes
// it: at its start, at each switch of a mode, and it removes it at its end.
// The editor reads it to say what a change of the user's key map will do.
//
// The registry rather than a shared-memory section: HKEY_CURRENT_USER is the
// same key for an elevated KV480 and the user's unelevated editor and is
// already per user, with no object name another user could take first; a
// crashed KV480's entry is recognised by its process. A section would need a
// name per user and session and a label that lets a lower integrity level
// read it.
#pragma once

#include <windows.h>

#include "CPublishedState.h"

#include <string>

class CRunningState {
public:
    // Registered window message that asks KV480 to end, so that the editor
    // can start it again at the user's level. KV480 takes it also from a
    // program of a lower integrity level: ending is all it does.
    static constexpr const char* END_MESSAGE_NAME = "VEKO_KV480_EndForRestart";

    CRunningState() = default;
    ~CRunningState();
    CRunningState(const CRunningState&) = delete;
    CRunningState& operator=(const CRunningState&) = delete;

    // KV480's side. strUserFile: the user's key map it reads, empty when it
    // reads only the installation's.
    void Publish(const std::string& strUserFile, const std::string& strInstalledFile,
                 bool bElevated);
    void PublishMode(const std::string& strMode);
    // Removes the entry, once the program ends.
    void Withdraw();

    // The editor's side: what the KV480 of this user and session publishes.
    static CPublishedState Read();

private:
    // The session's subkey: its name, and its path below HKEY_CURRENT_USER.
    static std::wstring SessionName();
    static std::wstring SessionKey();

    HKEY m_hKey = nullptr;
};
