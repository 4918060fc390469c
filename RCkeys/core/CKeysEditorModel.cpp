#include "CKeysEditorModel.h"

#include "ActionText.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"
#include "IniText.h"
#include "ReadyMadeEntries.h"
#include "RemoteKeyText.h"
#include "CWhichRuleAnswers.h"
#include "RemoteControl.h"
#include "Settings.h"
#include "UnicodeText.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

const char* const ALL_APPLICATIONS = "All applications";
// KV480 reads 64 sections of a file; a list far longer helps nobody.
const std::size_t MAX_LISTED = 1000;
const char* const VALUE_ANY = "NULL";

const char* const INSTALLED_SUFFIX = " (administrator, for everyone)";
const char* const MODE_PREFIX = "Mode: ";
const char* const MENU_PREFIX = "Menu: ";
const char* const FORM_NAMES[CKeyMapDocument::FORM_COUNT] = {"press", "long press", "double press"};

bool IsVekoKey(int nKey) {
    return nKey >= RC_KEY_VEKO_FIRST && nKey <= RC_KEY_VEKO_LAST;
}

// Text a criterion pattern matches: its wildcards match nothing; NULL any.
std::string SampleOf(const std::string& strPattern) {
    if (strPattern == VALUE_ANY) {
        return std::string();
    }
    std::string strText = strPattern;
    strText.erase(std::remove(strText.begin(), strText.end(), '*'), strText.end());
    return strText;
}

// Why KV480 skips the action; empty when it reads it.
std::string ParseProblem(const std::string& strAction) {
    CKeyAction action;
    std::string strReason;
    return strAction.empty() || action.Parse(strAction, strReason) ? std::string() : strReason;
}

// Mode names compare in any case, as KV480 compares them.
bool SameMode(const std::string& strA, const std::string& strB) {
    std::u32string a = unicodetext::CodePoints(initext::Trim(strA));
    std::u32string b = unicodetext::CodePoints(initext::Trim(strB));
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (unicodetext::FoldCase(a[i]) != unicodetext::FoldCase(b[i])) {
            return false;
        }
    }
    return true;
}

bool HasCriterion(const CKeyMapDocument& doc, std::size_t nSection) {
    for (int c = 0; c < CKeyMapDocument::CRITERION_COUNT; ++c) {
        if (!doc.GetCriterion(nSection, static_cast<CKeyMapDocument::Criterion>(c)).empty()) {
            return true;
        }
    }
    return false;
}

} // namespace

CKeysEditorModel::CKeysEditorModel(Convert ansiToUtf8, ConvertExact utf8ToAnsi)
    : m_ansiToUtf8(std::move(ansiToUtf8)), m_utf8ToAnsi(std::move(utf8ToAnsi)) {}

void CKeysEditorModel::Load(const std::string& strUserFile, FileState state,
                            const std::string& strUserBytes, const std::string& strInstalledBytes) {
    m_strUserFile = strUserFile;
    m_strLoadNote.clear();
    m_bCanSave = !strUserFile.empty();
    if (state == FileState::Folder) {
        m_bCanSave = false;
        m_strLoadNote = "Your key map " + strUserFile + " is a folder: nothing can be saved.";
    } else if (state == FileState::Unreadable) {
        // Saving what could not be read would lose it.
        m_bCanSave = false;
        m_strLoadNote = "Your key map " + strUserFile +
                        " cannot be read (another program may hold it): nothing can be saved.";
    }
    m_user.Load(strUserBytes.data(), strUserBytes.size());
    m_strUserBytes = strUserBytes;
    if (!m_user.IsComplete()) {
        m_bCanSave = false;
        m_strLoadNote = "Your key map is larger than 1 MB or its last letter is cut off: it is "
                        "shown, but not saved, so that nothing of it is lost.";
    } else if (m_user.GetSectionCount() > CKeyMap::MAX_SECTIONS) {
        m_strLoadNote = "KV480 reads only the first " + std::to_string(CKeyMap::MAX_SECTIONS) +
                        " applications of your key map.";
    } else if (m_user.GetUnknownLineCount() > 0) {
        m_strLoadNote = std::to_string(m_user.GetUnknownLineCount()) +
                        " line(s) of your key map are not understood; they are kept as they are.";
    }
    m_installed.Load(strInstalledBytes.data(), strInstalledBytes.size());
    m_bSaved = false;
    ListApplications(m_user.FindCatchAll(), false);
}

bool CKeysEditorModel::ChangedOnDisk(FileState state, const std::string& strOnDisk) const {
    return (state == FileState::Ok && strOnDisk != m_strUserBytes) ||
           (state == FileState::Missing && !m_strUserBytes.empty());
}

void CKeysEditorModel::Saved(const std::string& strBytes, const std::string& strImportedFrom) {
    m_strUserBytes = strBytes;
    m_user.SetModified(false);
    m_bSaved = true;
    m_strImportedFrom = strImportedFrom;
}

const CKeysEditorModel::Entry* CKeysEditorModel::Selected() const {
    return m_nApp >= 0 && m_nApp < static_cast<int>(m_apps.size())
               ? &m_apps[static_cast<std::size_t>(m_nApp)]
               : nullptr;
}

