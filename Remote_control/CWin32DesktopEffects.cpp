#include "CWin32DesktopEffects.h"

#include "CActionSender.h"
#include "CKeyRouter.h"
#include "CMenuWindow.h"
#include "CPcActions.h"
#include "CPresenterOverlays.h"
#include "KeyMapLocation.h"
#include "KeyboardLayoutRows.h"
#include "Settings.h"

#include <algorithm>

namespace {

// The user's DWORD setting strName; false when it is not there.
bool ReadSetting(const char* pszName, DWORD& dwValue) {
    DWORD dwSize = sizeof(dwValue);
    return RegGetValueA(HKEY_CURRENT_USER, settings::USER_KEY, pszName, RRF_RT_REG_DWORD, nullptr,
                        &dwValue, &dwSize) == ERROR_SUCCESS;
}

} // namespace

void CWin32DesktopEffects::LoadKeyMaps(HWND hMainWindow) {
    m_hMainWindow = hMainWindow;
    const std::string strUserFile = keymaplocation::UserFile();
    if (!strUserFile.empty()) {
        m_userKeyMap.Open(strUserFile, keymaplocation::USER_SHOWN);
    }
    // Without Path the receiving applications could not load either, and
    // the program has ended before this.
    const std::string strInstalledFile = keymaplocation::InstalledFile();
    if (!strInstalledFile.empty()) {
        m_keyMap.Open(strInstalledFile, keymaplocation::FILE_NAME);
    }
}

CKeyMapLayers CWin32DesktopEffects::KeyMaps(const std::string& strMode) {
    for (CKeyMapFile* pFile : {&m_userKeyMap, &m_keyMap}) {
        pFile->Refresh();
        const std::string strWarning = pFile->PendingWarning();
        if (!strWarning.empty() && m_notices.ShowBalloon(CKeyRouter::KEY_MAP_TITLE, strWarning)) {
            pFile->MarkWarned();
        }
    }
    return CKeyMapLayers(m_userKeyMap.GetMap(), m_keyMap.GetMap(), strMode);
}

bool CWin32DesktopEffects::SendKeys(const CKeyAction& action) {
    return CActionSender::SendKeys(action);
}

bool CWin32DesktopEffects::SendText(const CKeyAction& action) {
    return CActionSender::SendText(action.GetText());
}

bool CWin32DesktopEffects::PressMouse(const CKeyAction& action) {
    return CActionSender::PressMouse(action.GetMouse());
}

void CWin32DesktopEffects::MoveMouse(const CKeyAction& action, std::uint64_t nHeldMs) {
    CActionSender::MoveMouse(action.GetMouse(), nHeldMs);
    // Followed at once rather than at the next frame.
    m_overlays.PointerMoved();
}

IDesktopEffects::Outcome CWin32DesktopEffects::Run(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    const char* const pszFile = step.answer.layer == CKeyMapLayers::USER
                                    ? keymaplocation::USER_SHOWN
                                    : keymaplocation::FILE_NAME;
    // Also for what the program's start tells later, from its own thread.
    const std::string strHead = "Line " + std::to_string(step.answer.nLine) + " of " + pszFile +
                                ": \"" + action.GetText() + "\" ";
    Outcome outcome = CActionSender::Run(action, strHead, m_hMainWindow);
    if (!outcome.strWarning.empty()) {
        outcome.strWarning = strHead + outcome.strWarning;
    }
    return outcome;
}

void CWin32DesktopEffects::ShowOverlay(const CKeyAction& action) {
    m_overlays.Carry(action);
}

bool CWin32DesktopEffects::StartPcAction(CKeyAction::Pc pc, std::string& strRefusal) {
    const DWORD dwError = CPcActions::Start(pc, m_hMainWindow);
    if (dwError == ERROR_SUCCESS) {
        return true;
    }
    strRefusal = CPcActions::RefusedText(pc, dwError);
    return false;
}

IDesktopEffects::MenuSettings CWin32DesktopEffects::ReadMenuSettings() {
    // An hour at most: a menu left open for good is asked for with 0.
    const DWORD MAX_TIMEOUT_S = 3600;
    MenuSettings menuSettings;
    DWORD dwValue = 0;
    if (ReadSetting(settings::VALUE_MENU_TIMEOUT, dwValue)) {
        menuSettings.nTimeoutMs = std::uint64_t{(std::min)(dwValue, MAX_TIMEOUT_S)} * 1000;
    }
    if (ReadSetting(settings::VALUE_KEYBOARD_SCAN, dwValue) && dwValue != 0) {
        // As a menu's Scan= line is kept.
        menuSettings.nKeyboardScanMs =
            std::clamp(static_cast<unsigned>(dwValue), CKeyMap::MIN_SCAN_MS, CKeyMap::MAX_SCAN_MS);
    }
    menuSettings.layout = keyboardlayout::RowsOf(GetForegroundWindow());
    return menuSettings;
}

bool CWin32DesktopEffects::ShowMenu(const CMenuModel& menu) {
    return m_menuWindow.Show(menu, GetForegroundWindow());
}

void CWin32DesktopEffects::HideMenu() {
    m_menuWindow.Hide();
}
