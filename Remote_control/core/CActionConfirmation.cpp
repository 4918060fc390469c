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

const char* CActionConfirmation::Verb(const CKeyAction& action) {
    return action.GetKind() == CKeyAction::Kind::Pc && action.GetPc() == CKeyAction::Pc::Restart
               ? "restart"
               : "shut down";
}

CActionNoteTiming::Countdown CActionConfirmation::Question(const CKeyAction& action, int nKey,
                                                           CKeyMap::Form form) {
    // A short press does not answer a question asked by a held key.
    const char* pszForm = form == CKeyMap::Form::Long     ? "held"
                          : form == CKeyMap::Form::Double ? "twice"
                                                          : "short";
    CActionNoteTiming::Countdown countdown;
    countdown.strBefore = "Press key " + std::to_string(nKey) + " again (" + pszForm + ") within ";
    countdown.strAfter = std::string(" s to ") + Verb(action) + " the PC";
    countdown.nWindowMs = CONFIRM_MS;
    return countdown;
}