void CKeysEditorModel::SelectApplication(int nItem) {
    if (nItem < 0 || nItem >= static_cast<int>(m_apps.size())) {
        nItem = m_apps.empty() ? -1 : 0;
    }
    m_nApp = nItem;
}

void CKeysEditorModel::ListApplications(std::size_t nSection, bool bInstalled) {
    m_apps.clear();
    int nSelect = -1;
    const auto add = [&](bool bFromInstalled, std::size_t i) {
        if (bFromInstalled == bInstalled && i == nSection) {
            nSelect = static_cast<int>(m_apps.size());
        }
        const CKeyMapDocument& doc = bFromInstalled ? m_installed : m_user;
        m_apps.push_back({bFromInstalled, false, i, EntryText(bFromInstalled, i),
                          FromFile(doc, doc.GetMode(i))});
    };
    const auto count = [](const CKeyMapDocument& doc) {
        return (std::min)(doc.GetSectionCount(), MAX_LISTED);
    };
    // As KV480 asks them while a mode is on: that mode's sections, the
    // user's then the installation folder's, before all without a mode.
    for (const std::string& strMode : ModeNames()) {
        for (const bool bFromInstalled : {false, true}) {
            const CKeyMapDocument& doc = bFromInstalled ? m_installed : m_user;
            for (std::size_t i = 0; i < count(doc); ++i) {
                if (SameMode(FromFile(doc, doc.GetMode(i)), strMode)) {
                    add(bFromInstalled, i);
                }
            }
        }
    }
    const std::size_t nCatchAll = m_user.FindCatchAll();
    for (std::size_t i = 0; i < count(m_user); ++i) {
        if (m_user.GetMode(i).empty()) {
            add(false, i);
        }
    }
    if (nCatchAll == m_user.GetSectionCount()) {
        // Shown before the user sets a key in it; the section comes with the
        // first one.
        if (nSelect < 0 && !bInstalled) {
            nSelect = static_cast<int>(m_apps.size());
        }
        m_apps.push_back({false, true, nCatchAll, ALL_APPLICATIONS, std::string()});
    }
    for (std::size_t i = 0; i < count(m_installed); ++i) {
        if (m_installed.GetMode(i).empty()) {
            add(true, i);
        }
    }
    SelectApplication(nSelect < 0 ? 0 : nSelect);
}

std::string CKeysEditorModel::EntryText(bool bInstalled, std::size_t nSection) const {
    const CKeyMapDocument& doc = bInstalled ? m_installed : m_user;
    const std::string strName = FromFile(doc, doc.GetSectionName(nSection));
    const std::string strMode = FromFile(doc, doc.GetMode(nSection));
    const std::string strMenu = FromFile(doc, doc.GetMenu(nSection));
    std::string strText =
        !strMenu.empty()
            ? MENU_PREFIX + strMenu + (HasCriterion(doc, nSection) ? ", " + strName : std::string())
        : !strMode.empty()
            ? MODE_PREFIX + strMode + (HasCriterion(doc, nSection) ? ", " + strName : std::string())
        : !bInstalled && nSection == m_user.FindCatchAll() ? std::string(ALL_APPLICATIONS)
                                                           : strName;
    return bInstalled ? strText + INSTALLED_SUFFIX : strText;
}

std::string CKeysEditorModel::AnswerText(bool bInstalled, const std::string& strSection,
                                         const std::string& strMode) const {
    const CKeyMapDocument& doc = bInstalled ? m_installed : m_user;
    for (const Entry& entry : m_apps) {
        if (entry.bInstalled == bInstalled && !entry.bMissingCatchAll &&
            SameMode(entry.strMode, strMode) &&
            FromFile(doc, doc.GetSectionName(entry.nSection)) == strSection) {
            return entry.strText;
        }
    }
    return bInstalled ? strSection + INSTALLED_SUFFIX : strSection;
}

std::vector<std::string> CKeysEditorModel::ModeNames() const {
    return NamesOf(&CKeyMapDocument::GetMode);
}

std::vector<std::string> CKeysEditorModel::WhichRuleModes() const {
    std::vector<std::string> modes = ModeNames();
    if (std::none_of(modes.begin(), modes.end(), [](const std::string& strMode) {
            return SameMode(strMode, CWhichRuleAnswers::MENU_MODE);
        })) {
        modes.push_back(CWhichRuleAnswers::MENU_MODE);
    }
    return modes;
}

std::vector<std::string> CKeysEditorModel::ModeChoices() const {
    std::vector<std::string> modes = ModeNames();
    modes.erase(std::remove_if(modes.begin(), modes.end(),
                               [](const std::string& strMode) {
                                   return SameMode(strMode, CWhichRuleAnswers::MENU_MODE);
                               }),
                modes.end());
    return modes;
}

std::vector<std::string> CKeysEditorModel::MenuNames() const {
    return NamesOf(&CKeyMapDocument::GetMenu);
}

