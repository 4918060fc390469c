// The way of one key event to whoever takes it: the key-map editor in
// front, the receiving application, else what the key maps name, carried
// out by the one carrier of its kind. Uses no operating-system service: the
// desktop's windows (IDesktopWindows) tell what is there, its effects
// (IDesktopEffects) carry out what the router decides, and the user is told
// through IUserNotices; the clock runs the action engine's deadlines.
#pragma once

#include "CActionConfirmation.h"
#include "CDeadlineClock.h"
#include "CKeyActionEngine.h"
#include "CMenuModel.h"
#include "CModeState.h"
#include "CRefusedPostNotice.h"
#include "IDesktopEffects.h"
#include "IDesktopWindows.h"
#include "IKeyEventSink.h"
#include "IUserNotices.h"

#include <vector>

class CKeyRouter : public IKeyEventSink {
public:
    // The title of the warnings about the key maps and their actions.
    static constexpr const char* KEY_MAP_TITLE = "Remote Control: key map";
    // Why an elevated KV480 leaves the user's own key map aside.
    static constexpr const char* ELEVATED_TEXT =
        "KV480 runs with administrator rights, so only the installation folder's KeyMap.ini "
        "acts, not yours in %APPDATA%\\Remote Control, which any program could change. Start "
        "KV480 without administrator rights to use yours.";
    // Why the remote does nothing in a locked session; told once per lock.
    static constexpr const char* LOCKED_TITLE = "Remote Control: session locked";
    // After an action that wants a second press, when its question could not
    // be shown.
    static constexpr const char* UNASKED_TEXT =
        " was not carried out: its question, which asks for a second press, could not be "
        "shown on the screen.";
    // When the on-screen menu could not be drawn, and so closed again.
    static constexpr const char* UNSHOWN_MENU_TEXT =
        "The on-screen menu could not be shown on the screen: it was closed again.";
    static constexpr const char* LOCKED_TEXT =
        "The session is locked: the remote's keys do nothing until you sign in again.";

    CKeyRouter(IDesktopWindows& windows, IDesktopEffects& effects, IUserNotices& notices,
               CDeadlineClock& clock);
    CKeyRouter(const CKeyRouter&) = delete;
    CKeyRouter& operator=(const CKeyRouter&) = delete;

    // A press (nRepeat NEW_PRESS) or a repeat: to the one window that takes
    // it (the key-map editor in front, then the receiving application's
    // window), else to the key maps.
    void KeyEvent(int nKey, int nRepeat) override;
    // The hold of nKey has ended.
    void KeyRelease(int nKey) override;

    // The user locked the session: the next key refused tells why again.
    void SessionLocked() { m_bToldLocked = false; }

private:
    using Window = IDesktopWindows::Window;

    // A post to a window was refused: tells the user once per window.
    void TellRefusedPost(Window target);
    // What the key maps name for the key in the window in front.
    void TypeMappedKey(int nKey, int nRepeat);
    // The key maps as they stand; the user's left aside while KV480 is elevated.
    CKeyMapLayers MappedLayers();
    // The window in front as the key maps see it; false for KV480's own.
    bool FrontWindow(const CKeyMapLayers& layers, CKeyMap::Window& window);
    // While a menu is open only what steers or opens menus and what the
    // mode Menu names act; nothing falls through to the window in front.
    // True when the key is left to the menu as a digit.
    bool KeepMenuKeys(int nKey, CKeyMapLayers::KeyAnswers& answers);
    // Carries out what the action engine decided and waits for its next time.
    void CarrySteps(const std::vector<CKeyActionEngine::Step>& steps);
    // The one place that decides where each kind of action goes. A menu's
    // entry names itself in the note (strShown), and a shutdown chosen
    // from it asked its question there (bConfirmed).
    void Carry(const CKeyActionEngine::Step& step, const std::string& strShown = std::string(),
               bool bConfirmed = false);
    void SwitchMode(const CKeyAction& action);
    void CarryPcAction(const CKeyActionEngine::Step& step, const std::string& strShown,
                       bool bConfirmed);
    // Another action ran: the second press is no longer awaited.
    void EndQuestion();
    // A note shown now waits for the key's release to start its time.
    bool IsKeyHeld() const { return m_nPressKey != 0; }
    // A Menu or Keyboard action: opens it, a submenu, or closes what it opened.
    void OpenMenu(const CKeyAction& action);
    // What the menu did, from a key or from the clock.
    void CarryMenuOutcome(const CMenuModel::Outcome& outcome);
    // In a locked session only the PC's own actions act (but Lock): the
    // others are dropped, and the user told once per lock.
    bool IsLockedOut(const CKeyAction& action);
    // Windows drops input into a window running with more rights than KV480
    // without a word: not sent, and the user told once per window.
    bool IsRefusedInput(Window target);

    IDesktopWindows& m_windows;
    IDesktopEffects& m_effects;
    IUserNotices& m_notices;
    CDeadlineClock& m_clock;
    CKeyActionEngine m_actionEngine;
    CDeadlineClock::Timer m_actionTimer;
    // The window that got the press of m_nPressKey, to which its release goes.
    Window m_pressTarget = 0;
    int m_nPressKey = 0;
    // The last key pressed that the key maps answer, kept past its release:
    // the key a question asks to press again, and the remote whose keys the
    // main menu's cheat sheet tells.
    int m_nMappedKey = 0;
    // Windows that refused a key and that the user has been told about.
    CRefusedPostNotice m_refusedPosts;
    // The mode that is on, asked before the key maps' other sections; and
    // the second press a shutdown waits for.
    CModeState m_modeState;
    CActionConfirmation m_confirmation;
    // The on-screen menu and keyboard, and the mode that comes back when it
    // closes.
    CMenuModel m_menu;
    std::string m_strModeBeforeMenu;
    // Stands for the user's key map while KV480 is elevated.
    const CKeyMap m_noMap;
    bool m_bToldElevated = false;
    bool m_bToldLocked = false;
};
