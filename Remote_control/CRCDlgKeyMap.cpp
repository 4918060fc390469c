// Keys for applications that do not know the remote's message: the key maps
// name per key and window what it does; the action engine decides when, and
// the sender does it in the window in front.
#include "CRCDlg.h"

#include "CActionSender.h"
#include "CReg.h"
#include "KeysEditorWindow.h"
#include "ProcessImage.h"
#include "Settings.h"
#include "WideText.h"

#include <shlobj.h>

#include <iterator>

namespace {

const char* const KEY_MAP_TITLE = "Remote Control - Key map";
// Where the user's own key map lies, below the roaming application data.
const wchar_t* const USER_KEY_MAP = L"\\Remote Control\\KeyMap.ini";
const char* const USER_KEY_MAP_SHOWN = "%APPDATA%\\Remote Control\\KeyMap.ini";
// Enough for any caption a section can name (values are cut at 254).
const int CAPTION_SIZE = 1024;

// Applications name their main window; a dialog in front is owned by it.
HWND ForegroundRoot() {
    const HWND hWindow = GetForegroundWindow();
    return hWindow != nullptr ? GetAncestor(hWindow, GA_ROOTOWNER) : nullptr;
}

} // namespace

void CRCDlg::LoadKeyMap() {
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

HWND CRCDlg::KeysEditorInFront() const {
    const HWND hWindow = ForegroundRoot();
    char szClass[64] = "";
    return hWindow != nullptr && GetClassNameA(hWindow, szClass, sizeof(szClass)) > 0 &&
                   lstrcmpiA(szClass, keys_editor::WINDOW_CLASS) == 0
               ? hWindow
               : nullptr;
}

void CRCDlg::RefreshKeyMaps() {
    for (CKeyMapFile* pFile : {&m_userKeyMap, &m_keyMap}) {
        pFile->Refresh();
        const std::string strWarning = pFile->PendingWarning();
        if (!strWarning.empty() && ShowTrayBalloon(KEY_MAP_TITLE, strWarning, NIIF_WARNING)) {
            pFile->MarkWarned();
        }
    }
}

void CRCDlg::TypeMappedKey(int nKey, int nRepeat) {
    const std::uint64_t nNowMs = GetTickCount64();
    if (nRepeat != CFrameDecoder::NEW_PRESS) {
        CarrySteps(m_actionEngine.Repeat(nKey, nNowMs));
        ScheduleActionTimer();
        return;
    }
    RefreshKeyMaps();

    const CKeyMapLayers layers(m_userKeyMap.GetMap(), m_keyMap.GetMap(), m_modeState.GetMode());
    const HWND hWindow = ForegroundRoot();
    CKeyMap::Window window;
    if (hWindow != nullptr) {
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hWindow, &dwProcess);
        // The test dialog shows the keys; typing into it would close it.
        if (dwProcess == GetCurrentProcessId()) {
            return;
        }
        // The W functions: a caption in any script compares as written.
        wchar_t szText[CAPTION_SIZE] = L"";
        GetClassNameW(hWindow, szText, static_cast<int>(std::size(szText)));
        window.strClass = widetext::Narrow(szText);
        szText[0] = L'\0';
        GetWindowTextW(hWindow, szText, static_cast<int>(std::size(szText)));
        window.strCaption = widetext::Narrow(szText);
        if (layers.UsesProgram()) {
            const std::wstring strImage = ProcessImage(dwProcess);
            window.strProgram = widetext::Narrow(strImage.c_str());
        }
    }
    CarrySteps(m_actionEngine.Press(nKey, layers.FindAll(window, nKey), nNowMs));
    ScheduleActionTimer();
}

void CRCDlg::ReleaseMappedKey(int nKey) {
    CarrySteps(m_actionEngine.Release(nKey, GetTickCount64()));
    ScheduleActionTimer();
}

void CRCDlg::OnActionTimer() {
    KillTimer(m_hWnd, ACTION_TIMER_ID);
    CarrySteps(m_actionEngine.TimeReached(GetTickCount64()));
    ScheduleActionTimer();
}

void CRCDlg::ScheduleActionTimer() {
    std::uint64_t nDueMs = 0;
    if (!m_actionEngine.NextDeadline(nDueMs)) {
        KillTimer(m_hWnd, ACTION_TIMER_ID);
        return;
    }
    const std::uint64_t nNowMs = GetTickCount64();
    SetTimer(m_hWnd, ACTION_TIMER_ID,
             nDueMs > nNowMs ? static_cast<UINT>(nDueMs - nNowMs) : USER_TIMER_MINIMUM, nullptr);
}

void CRCDlg::CarrySteps(const std::vector<CKeyActionEngine::Step>& steps) {
    for (const CKeyActionEngine::Step& step : steps) {
        if (CarryOwnAction(step)) {
            continue;
        }
        const std::string strWarning = CActionSender::Carry(
            step,
            step.answer.layer == CKeyMapLayers::USER ? USER_KEY_MAP_SHOWN : CKeyMapFile::FILE_NAME);
        if (!strWarning.empty()) {
            ShowTrayBalloon(KEY_MAP_TITLE, strWarning, NIIF_WARNING);
        }
        // After the action, so that the note costs the key no time.
        if (step.answer.action.GetKind() != CKeyAction::Kind::Nothing && CActionNote::IsWanted()) {
            m_actionNote.Show(step.answer.action.Shown(), GetForegroundWindow());
        }
    }
}
