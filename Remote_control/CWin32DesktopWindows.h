// The key path's windows on Windows: the receiving applications' windows,
// the key-map editor and the window in front, and their facts.
#pragma once

#include <windows.h>

#include "IDesktopWindows.h"

class CRecvApp;

class CWin32DesktopWindows : public IDesktopWindows {
public:
    // nKeyMsg and nReleaseMsg: the registered numbers of "WM_REMOTECONTROL"
    // and of the release (0: releases are not sent).
    CWin32DesktopWindows(const CRecvApp& recvApps, UINT nKeyMsg, UINT nReleaseMsg);
    CWin32DesktopWindows(const CWin32DesktopWindows&) = delete;
    CWin32DesktopWindows& operator=(const CWin32DesktopWindows&) = delete;

    PostResult Post(Window window, Message message, int nKey, int nRepeat) override;
    Window KeysEditorInFront() const override;
    Window ReceivingWindow() const override;
    Window Foreground() const override;
    Window UnderPointer() const override;
    WindowFacts FactsOf(Window window) const override;
    std::string ProgramOf(Window window) const override;
    bool IsSessionLocked() const override;
    bool IsElevated() const override;

private:
    const CRecvApp& m_recvApps;
    UINT m_nKeyMsg;
    UINT m_nReleaseMsg;
    // KV480's own integrity level (SECURITY_MANDATORY_*_RID).
    DWORD m_dwOwnIntegrity;
    bool m_bElevated;
};
