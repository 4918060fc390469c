#include "CKeysEditorModel.h"

#include "ActionText.h"
#include "CKeyMap.h"
#include "CKeyMapLayers.h"
#include "ReadyMadeEntries.h"
#include "RemoteControl.h"
#include "Settings.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace {

const char* const ALL_APPLICATIONS = "All applications";
// KV480 reads 64 sections of a file; a list far longer helps nobody.
const std::size_t MAX_LISTED = 1000;
const char* const VALUE_ANY = "NULL";

const char* const INSTALLED_SUFFIX = " (administrator, for everyone)";
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
        m_strLoadNote = "Your key map is longer than 1 MB or ends in half a character: it is "
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

void CKeysEditorModel::Saved(const std::string& strBytes) {
    m_strUserBytes = strBytes;
    m_user.SetModified(false);
    m_bSaved = true;
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
    const std::size_t nCatchAll = m_user.FindCatchAll();
    for (std::size_t i = 0; i < m_user.GetSectionCount() && i < MAX_LISTED; ++i) {
        if (i == nSection && !bInstalled) {
            nSelect = static_cast<int>(m_apps.size());
        }
        m_apps.push_back({false, false, i,
                          i == nCatchAll ? std::string(ALL_APPLICATIONS)
                                         : FromFile(m_user, m_user.GetSectionName(i))});
    }
    if (nCatchAll == m_user.GetSectionCount()) {
        // Shown before the user sets a key in it; the section comes with the
        // first one.
        if (nSelect < 0 && !bInstalled) {
            nSelect = static_cast<int>(m_apps.size());
        }
        m_apps.push_back({false, true, nCatchAll, ALL_APPLICATIONS});
    }
    for (std::size_t i = 0; i < m_installed.GetSectionCount() && i < MAX_LISTED; ++i) {
        if (bInstalled && i == nSection) {
            nSelect = static_cast<int>(m_apps.size());
        }
        m_apps.push_back({true, false, i,
                          FromFile(m_installed, m_installed.GetSectionName(i)) +
                              " (administrator, for everyone)"});
    }
    SelectApplication(nSelect < 0 ? 0 : nSelect);
}

bool CKeysEditorModel::IsSelectedWritable() const {
    const Entry* pEntry = Selected();
    return pEntry != nullptr && !pEntry->bInstalled && m_bCanSave;
}

bool CKeysEditorModel::CanMove(bool bUp) const {
    const Entry* pEntry = Selected();
    if (!CanRemove()) {
        return false;
    }
    return bUp ? pEntry->nSection > 0 : pEntry->nSection + 1 < m_user.GetSectionCount();
}

bool CKeysEditorModel::CanRemove() const {
    const Entry* pEntry = Selected();
    return pEntry != nullptr && !pEntry->bInstalled && !pEntry->bMissingCatchAll && m_bCanSave;
}

bool CKeysEditorModel::MoveSelected(bool bUp) {
    const Entry* pEntry = Selected();
    if (pEntry == nullptr || pEntry->bInstalled || pEntry->bMissingCatchAll) {
        return false;
    }
    const std::size_t nSection = pEntry->nSection;
    if (!m_user.MoveSection(nSection, bUp)) {
        return false;
    }
    ListApplications(bUp ? nSection - 1 : nSection + 1, false);
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
    const CKeyMapLayers layers(maps[CKeyMapLayers::USER], maps[CKeyMapLayers::INSTALLATION]);
    const CKeyMapLayers::Answer answer =
        layers.Find(window, m_nKey, static_cast<CKeyMap::Form>(form));
    if (!answer.IsFound()) {
        return inherited;
    }
    const CKeyAction::Kind kind = answer.action.GetKind();
    inherited.strAction =
        answer.action.Shown() +
        (answer.action.Repeats() && kind != CKeyAction::Kind::MouseMove ? " repeat" : "");
    const bool bUserCatchAll =
        answer.layer == CKeyMapLayers::USER && m_user.FindCatchAll() < m_user.GetSectionCount() &&
        answer.strSection == FromFile(m_user, m_user.GetSectionName(m_user.FindCatchAll()));
    inherited.strFrom = bUserCatchAll ? std::string(ALL_APPLICATIONS)
                        : answer.layer == CKeyMapLayers::INSTALLATION
                            ? answer.strSection + INSTALLED_SUFFIX
                            : answer.strSection;
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
                    if (parts.kind == ActionKind::Program &&
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
        return "it is longer than 1 MB or ends in half a character";
    }
    if (doc.GetSectionCount() == 0) {
        return "it sets no keys for any application";
    }
    return std::string();
}

std::string CKeysEditorModel::StatusText(bool bCapturing, const std::string& strProblem) const {
    std::string strText;
    const Entry* pEntry = Selected();
    std::size_t nSection = 0;
    const CKeyMapDocument* pDoc = SelectedDocument(nSection);
    if (pEntry != nullptr && pEntry->bInstalled) {
        strText = "Set by the administrator for everyone; your own applications come first.";
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
    if (pEntry != nullptr && !pEntry->bInstalled) {
        strText += "\r\nA key not set here goes to the applications below.";
    }
    if (bCapturing) {
        strText += "\r\nPress the keystroke on the keyboard (Tab leaves the field).";
    }
    if (!strProblem.empty()) {
        strText += "\r\nKV480 cannot type this: " + strProblem + ".";
    }
    for (int nForm = 0; nForm < CKeyMapDocument::FORM_COUNT; ++nForm) {
        const auto form = static_cast<Form>(nForm);
        const std::string strFormProblem = GetProblem(form);
        if (!strFormProblem.empty()) {
            strText += std::string("\r\nKV480 cannot carry out the ") + FORM_NAMES[nForm] + " (" +
                       strFormProblem + ") and skips it.";
        }
        // The plain press going to the entries below is what users expect;
        // a long or double press decided there changes the key here too.
        const Inherited inherited = form != CKeyMapDocument::FORM_PLAIN && pEntry != nullptr
                                        ? GetInherited(form)
                                        : Inherited();
        if (!inherited.strAction.empty()) {
            std::string strForm = FORM_NAMES[nForm];
            strForm[0] = static_cast<char>(strForm[0] - 'a' + 'A');
            strText +=
                "\r\n" + strForm + " set by \"" + inherited.strFrom + "\" (Nothing turns it off).";
        }
    }
    if (!m_strLoadNote.empty()) {
        strText += "\r\n" + m_strLoadNote;
    }
    if (m_user.IsModified()) {
        strText += "\r\nNot saved yet.";
    } else if (m_bSaved) {
        // Without a word the user cannot tell that the save took, nor where.
        strText += "\r\nSaved in " + m_strUserFile + "; KV480 uses it from the next key press.";
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
    return doc.GetEncoding() == CKeyMapDocument::Encoding::Ansi ? m_ansiToUtf8(strText) : strText;
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
