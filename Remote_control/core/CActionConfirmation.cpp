#include "CActionConfirmation.h"

bool CActionConfirmation::Confirm(const CKeyActionEngine::Step& step, std::uint64_t nNowMs) {
    const bool bAgain = m_bAsked && step.answer.layer == m_layer && step.answer.nLine == m_nLine &&
                        step.form == m_form && nNowMs - m_nAskedMs <= CONFIRM_MS;
    m_bAsked = !bAgain;
    m_layer = step.answer.layer;
    m_nLine = step.answer.nLine;
    m_form = step.form;
    m_nAskedMs = nNowMs;
    return bAgain;
}

std::string CActionConfirmation::AskText(const CKeyAction& action) {
    const char* pszWhat =
        action.GetKind() == CKeyAction::Kind::Pc && action.GetPc() == CKeyAction::Pc::Restart
            ? "restart"
            : "shut down";
    return std::string("Press the key again within ") + std::to_string(CONFIRM_MS / 1000) +
           " s to " + pszWhat + " the PC";
}