std::vector<std::string>
CKeysEditorModel::NamesOf(std::string (CKeyMapDocument::*pLine)(std::size_t) const) const {
    std::vector<std::string> names;
    for (const CKeyMapDocument* pDoc : {&m_user, &m_installed}) {
        for (std::size_t i = 0; i < pDoc->GetSectionCount(); ++i) {
            const std::string strName = FromFile(*pDoc, (pDoc->*pLine)(i));
            if (!strName.empty() &&
                std::none_of(names.begin(), names.end(), [&](const std::string& strKnown) {
                    return SameMode(strKnown, strName);
                })) {
                names.push_back(strName);
            }
        }
    }
    return names;
}

bool CKeysEditorModel::AddMode(const std::string& strName, std::string& strReason) {
    const std::string strMode = initext::Trim(strName);
    if (!m_bCanSave) {
        strReason = m_strLoadNote;
        return false;
    }
    if (!CKeyAction::IsModeName(strMode, strReason)) {
        return false;
    }
    for (std::size_t i = 0; i < m_user.GetSectionCount(); ++i) {
        if (SameMode(FromFile(m_user, m_user.GetMode(i)), strMode)) {
            strReason = "there is already a mode \"" + strMode + "\"";
            return false;
        }
    }
    // No window criteria: the mode serves every window, and a KV480 that
    // knows no modes skips the section rather than use it always.
    ToFile(m_user, "Mode " + strMode);
    const std::size_t nSection =
        m_user.AddSection(ToFile(m_user, "Mode " + strMode), "", "", "", m_user.GetSectionCount());
    m_user.SetMode(nSection, ToFile(m_user, strMode));
    ListApplications(nSection, false);
    return true;
}

bool CKeysEditorModel::AddMenu(const std::string& strName, std::string& strReason) {
    const std::string strMenu = initext::Trim(strName);
    if (!m_bCanSave) {
        strReason = m_strLoadNote;
        return false;
    }
    if (!CKeyAction::IsMenuName(strMenu, strReason)) {
        return false;
    }
    for (std::size_t i = 0; i < m_user.GetSectionCount(); ++i) {
        if (SameMode(FromFile(m_user, m_user.GetMenu(i)), strMenu)) {
            strReason = "there is already a menu \"" + strMenu + "\"";
            return false;
        }
    }
    // No window criteria: the menu serves every window.
    const std::size_t nSection =
        m_user.AddSection(ToFile(m_user, "Menu " + strMenu), "", "", "", m_user.GetSectionCount());
    m_user.SetMenu(nSection, ToFile(m_user, strMenu));
    ListApplications(nSection, false);
    return true;
}

bool CKeysEditorModel::IsMenuSelected() const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr && !pDoc->GetMenu(nSection).empty();
}

std::string CKeysEditorModel::SelectedMenuName() const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr ? FromFile(*pDoc, pDoc->GetMenu(nSection)) : std::string();
}

std::vector<std::string> CKeysEditorModel::GetMenuItems() const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    std::vector<std::string> items;
    if (pDoc != nullptr) {
        for (const std::string& strItem : pDoc->GetMenuItems(nSection)) {
            items.push_back(FromFile(*pDoc, strItem));
        }
    }
    return items;
}

void CKeysEditorModel::SetMenuItems(const std::vector<std::string>& items) {
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || !IsSelectedWritable() || !IsMenuSelected()) {
        return;
    }
    const std::size_t nSection = pEntry->nSection;
    std::vector<std::string> written;
    for (const std::string& strItem : items) {
        written.push_back(ToFile(m_user, strItem));
    }
    m_user.SetMenuItems(nSection, written);
    m_bSaved = false;
}

std::string CKeysEditorModel::MenuItemProblem(const std::string& strLabel,
                                              const std::string& strAction) {
    if (initext::Trim(strLabel).empty()) {
        return "the entry needs a label: the text the menu shows";
    }
    if (initext::Trim(strAction).empty()) {
        return "choose what the entry does";
    }
    CKeyAction action;
    std::string strReason;
    if (!action.Parse(strAction, strReason)) {
        return strReason;
    }
    return action.GetKind() == CKeyAction::Kind::MenuSteer
               ? "a menu's entry cannot steer the menu: the remote's keys do that"
               : std::string();
}

bool CKeysEditorModel::SetMenuItem(std::size_t nItem, const std::string& strLabel,
                                   const std::string& strAction, std::string& strReason) {
    std::vector<std::string> items = GetMenuItems();
    strReason = MenuItemProblem(strLabel, strAction);
    if (!IsSelectedWritable() || !IsMenuSelected()) {
        strReason = "only a menu of your own key map can be changed";
    } else if (nItem > items.size() ||
               (nItem == items.size() && items.size() >= CKeyMap::MAX_ITEMS)) {
        strReason = "a menu holds at most " + std::to_string(CKeyMap::MAX_ITEMS) + " entries";
    }
    if (!strReason.empty()) {
        return false;
    }
    const std::string strItem = JoinMenuItem(strLabel, strAction);
    if (nItem == items.size()) {
        items.push_back(strItem);
    } else {
        items[nItem] = strItem;
    }
    SetMenuItems(items);
    return true;
}

void CKeysEditorModel::RemoveMenuItem(std::size_t nItem) {
    std::vector<std::string> items = GetMenuItems();
    if (nItem < items.size()) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(nItem));
        SetMenuItems(items);
        m_bSaved = false;
    }
}

