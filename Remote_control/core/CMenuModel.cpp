#include "CMenuModel.h"

#include "CActionConfirmation.h"
#include "CKeyMapLayers.h"
#include "RemoteControl.h"
#include "UnicodeText.h"

namespace {

using Steer = CKeyAction::Steer;
using Key = COnScreenKeyboard::Key;

CKeyAction Parsed(const std::string& strValue) {
    CKeyAction action;
    std::string strReason;
    action.Parse(strValue, strReason);
    return action;
}

// The main menu's fixed part after the keys and modes: the presenter's
// tools and the PC's actions.
const char* const FIXED_ENTRIES[][2] = {
    {"Spotlight", "Spotlight"},
    {"Laser dot", "LaserDot"},
    {"Magnifier", "Magnifier"},
    {"Blank screen", "BlankScreen"},
    {"Talk timer 20:00", "Timer \"20:00\""},
    {"Lock the PC", "Lock"},
    {"Sleep", "Sleep"},
    {"Hibernate", "Hibernate"},
    {"Monitor off", "MonitorOff"},
    {"Shut down", "ShutDown"},
    {"Restart", "Restart"},
};
const char* const FORM_LABELS[] = {"", " long", " double"};

} // namespace

CMenuModel::CMenuModel(CDeadlineClock& clock, Listener onTime)
    : m_clock(clock), m_onTime(onTime ? std::move(onTime) : [](const Outcome&) {}),
      m_scanTimer(clock, [this] { ScanStep(); }), m_timeoutTimer(clock, [this] { TimedOut(); }),
      m_tapTimer(clock, [this] { TapEnded(); }) {}

void CMenuModel::SetKeyboardLayout(const COnScreenKeyboard::Layout& layout) {
    m_keyboard = COnScreenKeyboard(layout);
}

