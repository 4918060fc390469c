#include "CKeyRouter.h"

#include "CFrameDecoder.h"
#include "RemoteControl.h"

#include <utility>

using Message = IDesktopWindows::Message;
using Kind = CKeyAction::Kind;

CKeyRouter::CKeyRouter(IDesktopWindows& windows, IDesktopEffects& effects, IUserNotices& notices,
                       CDeadlineClock& clock)
    : m_windows(windows), m_effects(effects), m_notices(notices), m_clock(clock),
      m_actionTimer(clock, [this] { CarrySteps(m_actionEngine.TimeReached(m_clock.Now())); }),
      m_menu(clock, [this](const CMenuModel::Outcome& outcome) { CarryMenuOutcome(outcome); }) {}

void CKeyRouter::KeyEvent(int nKey, int nRepeat) {
    Window target = m_windows.KeysEditorInFront();
    if (target == 0) {
        target = m_windows.ReceivingWindow();
    }
    if (nRepeat == CFrameDecoder::NEW_PRESS) {
        m_nPressKey = nKey;
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
    m_nMappedKey = nKey;
    const CKeyMapLayers layers = MappedLayers();
    CKeyMap::Window window;
    if (!FrontWindow(layers, window)) {
        return;
    }
    CKeyMapLayers::KeyAnswers answers = layers.FindAll(window, nKey);
    if (m_menu.IsOpen() && KeepMenuKeys(nKey, answers)) {
        CarryMenuOutcome(m_menu.Digit(nKey - RC_KEY_ZELMAR_F1 + 1));
        return;
    }
    CarrySteps(m_actionEngine.Press(nKey, answers, nNowMs));
}

CKeyMapLayers CKeyRouter::MappedLayers() {
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
    return layers;
}

bool CKeyRouter::FrontWindow(const CKeyMapLayers& layers, CKeyMap::Window& window) {
    const Window front = m_windows.Foreground();
    if (front == 0) {
        return true;
    }
    IDesktopWindows::WindowFacts facts = m_windows.FactsOf(front);
    // The test dialog shows the keys; typing into it would close it.
    if (facts.bOwnProcess) {
        return false;
    }
    window.strClass = std::move(facts.strClass);
    window.strCaption = std::move(facts.strCaption);
    if (layers.UsesProgram()) {
        window.strProgram = m_windows.ProgramOf(front);
    }
    return true;
}

bool CKeyRouter::KeepMenuKeys(int nKey, CKeyMapLayers::KeyAnswers& answers) {
    bool bAnswered = false;
    for (CKeyMapLayers::Answer& answer : answers.forms) {
        const Kind kind = answer.action.GetKind();
        // Only the mode that is on, Menu, gives sections a mode.
        if (answer.IsFound() && answer.strMode.empty() && kind != Kind::Menu &&
            kind != Kind::Keyboard && kind != Kind::MenuSteer) {
            answer = CKeyMapLayers::Answer();
        }
        bAnswered = bAnswered || answer.IsFound();
    }
    // The ZELMAR has no digit keys: its F1 to F6 jump to the menu's first
    // six entries. Six keys cannot spell the alphabet by multi-tap, so the
    // keyboard takes them only where the mode Menu names them.
    return !bAnswered && !m_menu.IsKeyboardShown() && nKey >= RC_KEY_ZELMAR_F1 &&
           nKey <= RC_KEY_ZELMAR_F6;
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

void CKeyRouter::Carry(const CKeyActionEngine::Step& step, const std::string& strShown,
                       bool bConfirmed) {
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
    // The presenter's tools, on KV480's own overlays. They show themselves;
    // a note would stand in front of the audience, over a blanked screen too.
    case Kind::Spotlight:
    case Kind::LaserDot:
    case Kind::Magnifier:
    case Kind::BlankScreen:
    case Kind::Timer:
        m_effects.ShowOverlay(action);
        return;
    // KV480's own state and the PC's, which tell the user themselves.
    case Kind::Pc:
        CarryPcAction(step, strShown, bConfirmed);
        return;
    case Kind::Mode:
        // A mode switched from the menu's own keys ends the menu first,
        // whose mode would otherwise come back over it.
        if (m_menu.IsOpen()) {
            CarryMenuOutcome(m_menu.Close());
        }
        SwitchMode(action);
        return;
    // The on-screen menu and keyboard show themselves.
    case Kind::Menu:
    case Kind::Keyboard:
        OpenMenu(action);
        return;
    case Kind::MenuSteer:
        CarryMenuOutcome(m_menu.Steer(action.GetSteer()));
        return;
    case Kind::Nothing:
        return;
    }
    if (!outcome.strWarning.empty()) {
        m_notices.ShowBalloon(KEY_MAP_TITLE, outcome.strWarning);
    }
    // After the action, so that the note costs the key no time; and only
    // for what happened.
    if (outcome.bCarried) {
        m_notices.ShowActionNote(strShown.empty() ? action.Shown() : strShown, false, IsKeyHeld());
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

void CKeyRouter::CarryPcAction(const CKeyActionEngine::Step& step, const std::string& strShown,
                               bool bConfirmed) {
    const CKeyAction& action = step.answer.action;
    if (action.NeedsConfirmation() && !bConfirmed && !m_confirmation.Confirm(step, m_clock.Now())) {
        if (!m_notices.ShowCountdownNote(
                CActionConfirmation::Question(action, m_nMappedKey, step.form))) {
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
    m_notices.ShowActionNote(strShown.empty() ? action.Shown() : strShown, false, IsKeyHeld());
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

void CKeyRouter::OpenMenu(const CKeyAction& action) {
    if (m_menu.IsOpen() && m_menu.IsOpeningAction(action)) {
        CarryMenuOutcome(m_menu.Close());
        return;
    }
    const CKeyMapLayers layers = MappedLayers();
    CMenuModel::Context context;
    if (!m_menu.IsOpen()) {
        const IDesktopEffects::MenuSettings settings = m_effects.ReadMenuSettings();
        m_menu.SetTimeout(settings.nTimeoutMs);
        m_menu.SetKeyboardLayout(settings.layout);
        context.nKeyboardScanMs = settings.nKeyboardScanMs;
        if (!FrontWindow(layers, context.window)) {
            return;
        }
        context.strMode = m_modeState.GetMode();
        // The main menu's cheat sheet tells the keys of the remote in hand.
        const bool bZelmar = m_nMappedKey >= RC_KEY_ZELMAR_FIRST;
        context.nFirstKey = bZelmar ? RC_KEY_ZELMAR_FIRST : RC_KEY_VEKO_FIRST;
        context.nLastKey = bZelmar ? RC_KEY_ZELMAR_LAST : RC_KEY_VEKO_LAST;
        m_strModeBeforeMenu = m_modeState.GetMode();
    }
    const CMenuModel::Outcome outcome =
        action.GetKind() == Kind::Keyboard
            ? m_menu.OpenKeyboard(context)
            : m_menu.Open(layers.GetMap(CKeyMapLayers::USER),
                          layers.GetMap(CKeyMapLayers::INSTALLATION), context, action.GetMenu());
    if (m_menu.IsOpen()) {
        // No note: the menu shows itself.
        m_modeState.Set(CMenuModel::STEERING_MODE);
    }
    CarryMenuOutcome(outcome);
}

void CKeyRouter::CarryMenuOutcome(const CMenuModel::Outcome& outcome) {
    if (outcome.bClosed) {
        // Before the chosen entry, which may switch that mode.
        m_modeState.Set(m_strModeBeforeMenu);
        m_effects.HideMenu();
    }
    if (outcome.bCarry) {
        CKeyActionEngine::Step step{};
        step.answer.action = outcome.action;
        step.answer.layer = outcome.layer;
        step.answer.nLine = outcome.nLine;
        Carry(step, outcome.strLabel, outcome.bConfirmed);
    }
    if (outcome.bChanged && m_menu.IsOpen() && !m_effects.ShowMenu(m_menu)) {
        // Keys must never steer a menu nobody sees.
        m_menu.Close();
        m_modeState.Set(m_strModeBeforeMenu);
        m_effects.HideMenu();
        m_notices.ShowBalloon(KEY_MAP_TITLE, UNSHOWN_MENU_TEXT);
    }
    if (!outcome.strNote.empty() && !m_notices.ShowActionNote(outcome.strNote, true, IsKeyHeld())) {
        m_notices.ShowBalloon(KEY_MAP_TITLE, outcome.strNote);
    }
}