bool CKeysEditorModel::MoveMenuItem(std::size_t nItem, bool bUp) {
    std::vector<std::string> items = GetMenuItems();
    const std::size_t nOther = bUp ? nItem - 1 : nItem + 1;
    if (!IsSelectedWritable() || nItem >= items.size() || (bUp && nItem == 0) ||
        nOther >= items.size()) {
        return false;
    }
    std::swap(items[nItem], items[nOther]);
    SetMenuItems(items);
    return true;
}

std::string CKeysEditorModel::GetScan() const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr ? pDoc->GetScan(nSection) : std::string();
}

void CKeysEditorModel::SetScan(const std::string& strMs) {
    const Entry* pEntry = Selected();
    if (pEntry != nullptr && IsSelectedWritable() && IsMenuSelected()) {
        m_user.SetScan(pEntry->nSection, strMs);
        m_bSaved = false;
    }
}

bool CKeysEditorModel::CanRenameMode() const {
    const Entry* pEntry = Selected();
    return CanRemove() && !pEntry->strMode.empty();
}

bool CKeysEditorModel::RenameMode(const std::string& strName, std::string& strReason) {
    if (!CanRenameMode()) {
        strReason = "only a mode of your own key map can be renamed";
        return false;
    }
    const std::string strMode = initext::Trim(strName);
    if (!CKeyAction::IsModeName(strMode, strReason)) {
        return false;
    }
    const std::string strOld = Selected()->strMode;
    const std::size_t nSelected = Selected()->nSection;
    if (!SameMode(strMode, strOld) &&
        std::any_of(m_apps.begin(), m_apps.end(),
                    [&](const Entry& entry) { return SameMode(entry.strMode, strMode); })) {
        strReason = "there is already a mode \"" + strMode + "\"";
        return false;
    }
    ToFile(m_user, "Mode " + strMode);
    for (std::size_t i = 0; i < m_user.GetSectionCount(); ++i) {
        if (SameMode(FromFile(m_user, m_user.GetMode(i)), strOld)) {
            m_user.SetMode(i, ToFile(m_user, strMode));
            // The name the editor gave it follows; one the user chose stays.
            if (FromFile(m_user, m_user.GetSectionName(i)) == "Mode " + strOld) {
                m_user.RenameSection(i, ToFile(m_user, "Mode " + strMode));
            }
        }
        // The keys that switch to it switch to it under its new name.
        for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
            for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
                const auto form = static_cast<Form>(nForm);
                ActionParts parts = SplitAction(FromFile(m_user, m_user.GetAction(i, nKey, form)));
                if (parts.kind == CKeyAction::Kind::Mode && SameMode(parts.strValue, strOld)) {
                    parts.strValue = strMode;
                    m_user.SetAction(i, nKey, form, ToFile(m_user, JoinAction(parts)));
                }
            }
        }
    }
    m_bSaved = false;
    ListApplications(nSelected, false);
    return true;
}

bool CKeysEditorModel::CanRenameMenu() const {
    return CanRemove() && IsMenuSelected();
}

std::string CKeysEditorModel::WithMenuRenamed(const std::string& strAction,
                                              const std::string& strOld,
                                              const std::string& strNew) const {
    CKeyAction action;
    std::string strReason;
    if (strAction.empty() || !action.Parse(strAction, strReason) ||
        action.GetKind() != CKeyAction::Kind::Menu || !SameMode(action.GetMenu(), strOld)) {
        return strAction;
    }
    ActionParts parts = SplitAction(strAction);
    parts.strValue = strNew;
    return JoinAction(parts);
}

bool CKeysEditorModel::RenameMenu(const std::string& strName, std::string& strReason) {
    if (!CanRenameMenu()) {
        strReason = "only a menu of your own key map can be renamed";
        return false;
    }
    const std::string strMenu = initext::Trim(strName);
    if (!CKeyAction::IsMenuName(strMenu, strReason)) {
        return false;
    }
    const std::size_t nSelected = Selected()->nSection;
    const std::string strOld = FromFile(m_user, m_user.GetMenu(nSelected));
    for (std::size_t i = 0; i < m_user.GetSectionCount(); ++i) {
        const std::string strOther = FromFile(m_user, m_user.GetMenu(i));
        if (!SameMode(strOther, strOld) && SameMode(strOther, strMenu)) {
            strReason = "there is already a menu \"" + strMenu + "\"";
            return false;
        }
    }
    ToFile(m_user, "Menu " + strMenu);
    for (std::size_t i = 0; i < m_user.GetSectionCount(); ++i) {
        if (SameMode(FromFile(m_user, m_user.GetMenu(i)), strOld)) {
            m_user.SetMenu(i, ToFile(m_user, strMenu));
            // The name the editor gave it follows; one the user chose stays.
            if (FromFile(m_user, m_user.GetSectionName(i)) == "Menu " + strOld) {
                m_user.RenameSection(i, ToFile(m_user, "Menu " + strMenu));
            }
        }
        // Keys and entries (submenus) that open it open it under its new name.
        for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
            for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
                const auto form = static_cast<Form>(nForm);
                const std::string strAction = FromFile(m_user, m_user.GetAction(i, nKey, form));
                const std::string strRenamed = WithMenuRenamed(strAction, strOld, strMenu);
                if (strRenamed != strAction) {
                    m_user.SetAction(i, nKey, form, ToFile(m_user, strRenamed));
                }
            }
        }
        std::vector<std::string> items = m_user.GetMenuItems(i);
        bool bRenamed = false;
        for (std::string& strItem : items) {
            std::string strLabel;
            std::string strAction;
            if (SplitMenuItem(FromFile(m_user, strItem), strLabel, strAction)) {
                const std::string strRenamed = WithMenuRenamed(strAction, strOld, strMenu);
                if (strRenamed != strAction) {
                    strItem = ToFile(m_user, JoinMenuItem(strLabel, strRenamed));
                    bRenamed = true;
                }
            }
        }
        if (bRenamed) {
            m_user.SetMenuItems(i, items);
        }
    }
    m_bSaved = false;
    ListApplications(nSelected, false);
    return true;
}

