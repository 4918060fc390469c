#include "CKeyActionEngine.h"

namespace {

using Form = CKeyMap::Form;

} // namespace

bool CKeyActionEngine::ActsAtPress(const KeyAnswers& answers) {
    return !answers.Get(Form::Long).IsFound() && !answers.Get(Form::Double).IsFound();
}

int CKeyActionEngine::MouseStep(std::uint64_t nHeldMs, int nScreenPixels) {
    const std::uint64_t nRamp = nHeldMs < MOUSE_RAMP_MS ? nHeldMs : MOUSE_RAMP_MS;
    const std::int64_t nMinSpeed = MOUSE_MIN_STEP * 1000 / REPEAT_INTERVAL_MS;
    std::int64_t nMaxSpeed = nScreenPixels > 0 ? nScreenPixels / 5 : 0;
    if (nMaxSpeed < nMinSpeed) {
        nMaxSpeed = nMinSpeed;
    }
    const std::int64_t nSpeed =
        nMinSpeed + (nMaxSpeed - nMinSpeed) * static_cast<std::int64_t>(nRamp) / MOUSE_RAMP_MS;
    const std::int64_t nStep = nSpeed * REPEAT_INTERVAL_MS / 1000;
    return nStep < MOUSE_MIN_STEP ? MOUSE_MIN_STEP : static_cast<int>(nStep);
}

bool CKeyActionEngine::HasForm(Form form) const {
    return m_pending.answers.Get(form).IsFound();
}

std::vector<CKeyActionEngine::Step> CKeyActionEngine::Press(int nKey, const KeyAnswers& answers,
                                                            std::uint64_t nNowMs) {
    std::vector<Step> steps;
    Decide(nNowMs, steps);
    m_active.nKey = 0;
    if (m_bPending) {
        if (m_pending.nKey == nKey && HasForm(Form::Double) &&
            nNowMs - m_pending.nPressMs < DOUBLE_PRESS_MS) {
            // Neither press runs the plain action.
            m_pending.bReleased = false;
            m_pending.nPressMs = nNowMs;
            Run(Form::Double, nNowMs, steps);
            return steps;
        }
        // Another key, or the same one without a double form: the first
        // press is over.
        m_pending.bReleased = true;
        Run(Form::Plain, nNowMs, steps);
    }
    if (ActsAtPress(answers)) {
        const Answer& plain = answers.Get(Form::Plain);
        if (plain.IsFound()) {
            steps.push_back({plain, Form::Plain, false, 0});
            m_active.nKey = nKey;
            m_active.answer = plain;
            m_active.form = Form::Plain;
            m_active.nPressMs = nNowMs;
        }
        return steps;
    }
    m_bPending = true;
    m_pending = Pending();
    m_pending.nKey = nKey;
    m_pending.answers = answers;
    m_pending.nPressMs = nNowMs;
    return steps;
}

std::vector<CKeyActionEngine::Step> CKeyActionEngine::Repeat(int nKey, std::uint64_t nNowMs) {
    std::vector<Step> steps;
    if (m_bPending && m_pending.nKey == nKey) {
        // Still held; the repeat itself runs nothing yet.
        m_pending.bRepeatSeen = true;
        Decide(nNowMs, steps);
        return steps;
    }
    Decide(nNowMs, steps);
    if (m_active.nKey == nKey && m_active.answer.action.Repeats()) {
        steps.push_back({m_active.answer, m_active.form, true, nNowMs - m_active.nPressMs});
    }
    return steps;
}

std::vector<CKeyActionEngine::Step> CKeyActionEngine::Release(int nKey, std::uint64_t nNowMs) {
    std::vector<Step> steps;
    if (m_active.nKey == nKey) {
        m_active.nKey = 0;
    }
    if (m_bPending && m_pending.nKey == nKey) {
        m_pending.bReleased = true;
    }
    Decide(nNowMs, steps);
    return steps;
}

std::vector<CKeyActionEngine::Step> CKeyActionEngine::TimeReached(std::uint64_t nNowMs) {
    std::vector<Step> steps;
    Decide(nNowMs, steps);
    return steps;
}

bool CKeyActionEngine::NextDeadline(std::uint64_t& nDueMs) const {
    if (!m_bPending) {
        return false;
    }
    // Only times not yet decided at: past 700 ms without a repeat, the next
    // repeat or the release decides.
    bool bAny = false;
    const std::uint64_t candidates[] = {
        HasForm(Form::Double) ? m_pending.nPressMs + DOUBLE_PRESS_MS : 0,
        HasForm(Form::Long) && !m_pending.bReleased ? m_pending.nPressMs + LONG_PRESS_MS : 0};
    for (const std::uint64_t nCandidate : candidates) {
        if (nCandidate > m_nDecidedMs && (!bAny || nCandidate < nDueMs)) {
            nDueMs = nCandidate;
            bAny = true;
        }
    }
    return bAny;
}

void CKeyActionEngine::Decide(std::uint64_t nNowMs, std::vector<Step>& steps) {
    if (!m_bPending) {
        return;
    }
    m_nDecidedMs = nNowMs;
    const std::uint64_t nSincePress = nNowMs - m_pending.nPressMs;
    const bool bLong = HasForm(Form::Long);
    if (bLong && !m_pending.bReleased && m_pending.bRepeatSeen && nSincePress >= LONG_PRESS_MS) {
        Run(Form::Long, nNowMs, steps);
        return;
    }
    const bool bDoubleOver = !HasForm(Form::Double) || nSincePress >= DOUBLE_PRESS_MS;
    if (bDoubleOver && (m_pending.bReleased || !bLong)) {
        Run(Form::Plain, nNowMs, steps);
    }
}

void CKeyActionEngine::Run(Form form, std::uint64_t nNowMs, std::vector<Step>& steps) {
    m_bPending = false;
    const Answer& answer = m_pending.answers.Get(form);
    if (!answer.IsFound()) {
        return;
    }
    const std::uint64_t nHeldMs = nNowMs - m_pending.nPressMs;
    steps.push_back({answer, form, false, nHeldMs});
    if (!m_pending.bReleased) {
        m_active.nKey = m_pending.nKey;
        m_active.answer = answer;
        m_active.form = form;
        m_active.nPressMs = m_pending.nPressMs;
    }
}
