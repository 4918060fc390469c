#include "CKeyRouter.h"

#include "CFrameDecoder.h"

#include <utility>

using Message = IDesktopWindows::Message;
using Kind = CKeyAction::Kind;

CKeyRouter::CKeyRouter(IDesktopWindows& windows, IDesktopEffects& effects, IUserNotices& notices,
                       CDeadlineClock& clock)
    : m_windows(windows), m_effects(effects), m_notices(notices), m_clock(clock),
      m_actionTimer(clock, [this] { CarrySteps(m_actionEngine.TimeReached(m_clock.Now())); }) {}

void CKeyRouter::KeyEvent(int nKey, int nRepeat) {
    Window target = m_windows.KeysEditorInFront();
    if (target == 0) {
        target = m_windows.ReceivingWindow();
    }
    if (nRepeat == CFrameDecoder::NEW_PRESS) {
        m_nPressKey = nKey;
        m_nLastPressKey = nKey;
        m_pressTarget = target;
    }
    if (target == 0) {
        TypeMappedKey(nKey, nRepeat);
    } else if (m_windows.Post(target, Message::Key, nKey, nRepeat) ==
               IDesktopWindows::PostResult::Refused) {
        TellRefusedPost(target);
    }
}

void CKeyRouter::KeyRelease(int nKey) {
    if (nKey == m_nPressKey && m_pressTarget != 0) {
        m_windows.Post(m_pressTarget, Message::Release, nKey, 0);
    }
    m_pressTarget = 0;
    m_nPressKey = 0;
    m_notices.NoteKeyReleased();
    CarrySteps(m_actionEngine.Release(nKey, m_clock.Now()));
}