CMenuModel::Outcome CMenuModel::Open(const CKeyMap& userMap, const CKeyMap& installationMap,
                                     const Context& context, const std::string& strName) {
    Outcome outcome;
    if (!IsOpen()) {
        m_context = context;
    }
    m_pUserMap = &userMap;
    m_pInstallationMap = &installationMap;
    m_bAsked = false;
    // A menu opened from the keyboard's key map goes above it; the keyboard
    // stays when it cannot open.
    const bool bKeyboard = m_bKeyboard;
    m_bKeyboard = false;
    outcome.bChanged = Push(strName, outcome.strNote);
    m_bKeyboard = bKeyboard && !outcome.bChanged;
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::OpenKeyboard(const Context& context) {
    Outcome outcome;
    if (!IsOpen()) {
        m_context = context;
    }
    m_bKeyboard = true;
    m_bAsked = false;
    m_keyboard.Reset(m_context.nKeyboardScanMs > 0);
    outcome.bChanged = true;
    Touched(true);
    return outcome;
}

bool CMenuModel::Push(const std::string& strName, std::string& strNote) {
    const std::string strQuoted = "\"" + strName + "\"";
    if (m_levels.size() == MAX_LEVELS) {
        strNote = "Menus open at most " + std::to_string(MAX_LEVELS) + " deep: the menu " +
                  strQuoted + " is not opened";
        return false;
    }
    for (const Level& open : m_levels) {
        if (unicodetext::EqualFolded(open.strName, strName)) {
            strNote = "The menu " + strQuoted + " is already open: it is not opened again";
            return false;
        }
    }
    Level level;
    level.strName = strName;
    // The user's file first, as CKeyMapLayers asks; the file is kept for
    // what an entry's program start tells.
    CKeyMapLayers::Layer layer = CKeyMapLayers::USER;
    const CKeyMap::Menu* pMenu = m_pUserMap->FindMenu(m_context.window, strName);
    if (pMenu == nullptr) {
        layer = CKeyMapLayers::INSTALLATION;
        pMenu = m_pInstallationMap->FindMenu(m_context.window, strName);
    }
    if (pMenu != nullptr) {
        level.strName = pMenu->strName; // the title as its section writes it
        level.nScanMs = pMenu->nScanMs;
        for (const CKeyMap::MenuItem& item : pMenu->items) {
            level.entries.push_back({item.strLabel, item.action, layer, item.nLine});
        }
    } else if (unicodetext::EqualFolded(strName, MAIN_MENU)) {
        level.entries = MainMenu();
    } else {
        strNote = "There is no menu " + strQuoted + " for this window";
        return false;
    }
    if (level.entries.empty()) {
        strNote = "The menu " + strQuoted + " is empty";
        return false;
    }
    m_levels.push_back(level);
    return true;
}

std::vector<CMenuModel::Entry> CMenuModel::MainMenu() const {
    std::vector<Entry> entries;
    // What each key does here, in the mode that was on: a cheat sheet whose
    // entries act as the keys would.
    const CKeyMapLayers layers(*m_pUserMap, *m_pInstallationMap, m_context.strMode);
    for (int nKey = m_context.nFirstKey; nKey <= m_context.nLastKey; ++nKey) {
        const char* pszKey = RC_KEY_NAME(nKey);
        for (int nForm = 0; nForm < CKeyMap::FORM_COUNT && pszKey != nullptr; ++nForm) {
            const CKeyMapLayers::Answer answer =
                layers.Find(m_context.window, nKey, static_cast<CKeyMap::Form>(nForm));
            const CKeyAction::Kind kind = answer.action.GetKind();
            if (answer.IsFound() && kind != CKeyAction::Kind::Nothing &&
                kind != CKeyAction::Kind::MenuSteer) {
                entries.push_back({"Key " + std::to_string(nKey) + " " + pszKey +
                                       FORM_LABELS[nForm] + ": " + answer.action.Shown(),
                                   answer.action, answer.layer, answer.nLine});
            }
        }
    }
    std::vector<std::string> modes = m_pUserMap->ModeNames();
    for (const std::string& strMode : m_pInstallationMap->ModeNames()) {
        bool bKnown = false;
        for (const std::string& strKnown : modes) {
            bKnown = bKnown || unicodetext::EqualFolded(strKnown, strMode);
        }
        if (!bKnown) {
            modes.push_back(strMode);
        }
    }
    for (const std::string& strMode : modes) {
        if (!unicodetext::EqualFolded(strMode, STEERING_MODE)) {
            const bool bOn = unicodetext::EqualFolded(strMode, m_context.strMode);
            entries.push_back({"Mode \"" + strMode + "\" " + (bOn ? "off" : "on"),
                               Parsed("Mode \"" + strMode + "\"")});
        }
    }
    for (const auto& fixed : FIXED_ENTRIES) {
        entries.push_back({fixed[0], Parsed(fixed[1])});
    }
    return entries;
}

CMenuModel::Outcome CMenuModel::Steer(CKeyAction::Steer steer) {
    if (!IsOpen()) {
        return Outcome();
    }
    if (steer != Steer::Select) {
        m_bAsked = false;
    }
    if (m_bKeyboard) {
        return SteerKeyboard(steer);
    }
    Outcome outcome;
    Level& level = m_levels.back();
    const std::size_t nCount = level.entries.size();
    switch (steer) {
    case Steer::Up:
    case Steer::Down:
        level.nSelected = (level.nSelected + (steer == Steer::Up ? nCount - 1 : 1)) % nCount;
        outcome.bChanged = true;
        break;
    case Steer::Left:
    case Steer::Right:
        break; // a list has no columns
    case Steer::Select:
        return Choose();
    case Steer::Back:
        return Back();
    }
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::Choose() {
    Outcome outcome;
    const std::size_t nLevel = m_levels.size() - 1;
    const std::size_t nEntry = m_levels.back().nSelected;
    const Entry entry = m_levels.back().entries[nEntry];
    const CKeyAction::Kind kind = entry.action.GetKind();
    if (kind == CKeyAction::Kind::Menu) {
        outcome.bChanged = Push(entry.action.GetMenu(), outcome.strNote);
    } else if (kind == CKeyAction::Kind::Keyboard) {
        return OpenKeyboard(m_context);
    } else if (entry.action.NeedsConfirmation() &&
               !(m_bAsked && m_nAskedLevel == nLevel && m_nAskedEntry == nEntry &&
                 m_clock.Now() - m_nAskedMs <= CActionConfirmation::CONFIRM_MS)) {
        // As from a key: the first Select only asks.
        m_bAsked = true;
        m_nAskedLevel = nLevel;
        m_nAskedEntry = nEntry;
        m_nAskedMs = m_clock.Now();
        outcome.strNote = AskText(entry.strLabel, entry.action);
    } else {
        outcome.bCarry = true;
        outcome.action = entry.action;
        outcome.strLabel = entry.strLabel;
        outcome.layer = entry.layer;
        outcome.nLine = entry.nLine;
        outcome.bConfirmed = entry.action.NeedsConfirmation();
        CloseAll(outcome);
        return outcome;
    }
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::Back() {
    Outcome outcome;
    m_levels.pop_back();
    if (m_levels.empty()) {
        CloseAll(outcome);
        return outcome;
    }
    outcome.bChanged = true;
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::SteerKeyboard(CKeyAction::Steer steer) {
    Outcome outcome;
    Key typed;
    if (m_keyboard.EndTap(typed)) {
        // Another key only ends the tap, as on a phone.
        outcome = Typed(typed);
    } else if (m_context.nKeyboardScanMs > 0 && steer != Steer::Back) {
        if (steer == Steer::Select && m_keyboard.ScanSelect(typed)) {
            outcome = Typed(typed);
        } else if (steer == Steer::Down) {
            m_keyboard.ScanStep();
        }
        outcome.bChanged = true;
    } else if (steer == Steer::Back) {
        outcome.bChanged = true;
        if (!m_keyboard.ScanBack()) {
            m_bKeyboard = false;
            if (m_levels.empty()) {
                CloseAll(outcome);
                return outcome;
            }
        }
    } else if (steer == Steer::Select) {
        outcome = Typed(m_keyboard.Selected());
    } else {
        m_keyboard.Move(steer == Steer::Up     ? -1
                        : steer == Steer::Down ? 1
                                               : 0,
                        steer == Steer::Left    ? -1
                        : steer == Steer::Right ? 1
                                                : 0);
        outcome.bChanged = true;
    }
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::Typed(const COnScreenKeyboard::Key& key) {
    Outcome outcome;
    outcome.bCarry = true;
    outcome.bChanged = true;
    outcome.strLabel = COnScreenKeyboard::NameOf(key);
    switch (key.kind) {
    case Key::Kind::Backspace:
    case Key::Kind::Enter:
        outcome.action = Parsed(outcome.strLabel);
        break;
    case Key::Kind::Space:
    case Key::Kind::Character:
        // Text takes any character between its outer quotes, a quote too.
        outcome.action = Parsed("Text \"" + key.strText + "\"");
        break;
    }
    return outcome;
}

CMenuModel::Outcome CMenuModel::Digit(int nDigit) {
    Outcome outcome;
    if (!IsOpen()) {
        return outcome;
    }
    m_bAsked = false;
    if (m_bKeyboard) {
        Key typed;
        if (m_keyboard.Tap(nDigit, m_clock.Now(), typed)) {
            outcome = Typed(typed);
        }
        outcome.bChanged = true;
    } else {
        const std::size_t nEntry = nDigit == 0 ? 9 : static_cast<std::size_t>(nDigit) - 1;
        if (nDigit >= 0 && nDigit <= 9 && nEntry < m_levels.back().entries.size()) {
            m_levels.back().nSelected = nEntry;
            outcome.bChanged = true;
        }
    }
    Touched(true);
    return outcome;
}

CMenuModel::Outcome CMenuModel::Close() {
    Outcome outcome;
    if (IsOpen()) {
        CloseAll(outcome);
    }
    return outcome;
}

bool CMenuModel::IsOpeningAction(const CKeyAction& action) const {
    if (m_levels.empty()) {
        return m_bKeyboard && action.GetKind() == CKeyAction::Kind::Keyboard;
    }
    return action.GetKind() == CKeyAction::Kind::Menu &&
           unicodetext::EqualFolded(action.GetMenu(), m_levels.front().strName);
}

void CMenuModel::CloseAll(Outcome& outcome) {
    m_levels.clear();
    m_bKeyboard = false;
    m_bAsked = false;
    outcome.bClosed = true;
    outcome.bChanged = false;
    Touched(true);
}

unsigned CMenuModel::ScanMs() const {
    if (m_bKeyboard) {
        return m_context.nKeyboardScanMs;
    }
    return m_levels.empty() ? 0 : m_levels.back().nScanMs;
}

void CMenuModel::Touched(bool bRestartScan) {
    const unsigned nScanMs = ScanMs();
    if (nScanMs == 0) {
        m_scanTimer.Cancel();
    } else if (bRestartScan || !m_scanTimer.IsSet()) {
        // The first entry waits a step longer, so a scan round has a clear start.
        const bool bFirst = m_bKeyboard ? (m_keyboard.IsScanningRows() ? m_keyboard.Row() == 0
                                                                       : m_keyboard.Column() == 0)
                                        : m_levels.back().nSelected == 0;
        m_scanTimer.SetAfter(bFirst ? 2ULL * nScanMs : nScanMs);
    }
    if (IsOpen() && m_nTimeoutMs > 0) {
        m_timeoutTimer.SetAfter(m_nTimeoutMs);
    } else {
        m_timeoutTimer.Cancel();
    }
    std::uint64_t nTapDueMs = 0;
    if (m_bKeyboard && m_keyboard.TapDeadline(nTapDueMs)) {
        m_tapTimer.SetAt(nTapDueMs);
    } else {
        m_tapTimer.Cancel();
    }
}

void CMenuModel::ScanStep() {
    bool bFirst = false;
    if (m_bKeyboard) {
        bFirst = m_keyboard.ScanStep();
    } else if (!m_levels.empty()) {
        Level& level = m_levels.back();
        level.nSelected = (level.nSelected + 1) % level.entries.size();
        bFirst = level.nSelected == 0;
    }
    const unsigned nScanMs = ScanMs();
    if (nScanMs > 0) {
        m_scanTimer.SetAfter(bFirst ? 2ULL * nScanMs : nScanMs);
    }
    Outcome outcome;
    outcome.bChanged = true;
    m_onTime(outcome);
}

void CMenuModel::TimedOut() {
    Outcome outcome;
    CloseAll(outcome);
    m_onTime(outcome);
}

void CMenuModel::TapEnded() {
    Key typed;
    if (m_keyboard.EndTap(typed)) {
        m_onTime(Typed(typed));
    }
}

const std::vector<CMenuModel::Entry>& CMenuModel::Entries() const {
    static const std::vector<Entry> none;
    return m_levels.empty() ? none : m_levels.back().entries;
}

std::size_t CMenuModel::SelectedIndex() const {
    return m_levels.empty() ? 0 : m_levels.back().nSelected;
}

std::size_t CMenuModel::FirstShown(std::size_t nSelected, std::size_t nCount, std::size_t nRows) {
    if (nCount <= nRows) {
        return 0;
    }
    const std::size_t nFirst = nSelected > nRows / 2 ? nSelected - nRows / 2 : 0;
    return nFirst < nCount - nRows ? nFirst : nCount - nRows;
}

std::string CMenuModel::Title() const {
    if (m_bKeyboard) {
        return KEYBOARD_TITLE;
    }
    return m_levels.empty() ? std::string() : m_levels.back().strName;
}

std::string CMenuModel::WindowText() const {
    if (m_bKeyboard) {
        return m_keyboard.Text();
    }
    return m_levels.empty() ? std::string() : m_levels.back().entries[SelectedIndex()].strLabel;
}

std::string CMenuModel::AskText(const std::string& strLabel, const CKeyAction& action) {
    return "Select \"" + strLabel + "\" again within " +
           std::to_string(CActionConfirmation::CONFIRM_MS / 1000) + " s to " +
           CActionConfirmation::Verb(action) + " the PC";
}
