// The key path's desktop on Windows: the receiving applications' windows,
// the test dialog, the key-map editor and the window in front, the user's
// key maps, input, the action note and the tray's balloons.
#pragma once

#include <windows.h>

#include "CActionNote.h"
#include "CKeyMapFile.h"
#include "CPresenterOverlays.h"
#include "IKeyDesktop.h"

class CDlgTest;
class CLircServer;
class CRecvApp;
class CTrayIcon;

class CWin32KeyDesktop : public IKeyDesktop {
public:
    // nKeyMsg and nReleaseMsg: the registered numbers of "WM_REMOTECONTROL"
    // and of the release (0: releases are not sent).
    CWin32KeyDesktop(const CRecvApp& recvApps, const CDlgTest& dlgTest, CTrayIcon& trayIcon,
                     CLircServer& lirc, CPresenterOverlays& overlays, UINT nKeyMsg,
                     UINT nReleaseMsg);
    CWin32KeyDesktop(const CWin32KeyDesktop&) = delete;
    CWin32KeyDesktop& operator=(const CWin32KeyDesktop&) = delete;

    // Opens the user's KeyMap.ini and the one in the folder Path; hMainWindow
    // gets the PC's actions' late refusals (WM_RC_PC_REFUSED).
    void LoadKeyMaps(HWND hMainWindow);

    PostResult Post(Window window, Message message, int nKey, int nRepeat) override;
    Window TestDialog() const override;
    Window KeysEditorInFront() const override;
    Window ReceivingWindow() const override;
    Window Foreground() const override;
    Window UnderPointer() const override;
    WindowFacts FactsOf(Window window) const override;
    std::string ProgramOf(Window window) const override;
    bool IsSessionLocked() const override;
    bool IsElevated() const override;
    CKeyMapLayers KeyMaps(const std::string& strMode) override;
    Outcome Carry(const CKeyActionEngine::Step& step) override;
    void ShowActionNote(const std::string& strText, bool bAlways) override;
    void ShowMode(const std::string& strTipLine) override;
    bool StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) override;
    bool ShowBalloon(const std::string& strTitle, const std::string& strText) override;
    void LircKeyEvent(int nKey, int nRepeat) override;
    void LircKeyRelease(int nKey) override;

private:
    const CRecvApp& m_recvApps;
    const CDlgTest& m_dlgTest;
    CTrayIcon& m_trayIcon;
    CLircServer& m_lirc;
    CPresenterOverlays& m_overlays;
    UINT m_nKeyMsg;
    UINT m_nReleaseMsg;
    // KV480's own integrity level (SECURITY_MANDATORY_*_RID).
    DWORD m_dwOwnIntegrity;
    bool m_bElevated;
    // The user's key map is asked before the installation folder's.
    CKeyMapFile m_userKeyMap;
    CKeyMapFile m_keyMap;
    CActionNote m_actionNote;
    HWND m_hMainWindow = nullptr;
};
