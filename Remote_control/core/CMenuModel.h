#pragma once

#include "CDeadlineClock.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"
#include "COnScreenKeyboard.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The on-screen menus that the remote steers, and the keyboard: which menus
// are open one above the other, their entries and selection, what Select
// carries out, and the clock's part: scanning steps, the multi-tap's pause
// and the time-out of an untouched menu. Menus come from the key maps'
// Menu= sections for the window in front; the main menu, when no section
// gives it, is built here. Uses no operating-system service: the owner hands
// in the keys and the facts, carries out the outcomes and draws the window.
class CMenuModel {
public:
    // Submenus open at most this deep.
    static constexpr std::size_t MAX_LEVELS = 8;
    static constexpr std::uint64_t DEFAULT_TIMEOUT_MS = 30000;
    static constexpr const char* MAIN_MENU = "Main";
    // The mode that steers the menu is not offered in the main menu.
    static constexpr const char* STEERING_MODE = "Menu";
    static constexpr const char* KEYBOARD_TITLE = "Keyboard";

    // What is there when a menu opens, as the owner sees it.
    struct Context {
        CKeyMap::Window window;       // in front
        std::string strMode;          // on before the menu opened; empty for none
        int nFirstKey = 1;            // the remote's keys, for the main menu
        int nLastKey = 6;             //
        unsigned nKeyboardScanMs = 0; // the keyboard's scan step; 0: none
    };

    struct Entry {
        std::string strLabel;
        CKeyAction action;
        // Where the action is written; NO_LAYER for the main menu's own.
        CKeyMapLayers::Layer layer = CKeyMapLayers::NO_LAYER;
        std::size_t nLine = 0;
    };

    // What a call (or the clock) did, for the owner to carry out.
    struct Outcome {
        bool bCarry = false; // carry action: the chosen entry's, or the key typed
        CKeyAction action;
        std::string strLabel;                                 // the chosen entry's, for the note
        CKeyMapLayers::Layer layer = CKeyMapLayers::NO_LAYER; // where action is written
        std::size_t nLine = 0;                                //
        bool bConfirmed = false; // a shutdown or restart already asked twice
        std::string strNote;     // for the user: a refusal, an empty menu, a question
        bool bChanged = false;   // the window shows something else: draw it again
        bool bClosed = false;    // the last menu or keyboard closed: hide the window
    };
    using Listener = std::function<void(const Outcome&)>;

    // onTime gets what the clock does: scanning steps, a multi-tap typed, a
    // time-out.
    CMenuModel(CDeadlineClock& clock, Listener onTime);
    CMenuModel(const CMenuModel&) = delete;
    CMenuModel& operator=(const CMenuModel&) = delete;

    // An untouched menu closes after this long; 0: never.
    void SetTimeout(std::uint64_t nMs) { m_nTimeoutMs = nMs; }
    void SetKeyboardLayout(const COnScreenKeyboard::Layout& layout);

    // Opens the menu strName (any case) for the window in front: the first
    // with the key maps closed, else a submenu above the open ones. The maps
    // must live while the menu is open; their entries are copied.
    Outcome Open(const CKeyMap& userMap, const CKeyMap& installationMap, const Context& context,
                 const std::string& strName = MAIN_MENU);
    // Opens the keyboard, alone or above the open menus.
    Outcome OpenKeyboard(const Context& context);
    Outcome Steer(CKeyAction::Steer steer);
    // A digit key: on the keyboard a multi-tap, in a menu a jump to entry
    // nDigit (0 for the tenth).
    Outcome Digit(int nDigit);
    // Everything closes: the key that opened the menu, pressed again.
    Outcome Close();
    // Whether the action opened what is open at the bottom (the first menu,
    // or the keyboard alone): pressed again, it closes rather than nests.
    bool IsOpeningAction(const CKeyAction& action) const;

    bool IsOpen() const { return !m_levels.empty() || m_bKeyboard; }
    bool IsKeyboardShown() const { return m_bKeyboard; }
    std::size_t Depth() const { return m_levels.size(); }
    // The menu shown (not the keyboard): its entries and selection.
    const std::vector<Entry>& Entries() const;
    std::size_t SelectedIndex() const;
    const COnScreenKeyboard& Keyboard() const { return m_keyboard; }
    // A menu longer than the window scrolls: the first of the nRows entries
    // shown, the selection in the middle where the ends allow.
    static std::size_t FirstShown(std::size_t nSelected, std::size_t nCount, std::size_t nRows);
    // The name above the entries: the menu's, or "Keyboard".
    std::string Title() const;
    // The window's text, which a screen reader says at every move.
    std::string WindowText() const;
    // The question of a shutdown or restart chosen once from the entry
    // strLabel: Select answers it.
    static std::string AskText(const std::string& strLabel, const CKeyAction& action);

private:
    struct Level {
        std::string strName;
        std::vector<Entry> entries;
        std::size_t nSelected = 0;
        unsigned nScanMs = 0;
    };

    // Opens strName above the open menus; strNote says why not.
    bool Push(const std::string& strName, std::string& strNote);
    std::vector<Entry> MainMenu() const;
    Outcome Choose();
    Outcome SteerKeyboard(CKeyAction::Steer steer);
    Outcome Back();
    Outcome Typed(const COnScreenKeyboard::Key& key);
    void CloseAll(Outcome& outcome);
    // Sets the clock's timers for what is shown now.
    void Touched(bool bRestartScan);
    void ScanStep();
    void TimedOut();
    void TapEnded();
    unsigned ScanMs() const;

    CDeadlineClock& m_clock;
    Listener m_onTime;
    std::uint64_t m_nTimeoutMs = DEFAULT_TIMEOUT_MS;
    const CKeyMap* m_pUserMap = nullptr;
    const CKeyMap* m_pInstallationMap = nullptr;
    Context m_context;
    std::vector<Level> m_levels;
    bool m_bKeyboard = false;
    COnScreenKeyboard m_keyboard;
    // The shutdown asked for: its menu level and entry, and when.
    bool m_bAsked = false;
    std::size_t m_nAskedLevel = 0;
    std::size_t m_nAskedEntry = 0;
    std::uint64_t m_nAskedMs = 0;
    CDeadlineClock::Timer m_scanTimer;
    CDeadlineClock::Timer m_timeoutTimer;
    CDeadlineClock::Timer m_tapTimer;
};