bool CKeysEditorModel::NeighbourInGroup(std::size_t nSection, bool bUp, std::size_t& nOther) const {
    const std::string strMode = FromFile(m_user, m_user.GetMode(nSection));
    for (std::size_t i = nSection; bUp ? i > 0 : i + 1 < m_user.GetSectionCount();) {
        i = bUp ? i - 1 : i + 1;
        if (SameMode(FromFile(m_user, m_user.GetMode(i)), strMode)) {
            nOther = i;
            return true;
        }
    }
    return false;
}

std::string CKeysEditorModel::MenuOpener(const std::string& strMenu) const {
    const auto opens = [&](const std::string& strAction) {
        CKeyAction action;
        std::string strReason;
        return !strAction.empty() && action.Parse(strAction, strReason) &&
               action.GetKind() == CKeyAction::Kind::Menu && SameMode(action.GetMenu(), strMenu);
    };
    // The keys first, each with its remote: that is what the user presses,
    // and a key of the other remote opens nothing on this one.
    constexpr std::size_t NAMED_KEYS = 3;
    std::string strKeys;
    std::size_t nKeys = 0;
    for (const CKeyMapDocument* pDoc : {&m_user, &m_installed}) {
        for (std::size_t i = 0; i < pDoc->GetSectionCount(); ++i) {
            for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
                for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
                    if (!opens(
                            FromFile(*pDoc, pDoc->GetAction(i, nKey, static_cast<Form>(nForm))))) {
                        continue;
                    }
                    if (++nKeys <= NAMED_KEYS) {
                        strKeys += std::string(strKeys.empty() ? "" : "; ") +
                                   remote_key_text::KeyListText(nKey, false, false, false) +
                                   (IsVekoKey(nKey) ? " (VEKO), " : " (ZELMAR_OVI), ") +
                                   FORM_NAMES[nForm] + ", in \"" +
                                   FromFile(*pDoc, pDoc->GetSectionName(i)) + "\"" +
                                   (pDoc == &m_installed ? " (set by the administrator)" : "");
                    }
                }
            }
        }
    }
    if (nKeys > NAMED_KEYS) {
        strKeys += "; and " + std::to_string(nKeys - NAMED_KEYS) + " more";
    }
    if (!strKeys.empty()) {
        return strKeys;
    }
    for (const CKeyMapDocument* pDoc : {&m_user, &m_installed}) {
        for (std::size_t i = 0; i < pDoc->GetSectionCount(); ++i) {
            for (const std::string& strItem : pDoc->GetMenuItems(i)) {
                std::string strLabel;
                std::string strAction;
                if (SplitMenuItem(FromFile(*pDoc, strItem), strLabel, strAction) &&
                    opens(strAction)) {
                    return "the entry \"" + strLabel + "\" of the menu \"" +
                           FromFile(*pDoc, pDoc->GetMenu(i)) + "\"";
                }
            }
        }
    }
    return std::string();
}

