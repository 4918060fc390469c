// What the key path changes on Windows: the user's key maps, read from
// their files, and the carriers of their actions: input and programs
// (CActionSender), the presenter's overlays, the PC's own actions.
#pragma once

#include <windows.h>

#include "CKeyMapFile.h"
#include "IDesktopEffects.h"

class CMenuWindow;
class CPresenterOverlays;
class IUserNotices;

class CWin32DesktopEffects : public IDesktopEffects {
public:
    // notices: where the key maps' warnings are told.
    CWin32DesktopEffects(CPresenterOverlays& overlays, IUserNotices& notices,
                         CMenuWindow& menuWindow)
        : m_overlays(overlays), m_notices(notices), m_menuWindow(menuWindow) {}
    CWin32DesktopEffects(const CWin32DesktopEffects&) = delete;
    CWin32DesktopEffects& operator=(const CWin32DesktopEffects&) = delete;

    // Opens the user's KeyMap.ini and the one in the folder Path; hMainWindow
    // gets the PC's actions' late refusals (WM_RC_PC_REFUSED).
    void LoadKeyMaps(HWND hMainWindow);

    CKeyMapLayers KeyMaps(const std::string& strMode) override;
    bool SendKeys(const CKeyAction& action) override;
    bool SendText(const CKeyAction& action) override;
    bool PressMouse(const CKeyAction& action) override;
    void MoveMouse(const CKeyAction& action, std::uint64_t nHeldMs) override;
    Outcome Run(const CKeyActionEngine::Step& step) override;
    void ShowOverlay(const CKeyAction& action) override;
    bool StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) override;
    MenuSettings ReadMenuSettings() override;
    bool ShowMenu(const CMenuModel& menu) override;
    void HideMenu() override;

private:
    CPresenterOverlays& m_overlays;
    IUserNotices& m_notices;
    CMenuWindow& m_menuWindow;
    // The user's key map is asked before the installation folder's.
    CKeyMapFile m_userKeyMap;
    CKeyMapFile m_keyMap;
    HWND m_hMainWindow = nullptr;
};
