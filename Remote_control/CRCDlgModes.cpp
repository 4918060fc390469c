// Actions of the key map that change KV480's own state or the PC's rather
// than the window in front: modes, and lock, sleep, shutdown and the like.
#include "CRCDlg.h"

#include "CPcActions.h"
#include "RcMessages.h"

namespace {

// The key map's balloons share one title.
const char* const KEY_MAP_TITLE = "Remote Control - Key map";

} // namespace

bool CRCDlg::CarryOwnAction(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    const CKeyAction::Kind kind = action.GetKind();
    if (kind != CKeyAction::Kind::Pc || !action.NeedsConfirmation()) {
        m_confirmation.Forget();
    }
    if (kind == CKeyAction::Kind::Mode) {
        const std::string strNote = m_modeState.Switch(action);
        m_trayIcon.SetTipLine(m_modeState.TipLine());
        // Whatever ShowActions says: a mode switched on unnoticed leaves
        // the user with keys that seem broken.
        m_actionNote.Show(strNote, GetForegroundWindow());
        return true;
    }
    if (kind != CKeyAction::Kind::Pc) {
        return false;
    }
    if (action.NeedsConfirmation() && !m_confirmation.Confirm(step, GetTickCount64())) {
        m_actionNote.Show(CActionConfirmation::AskText(action), GetForegroundWindow());
        return true;
    }
    if (CActionNote::IsWanted()) {
        m_actionNote.Show(action.Shown(), GetForegroundWindow());
    }
    const DWORD dwError = CPcActions::Start(action.GetPc(), m_hWnd);
    if (dwError != ERROR_SUCCESS) {
        ShowTrayBalloon(KEY_MAP_TITLE, CPcActions::RefusedText(action.GetPc(), dwError),
                        NIIF_WARNING);
    }
    return true;
}

LRESULT CRCDlg::OnPcRefused(WPARAM wParam, LPARAM lParam) {
    ShowTrayBalloon(
        KEY_MAP_TITLE,
        CPcActions::RefusedText(static_cast<CKeyAction::Pc>(wParam), static_cast<DWORD>(lParam)),
        NIIF_WARNING);
    return 0;
}