bool CKeysEditorModel::IsModeSwitched(const std::string& strMode) const {
    for (const CKeyMapDocument* pDoc : {&m_user, &m_installed}) {
        for (std::size_t i = 0; i < pDoc->GetSectionCount(); ++i) {
            for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
                for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
                    const ActionParts parts = SplitAction(
                        FromFile(*pDoc, pDoc->GetAction(i, nKey, static_cast<Form>(nForm))));
                    if (parts.kind == CKeyAction::Kind::Mode && SameMode(parts.strValue, strMode)) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

bool CKeysEditorModel::IsSelectedWritable() const {
    const Entry* pEntry = Selected();
    return pEntry != nullptr && !pEntry->bInstalled && m_bCanSave;
}

bool CKeysEditorModel::CanMove(bool bUp) const {
    std::size_t nOther = 0;
    return CanRemove() && NeighbourInGroup(Selected()->nSection, bUp, nOther);
}

bool CKeysEditorModel::CanRemove() const {
    const Entry* pEntry = Selected();
    return pEntry != nullptr && !pEntry->bInstalled && !pEntry->bMissingCatchAll && m_bCanSave;
}

bool CKeysEditorModel::MoveSelected(bool bUp) {
    const Entry* pEntry = Selected();
    std::size_t nOther = 0;
    if (pEntry == nullptr || pEntry->bInstalled || pEntry->bMissingCatchAll ||
        !NeighbourInGroup(pEntry->nSection, bUp, nOther)) {
        return false;
    }
    // Past the sections of other modes (or of none) between: their order
    // among themselves stays, and only the order within a group counts.
    std::size_t nSection = pEntry->nSection;
    while (nSection != nOther && m_user.MoveSection(nSection, bUp)) {
        nSection = bUp ? nSection - 1 : nSection + 1;
    }
    ListApplications(nSection, false);
    return true;
}

void CKeysEditorModel::RemoveSelected() {
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bInstalled || pEntry->bMissingCatchAll) {
        return;
    }
    m_user.RemoveSection(pEntry->nSection);
    ListApplications(m_user.FindCatchAll(), false);
}

void CKeysEditorModel::AddApplication(const std::string& strName, const std::string& strProgram,
                                      const std::string& strClass, const std::string& strWindow,
                                      const ReadyMadeEntry* pReadyMade) {
    // The encoding for all four first: one converted after another was made
    // ANSI would mix the two.
    ToFile(m_user, strName + strProgram + strClass + strWindow);
    // Above the catch-all, which would otherwise answer first.
    const std::size_t nSection = m_user.AddSection(
        ToFile(m_user, strName), ToFile(m_user, strProgram), ToFile(m_user, strClass),
        ToFile(m_user, strWindow), m_user.FindCatchAll());
    if (pReadyMade != nullptr) {
        for (const ReadyMadeEntry::Action& action : pReadyMade->actions) {
            int nKey = 0;
            Form form = CKeyMapDocument::FORM_PLAIN;
            ReadyMadeKey(action.pszKey, nKey, form);
            m_user.SetAction(nSection, nKey, form, action.pszAction);
        }
    }
    ListApplications(nSection, false);
}

std::string CKeysEditorModel::SelectedName() const {
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bMissingCatchAll) {
        return std::string();
    }
    const CKeyMapDocument& doc = pEntry->bInstalled ? m_installed : m_user;
    return FromFile(doc, doc.GetSectionName(pEntry->nSection));
}

int CKeysEditorModel::GetFirstKey() const {
    return m_nRcType == settings::RC_TYPE_VEKO ? RC_KEY_VEKO_FIRST : RC_KEY_ZELMAR_FIRST;
}

int CKeysEditorModel::GetLastKey() const {
    return m_nRcType == settings::RC_TYPE_VEKO ? RC_KEY_VEKO_LAST : RC_KEY_ZELMAR_LAST;
}

void CKeysEditorModel::SelectRcType(int nRcType) {
    m_nRcType = nRcType == settings::RC_TYPE_ZELMAR_OVI ? settings::RC_TYPE_ZELMAR_OVI
                                                        : settings::RC_TYPE_VEKO;
    if (IsVekoKey(m_nKey) != (m_nRcType == settings::RC_TYPE_VEKO)) {
        m_nKey = GetFirstKey();
    }
}

bool CKeysEditorModel::SelectKey(int nKey) {
    if (!RC_IS_KEY(nKey)) {
        return false;
    }
    m_nKey = nKey;
    m_nRcType = IsVekoKey(nKey) ? settings::RC_TYPE_VEKO : settings::RC_TYPE_ZELMAR_OVI;
    return true;
}

const CKeyMapDocument* CKeysEditorModel::SelectedDocument(std::size_t& nSection) const {
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bMissingCatchAll) {
        return nullptr;
    }
    nSection = pEntry->nSection;
    return pEntry->bInstalled ? &m_installed : &m_user;
}

std::string CKeysEditorModel::GetAction(Form form) const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr ? FromFile(*pDoc, pDoc->GetAction(nSection, m_nKey, form))
                           : std::string();
}

void CKeysEditorModel::SetAction(Form form, const std::string& strAction) {
    if (Selected() == nullptr || Selected()->bInstalled) {
        return;
    }
    Entry& entry = m_apps[static_cast<std::size_t>(m_nApp)];
    if (entry.bMissingCatchAll) {
        // The catch-all goes last: above it, it would answer for every
        // application below.
        entry.nSection =
            m_user.AddSection(ALL_APPLICATIONS, "", VALUE_ANY, VALUE_ANY, m_user.GetSectionCount());
        entry.bMissingCatchAll = false;
    }
    m_user.SetAction(entry.nSection, m_nKey, form, ToFile(m_user, strAction));
    // Whatever the file now holds, what was saved is no longer what is shown.
    m_bSaved = false;
}

bool CKeysEditorModel::IsKeySet(int nKey) const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    for (int nForm = 0; pDoc != nullptr && nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        if (!pDoc->GetAction(nSection, nKey, static_cast<Form>(nForm)).empty()) {
            return true;
        }
    }
    return false;
}

bool CKeysEditorModel::IsFormSet(int nKey, Form form) const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr && !pDoc->GetAction(nSection, nKey, form).empty();
}

std::string CKeysEditorModel::GetProblem(Form form) const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    return pDoc != nullptr ? ParseProblem(FromFile(*pDoc, pDoc->GetAction(nSection, m_nKey, form)))
                           : std::string();
}

