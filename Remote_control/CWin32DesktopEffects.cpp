#include "CWin32DesktopEffects.h"

#include "CActionSender.h"
#include "CKeyRouter.h"
#include "CPcActions.h"
#include "CPresenterOverlays.h"
#include "CReg.h"
#include "Settings.h"
#include "WideText.h"

#include <shlobj.h>

namespace {

// Where the user's own key map lies, below the roaming application data.
const wchar_t* const USER_KEY_MAP = L"\\Remote Control\\KeyMap.ini";
const char* const USER_KEY_MAP_SHOWN = "%APPDATA%\\Remote Control\\KeyMap.ini";

} // namespace

void CWin32DesktopEffects::LoadKeyMaps(HWND hMainWindow) {
    m_hMainWindow = hMainWindow;
    wchar_t szAppData[MAX_PATH] = L"";
    if (SUCCEEDED(
            SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szAppData))) {
        m_userKeyMap.Open(widetext::Narrow(szAppData) + widetext::Narrow(USER_KEY_MAP),
                          USER_KEY_MAP_SHOWN);
    }
    std::string strPath;
    // Without Path the receiving applications could not load either, and
    // the program has ended before this.
    if (CReg().ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                          std::string(settings::VALUE_PATH), strPath) != CReg::RESULT_OK) {
        return;
    }
    m_keyMap.Open(CKeyMapFile::FileNameIn(widetext::AnsiToUtf8(strPath)), CKeyMapFile::FILE_NAME);
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
    // SetCursorPos never reaches the overlays' mouse hook.
    m_overlays.PointerMoved();
}

IDesktopEffects::Outcome CWin32DesktopEffects::Run(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    Outcome outcome = CActionSender::Run(action);
    if (!outcome.strWarning.empty()) {
        const char* const pszFile =
            step.answer.layer == CKeyMapLayers::USER ? USER_KEY_MAP_SHOWN : CKeyMapFile::FILE_NAME;
        outcome.strWarning = "Line " + std::to_string(step.answer.nLine) + " of " + pszFile +
                             ": \"" + action.GetText() + "\" " + outcome.strWarning;
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
