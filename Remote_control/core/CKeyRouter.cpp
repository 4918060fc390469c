#include "CKeyRouter.h"

#include "CFrameDecoder.h"

#include <utility>

using Message = IKeyDesktop::Message;

CKeyRouter::CKeyRouter(IKeyDesktop& desktop, CDeadlineClock& clock)
    : m_desktop(desktop), m_clock(clock),
      m_actionTimer(clock, [this] { CarrySteps(m_actionEngine.TimeReached(m_clock.Now())); }) {}

void CKeyRouter::KeyEvent(int nKey, int nRepeat) {
    // The test dialog shows every key, whoever else takes it.
    const Window test = m_desktop.TestDialog();
    if (test != 0) {
        m_desktop.Post(test, Message::TestKey, nKey, nRepeat);
    }
    DispatchKey(nKey, nRepeat);
    m_desktop.LircKeyEvent(nKey, nRepeat);
}

void CKeyRouter::DispatchKey(int nKey, int nRepeat) {
    Window target = m_desktop.KeysEditorInFront();
    if (target == 0) {
        target = m_desktop.ReceivingWindow();
    }
    if (nRepeat == CFrameDecoder::NEW_PRESS) {
        m_nPressKey = nKey;
        m_pressTarget = target;
    }
    if (target == 0) {
        TypeMappedKey(nKey, nRepeat);
    } else if (m_desktop.Post(target, Message::Key, nKey, nRepeat) ==
               IKeyDesktop::PostResult::Refused) {
        TellRefusedPost(target);
    }
}

void CKeyRouter::KeyRelease(int nKey) {
    if (nKey == m_nPressKey && m_pressTarget != 0) {
        m_desktop.Post(m_pressTarget, Message::Release, nKey, 0);
    }
    m_pressTarget = 0;
    m_nPressKey = 0;
    CarrySteps(m_actionEngine.Release(nKey, m_clock.Now()));
    m_desktop.LircKeyRelease(nKey);
}

void CKeyRouter::TellRefusedPost(Window target) {
    if (!m_refusedPosts.ShouldTell(target)) {
        return;
    }
    const IKeyDesktop::WindowFacts facts = m_desktop.FactsOf(target);
    // Told only once the balloon is shown: without an icon it is tried again.
    if (m_desktop.ShowBalloon(CRefusedPostNotice::Title(),
                              CRefusedPostNotice::Text(facts.strCaption, facts.strClass))) {
        m_refusedPosts.Told(target);
    }
}

void CKeyRouter::TypeMappedKey(int nKey, int nRepeat) {
    const std::uint64_t nNowMs = m_clock.Now();
    if (nRepeat != CFrameDecoder::NEW_PRESS) {
        CarrySteps(m_actionEngine.Repeat(nKey, nNowMs));
        return;
    }
    CKeyMapLayers layers = m_desktop.KeyMaps(m_modeState.GetMode());
    if (m_desktop.IsElevated()) {
        // A file the user's unelevated programs can write must not start
        // programs or type into windows with the administrator's rights.
        const CKeyMap& userMap = layers.GetMap(CKeyMapLayers::USER);
        if (!m_bToldElevated && userMap.GetSectionCount() > 0) {
            m_bToldElevated = m_desktop.ShowBalloon(KEY_MAP_TITLE, ELEVATED_TEXT);
        }
        layers = CKeyMapLayers(m_noMap, layers.GetMap(CKeyMapLayers::INSTALLATION),
                               m_modeState.GetMode());
    }
    CKeyMap::Window window;
    const Window front = m_desktop.Foreground();
    if (front != 0) {
        IKeyDesktop::WindowFacts facts = m_desktop.FactsOf(front);
        // The test dialog shows the keys; typing into it would close it.
        if (facts.bOwnProcess) {
            return;
        }
        window.strClass = std::move(facts.strClass);
        window.strCaption = std::move(facts.strCaption);
        if (layers.UsesProgram()) {
            window.strProgram = m_desktop.ProgramOf(front);
        }
    }
    CarrySteps(m_actionEngine.Press(nKey, layers.FindAll(window, nKey), nNowMs));
}

bool CKeyRouter::IsRefused(const CKeyAction& action) {
    const CKeyAction::Kind kind = action.GetKind();
    if (kind == CKeyAction::Kind::Nothing) {
        return false;
    }
    if (m_desktop.IsSessionLocked()) {
        return true;
    }
    // SendInput into a window of higher integrity fails and says nothing.
    // Keys go to the window in front, a click or the wheel to the one under
    // the pointer; the pointer itself moves over any window.
    Window target = 0;
    if (kind == CKeyAction::Kind::Keys || kind == CKeyAction::Kind::Text) {
        target = m_desktop.Foreground();
    } else if (kind == CKeyAction::Kind::MouseButton) {
        target = m_desktop.UnderPointer();
    }
    if (target == 0 || !m_desktop.FactsOf(target).bHigherIntegrity) {
        return false;
    }
    TellRefusedPost(target);
    return true;
}

void CKeyRouter::CarrySteps(const std::vector<CKeyActionEngine::Step>& steps) {
    for (const CKeyActionEngine::Step& step : steps) {
        const CKeyAction& action = step.answer.action;
        if (IsRefused(action) || CarryOwnAction(step)) {
            continue;
        }
        const IKeyDesktop::Outcome outcome = m_desktop.Carry(step);
        if (!outcome.strWarning.empty()) {
            m_desktop.ShowBalloon(KEY_MAP_TITLE, outcome.strWarning);
        }
        // After the action, so that the note costs the key no time; and only
        // for what happened.
        if (outcome.bCarried && action.GetKind() != CKeyAction::Kind::Nothing) {
            m_desktop.ShowActionNote(action.Shown(), false);
        }
    }
    std::uint64_t nDueMs = 0;
    if (m_actionEngine.NextDeadline(nDueMs)) {
        m_actionTimer.SetAt(nDueMs);
    } else {
        m_actionTimer.Cancel();
    }
}

bool CKeyRouter::CarryOwnAction(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    const CKeyAction::Kind kind = action.GetKind();
    if (kind != CKeyAction::Kind::Pc || !action.NeedsConfirmation()) {
        m_confirmation.Forget();
    }
    if (kind == CKeyAction::Kind::Mode) {
        const std::string strNote = m_modeState.Switch(action);
        m_desktop.ShowMode(m_modeState.TipLine());
        // Whatever the user's choice of notes: a mode switched on unnoticed
        // leaves keys that seem broken.
        m_desktop.ShowActionNote(strNote, true);
        return true;
    }
    if (kind != CKeyAction::Kind::Pc) {
        return false;
    }
    if (action.NeedsConfirmation() && !m_confirmation.Confirm(step, m_clock.Now())) {
        m_desktop.ShowActionNote(CActionConfirmation::AskText(action), true);
        return true;
    }
    m_desktop.ShowActionNote(action.Shown(), false);
    std::string strRefusal;
    if (!m_desktop.StartPcAction(action.GetPc(), strRefusal)) {
        m_desktop.ShowBalloon(KEY_MAP_TITLE, strRefusal);
    }
    return true;
}