bool CKeysEditorModel::HasProblem(int nKey) const {
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    for (int nForm = 0; pDoc != nullptr && nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        if (!ParseProblem(
                 FromFile(*pDoc, pDoc->GetAction(nSection, nKey, static_cast<Form>(nForm))))
                 .empty()) {
            return true;
        }
    }
    return false;
}

CKeysEditorModel::Inherited CKeysEditorModel::GetInherited(Form form) const {
    Inherited inherited;
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || !GetAction(form).empty()) {
        return inherited;
    }
    // A window the entry serves, as its criteria describe it; the catch-all
    // (also before it exists) serves one that no other criterion names.
    CKeyMap::Window window;
    std::size_t nSection = 0;
    if (const CKeyMapDocument* pDoc = SelectedDocument(nSection)) {
        const auto sample = [&](CKeyMapDocument::Criterion criterion) {
            return SampleOf(FromFile(*pDoc, pDoc->GetCriterion(nSection, criterion)));
        };
        window = {sample(CKeyMapDocument::CRITERION_CLASS),
                  sample(CKeyMapDocument::CRITERION_WINDOW),
                  CKeyMap::FileNameOf(sample(CKeyMapDocument::CRITERION_PROGRAM))};
    }
    // Asked as KV480 asks them, from the files as they are now.
    CKeyMap maps[CKeyMapLayers::LAYER_COUNT];
    const std::string strUser = m_user.Save();
    const std::string strInstalled = m_installed.Save();
    maps[CKeyMapLayers::USER].Parse(strUser.data(), strUser.size(), m_ansiToUtf8);
    maps[CKeyMapLayers::INSTALLATION].Parse(strInstalled.data(), strInstalled.size(), m_ansiToUtf8);
    // In a mode's entry, as KV480 asks them while that mode is on.
    const CKeyMapLayers layers(maps[CKeyMapLayers::USER], maps[CKeyMapLayers::INSTALLATION],
                               pEntry->strMode);
    const CKeyMapLayers::Answer answer =
        layers.Find(window, m_nKey, static_cast<CKeyMap::Form>(form));
    if (!answer.IsFound()) {
        return inherited;
    }
    // As the note shows it, with the repeat mark that is written (a pointer
    // move repeats unmarked).
    const CKeyAction::Kind kind = answer.action.GetKind();
    inherited.strAction =
        CKeyAction::Write(CKeyAction::Kind::Keys, answer.action.Shown(),
                          answer.action.IsMarkedRepeat() && kind != CKeyAction::Kind::MouseMove);
    inherited.strFrom =
        AnswerText(answer.layer == CKeyMapLayers::INSTALLATION, answer.strSection, answer.strMode);
    return inherited;
}

std::vector<std::string> CKeysEditorModel::NamedPrograms() const {
    std::vector<std::string> programs;
    for (const CKeyMapDocument* pDoc : {&m_user, &m_installed}) {
        for (std::size_t nSection = 0; nSection < pDoc->GetSectionCount(); ++nSection) {
            for (int nKey = CKeyMapDocument::FIRST_KEY; nKey <= CKeyMapDocument::LAST_KEY; ++nKey) {
                for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
                    const ActionParts parts = SplitAction(
                        FromFile(*pDoc, pDoc->GetAction(nSection, nKey, static_cast<Form>(nForm))));
                    if (parts.kind == CKeyAction::Kind::Run &&
                        std::find(programs.begin(), programs.end(), parts.strValue) ==
                            programs.end()) {
                        programs.push_back(parts.strValue);
                    }
                }
            }
        }
    }
    return programs;
}

std::string CKeysEditorModel::ImportProblem(const std::string& strBytes) {
    CKeyMapDocument doc;
    doc.Load(strBytes.data(), strBytes.size());
    if (!doc.IsComplete()) {
        return "it is larger than 1 MB or its last letter is cut off";
    }
    if (doc.GetSectionCount() == 0) {
        return "it sets no keys for any application";
    }
    return std::string();
}

bool CKeysEditorModel::IsUserFileRead() const {
    return m_resident.GetStatus() != CPublishedState::Status::Running ||
           m_resident.ReadsUserFile(m_strUserFile);
}