void CKeyRouter::TellRefusedPost(Window target) {
    if (!m_refusedPosts.ShouldTell(target)) {
        return;
    }
    const IDesktopWindows::WindowFacts facts = m_windows.FactsOf(target);
    // Told only once the balloon is shown: without an icon it is tried again.
    if (m_notices.ShowBalloon(CRefusedPostNotice::Title(),
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
    CKeyMapLayers layers = m_effects.KeyMaps(m_modeState.GetMode());
    if (m_windows.IsElevated()) {
        // A file the user's unelevated programs can write must not start
        // programs or type into windows with the administrator's rights.
        const CKeyMap& userMap = layers.GetMap(CKeyMapLayers::USER);
        if (!m_bToldElevated && userMap.GetSectionCount() > 0) {
            m_bToldElevated = m_notices.ShowBalloon(KEY_MAP_TITLE, ELEVATED_TEXT);
        }
        layers = CKeyMapLayers(m_noMap, layers.GetMap(CKeyMapLayers::INSTALLATION),
                               m_modeState.GetMode());
    }
    CKeyMap::Window window;
    const Window front = m_windows.Foreground();
    if (front != 0) {
        IDesktopWindows::WindowFacts facts = m_windows.FactsOf(front);
        // The test dialog shows the keys; typing into it would close it.
        if (facts.bOwnProcess) {
            return;
        }
        window.strClass = std::move(facts.strClass);
        window.strCaption = std::move(facts.strCaption);
        if (layers.UsesProgram()) {
            window.strProgram = m_windows.ProgramOf(front);
        }
    }
    CarrySteps(m_actionEngine.Press(nKey, layers.FindAll(window, nKey), nNowMs));
}

void CKeyRouter::CarrySteps(const std::vector<CKeyActionEngine::Step>& steps) {
    for (const CKeyActionEngine::Step& step : steps) {
        Carry(step);
    }
    std::uint64_t nDueMs = 0;
    if (m_actionEngine.NextDeadline(nDueMs)) {
        m_actionTimer.SetAt(nDueMs);
    } else {
        m_actionTimer.Cancel();
    }
}

void CKeyRouter::Carry(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    const Kind kind = action.GetKind();
    if (kind != Kind::Pc || !action.NeedsConfirmation()) {
        EndQuestion();
    }
    if (kind == Kind::Nothing || IsLockedOut(action)) {
        return;
    }
    IDesktopEffects::Outcome outcome;
    switch (kind) {
    // Input: keys go to the window in front, a click or the wheel to the
    // one under the pointer; the pointer itself moves over any window.
    case Kind::Keys:
        if (IsRefusedInput(m_windows.Foreground())) {
            return;
        }
        outcome.bCarried = m_effects.SendKeys(action);
        break;
    case Kind::Text:
        if (IsRefusedInput(m_windows.Foreground())) {
            return;
        }
        outcome.bCarried = m_effects.SendText(action);
        break;
    case Kind::MouseButton:
        if (IsRefusedInput(m_windows.UnderPointer())) {
            return;
        }
        outcome.bCarried = m_effects.PressMouse(action);
        break;
    case Kind::MouseMove:
        m_effects.MoveMouse(action, step.nHeldMs);
        break;
    // A program: brought forward or started.
    case Kind::Run:
        outcome = m_effects.Run(step);
        break;
    // The presenter's tools, on KV480's own overlays.
    case Kind::Spotlight:
    case Kind::LaserDot:
    case Kind::Magnifier:
    case Kind::BlankScreen:
    case Kind::Timer:
        m_effects.ShowOverlay(action);
        break;
    // KV480's own state and the PC's, which tell the user themselves.
    case Kind::Pc:
        CarryPcAction(step);
        return;
    case Kind::Mode:
        SwitchMode(action);
        return;
    // The on-screen menu's actions do nothing until KV480 shows the menu.
    case Kind::Menu:
    case Kind::Keyboard:
    case Kind::MenuSteer:
    case Kind::Nothing:
        return;
    }
    if (!outcome.strWarning.empty()) {
        m_notices.ShowBalloon(KEY_MAP_TITLE, outcome.strWarning);
    }
    // After the action, so that the note costs the key no time; and only
    // for what happened.
    if (outcome.bCarried) {
        m_notices.ShowActionNote(action.Shown(), false, IsKeyHeld());
    }
}

bool CKeyRouter::IsLockedOut(const CKeyAction& action) {
    if (!m_windows.IsSessionLocked()) {
        m_bToldLocked = false;
        return false;
    }
    // A media PC that locked after idle still sleeps or shuts down at the
    // remote's word; locking it again is pointless.
    if (action.GetKind() == Kind::Pc && action.GetPc() != CKeyAction::Pc::Lock) {
        return false;
    }
    if (!m_bToldLocked) {
        // Without an icon it is tried again at the next key.
        m_bToldLocked = m_notices.ShowBalloon(LOCKED_TITLE, LOCKED_TEXT);
    }
    return true;
}

bool CKeyRouter::IsRefusedInput(Window target) {
    if (target == 0 || !m_windows.FactsOf(target).bHigherIntegrity) {
        return false;
    }
    TellRefusedPost(target);
    return true;
}

void CKeyRouter::SwitchMode(const CKeyAction& action) {
    const std::string strNote = m_modeState.Switch(action);
    m_notices.ShowMode(m_modeState.GetMode(), m_modeState.TipLine());
    // Whatever the user's choice of notes: a mode switched on unnoticed
    // leaves keys that seem broken.
    if (!m_notices.ShowActionNote(strNote, true, IsKeyHeld())) {
        m_notices.ShowBalloon(KEY_MAP_TITLE, strNote);
    }
}

void CKeyRouter::CarryPcAction(const CKeyActionEngine::Step& step) {
    const CKeyAction& action = step.answer.action;
    if (action.NeedsConfirmation() && !m_confirmation.Confirm(step, m_clock.Now())) {
        if (!m_notices.ShowCountdownNote(
                CActionConfirmation::Question(action, m_nLastPressKey, step.form))) {
            // A second press must never act on a question nobody saw.
            m_confirmation.Forget();
            m_notices.ShowBalloon(KEY_MAP_TITLE, action.Shown() + UNASKED_TEXT);
        }
        return;
    }
    // The answered question's countdown must not stay on the screen.
    if (action.NeedsConfirmation()) {
        m_notices.HideActionNote();
    }
    m_notices.ShowActionNote(action.Shown(), false, IsKeyHeld());
    std::string strRefusal;
    if (!m_effects.StartPcAction(action.GetPc(), strRefusal)) {
        m_notices.ShowBalloon(KEY_MAP_TITLE, strRefusal);
    }
}

void CKeyRouter::EndQuestion() {
    // Its note would still ask for a press that now does nothing.
    if (m_confirmation.IsAsked()) {
        m_notices.HideActionNote();
    }
    m_confirmation.Forget();
}