std::string CKeysEditorModel::StatusText(bool bCapturing, const std::string& strNote) const {
    std::string strText;
    const Entry* pEntry = Selected();
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    if (pEntry != nullptr && pEntry->bInstalled) {
        strText = "Set by the administrator for everyone; your own applications come first.";
    } else if (pDoc != nullptr && !pEntry->strMode.empty()) {
        const std::string strMode = "\"" + pEntry->strMode + "\"";
        strText = "Keys set here work while the mode " + strMode + " is on" +
                  (HasCriterion(*pDoc, nSection) ? " (in the windows this entry names)"
                                                 : ", in every application") +
                  "; a key not set here keeps its usual meaning.";
        if (!IsModeSwitched(pEntry->strMode)) {
            // A mode no key switches on is never on.
            strText += "\r\nNo key switches it on yet: choose Mode " + strMode +
                       " for a key in \"" + ALL_APPLICATIONS + "\".";
        }
    } else if (pDoc != nullptr && !pDoc->GetMenu(nSection).empty()) {
        const std::string strName = FromFile(*pDoc, pDoc->GetMenu(nSection));
        const std::string strMenu = "\"" + strName + "\"";
        strText = "On the screen, the remote's steering keys choose an entry of the menu " +
                  strMenu + " and start it" +
                  (HasCriterion(*pDoc, nSection) ? " (in the windows this entry names)." : ".");
        const std::string strOpener = MenuOpener(strName);
        // A menu no key opens never shows.
        strText += strOpener.empty() ? "\r\nNo key opens it yet: choose On-screen menu " + strMenu +
                                           " for a key in \"" + ALL_APPLICATIONS + "\"."
                                     : "\r\nOpened by " + strOpener + ".";
        // A step out of bounds is taken as the nearest bound.
        const std::string strScan = initext::Trim(pDoc->GetScan(nSection));
        unsigned nScan = 0;
        if (CKeyMap::ReadScanMs(strScan, nScan) && nScan != 0 && std::to_string(nScan) != strScan) {
            strText += "\r\nKV480 moves the selection every " + std::to_string(nScan) + " ms.";
        }
    } else if (pDoc != nullptr && !pDoc->IsCatchAll(nSection)) {
        const char* const LABELS[] = {"Program", "Window class", "Window title"};
        for (int c = 0; c < CKeyMapDocument::CRITERION_COUNT; ++c) {
            const std::string strValue =
                pDoc->GetCriterion(nSection, static_cast<CKeyMapDocument::Criterion>(c));
            if (!strValue.empty()) {
                strText += std::string(strText.empty() ? "" : "; ") + LABELS[c] + ": " +
                           FromFile(*pDoc, strValue);
            }
        }
    } else {
        strText = "Keys set here work in every application that does not set them itself.";
    }
    // Below the last entry nothing is asked.
    if (pEntry != nullptr && !pEntry->bInstalled && pEntry->strMode.empty() && !IsMenuSelected() &&
        static_cast<std::size_t>(m_nApp) + 1 < m_apps.size()) {
        strText += "\r\nA key not set here goes to the applications below.";
    }
    if (bCapturing) {
        strText += "\r\nPress the keystroke on the keyboard (Tab leaves the field).";
    }
    if (!strNote.empty()) {
        strText += "\r\n" + strNote;
    }
    // A menu's panel shows no key: what the selected key does is not its news.
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT && !IsMenuSelected(); ++nForm) {
        const auto form = static_cast<Form>(nForm);
        const std::string strFormProblem = GetProblem(form);
        CKeyAction action;
        std::string strReason;
        if (action.Parse(GetAction(form), strReason) && action.NeedsConfirmation()) {
            strText += std::string("\r\n") + action.Shown() +
                       " acts only when the key is pressed again within 5 seconds.";
        }
        if (!strFormProblem.empty()) {
            strText += std::string("\r\nThe ") + FORM_NAMES[nForm] +
                       " does nothing: " + strFormProblem + ".";
        }
        // The plain press going to the entries below is what users expect;
        // a long or double press decided there changes the key here too.
        const Inherited inherited = form != CKeyMapDocument::FORM_PLAIN && pEntry != nullptr
                                        ? GetInherited(form)
                                        : Inherited();
        if (!inherited.strAction.empty()) {
            std::string strForm = FORM_NAMES[nForm];
            strForm[0] = static_cast<char>(strForm[0] - 'a' + 'A');
            strText += "\r\n" + strForm + ": as \"" + inherited.strFrom +
                       "\" sets it (choose Nothing to turn it off here).";
        }
    }
    if (!m_strLoadNote.empty()) {
        strText += "\r\n" + m_strLoadNote;
    }
    if (m_user.IsModified()) {
        strText += "\r\nNot saved yet.";
    } else if (m_bSaved) {
        // Without a word the user cannot tell that the save took, nor where.
        strText +=
            (m_strImportedFrom.empty() ? "\r\nSaved in "
                                       : "\r\nImported from " + m_strImportedFrom + " into ") +
            m_strUserFile + "; " + m_resident.SavedEffect(m_strUserFile);
    }
    return strText;
}

void CKeysEditorModel::ReadyMadeKey(const char* pszKey, int& nKey, Form& form) {
    const std::string strKey = pszKey;
    nKey = std::atoi(pszKey + 3);
    form = strKey.find("long") != std::string::npos     ? CKeyMapDocument::FORM_LONG
           : strKey.find("double") != std::string::npos ? CKeyMapDocument::FORM_DOUBLE
                                                        : CKeyMapDocument::FORM_PLAIN;
}

std::string CKeysEditorModel::FromFile(const CKeyMapDocument& doc,
                                       const std::string& strText) const {
    return doc.GetEncoding() == CKeyMapDocument::Encoding::Ansi && !strText.empty()
               ? m_ansiToUtf8(strText)
               : strText;
}

std::string CKeysEditorModel::ToFile(CKeyMapDocument& doc, const std::string& strText) const {
    std::string strAnsi;
    if (doc.GetEncoding() != CKeyMapDocument::Encoding::Ansi || m_utf8ToAnsi(strText, strAnsi)) {
        return doc.GetEncoding() == CKeyMapDocument::Encoding::Ansi ? strAnsi : strText;
    }
    // "?" in place of what the user typed would be lost text.
    doc.ConvertToUtf8(m_ansiToUtf8);
    return strText;
}
