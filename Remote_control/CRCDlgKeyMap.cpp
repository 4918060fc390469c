// Keys for applications that do not know the remote's message: KeyMap.ini
// names a keystroke per key and window, typed into the foreground window.
#include "CRCDlg.h"

#include "CReg.h"
#include "Settings.h"

#include <vector>

namespace {

const char* const KEY_MAP_TITLE = "Remote Control - Key map";
// Enough for any caption a section can name (values are cut at 254).
const int CAPTION_SIZE = 1024;

INPUT KeyboardInput(const CKeyChord::Input& input) {
    INPUT record;
    ZeroMemory(&record, sizeof(record));
    record.type = INPUT_KEYBOARD;
    record.ki.wVk = input.nVirtualKey;
    // Programs that read scan codes get the ones a keyboard would send.
    record.ki.wScan = static_cast<WORD>(MapVirtualKeyA(input.nVirtualKey, MAPVK_VK_TO_VSC));
    record.ki.dwFlags =
        (input.bExtended ? KEYEVENTF_EXTENDEDKEY : 0u) | (input.bKeyUp ? KEYEVENTF_KEYUP : 0u);
    return record;
}

UINT SendInputs(const std::vector<CKeyChord::Input>& inputs) {
    std::vector<INPUT> records;
    for (const CKeyChord::Input& input : inputs) {
        records.push_back(KeyboardInput(input));
    }
    if (records.empty()) {
        return 0;
    }
    return SendInput(static_cast<UINT>(records.size()), records.data(), sizeof(INPUT));
}

} // namespace

void CRCDlg::LoadKeyMap() {
    std::string strPath;
    // Without Path the receiving applications could not load either, and
    // the program has ended before this.
    if (CReg().ReadString(HKEY_LOCAL_MACHINE, std::string(settings::SETTINGS_KEY),
                          std::string(settings::VALUE_PATH), strPath) != CReg::RESULT_OK) {
        return;
    }
    m_keyMap.Open(CKeyMapFile::FileNameIn(strPath));
}

void CRCDlg::TypeMappedKey(int nKey, int nRepeat) {
    m_keyMap.Refresh();
    const std::string strWarning = m_keyMap.PendingWarning();
    if (!strWarning.empty() && ShowTrayBalloon(KEY_MAP_TITLE, strWarning, NIIF_WARNING)) {
        m_keyMap.MarkWarned();
    }

    // Applications name their main window; a dialog in front is owned by it.
    HWND hWindow = GetForegroundWindow();
    if (hWindow != nullptr) {
        hWindow = GetAncestor(hWindow, GA_ROOTOWNER);
    }
    std::string strClass;
    std::string strCaption;
    if (hWindow != nullptr) {
        DWORD dwProcess = 0;
        GetWindowThreadProcessId(hWindow, &dwProcess);
        // The test dialog shows the keys; typing into it would close it.
        if (dwProcess == GetCurrentProcessId()) {
            return;
        }
        char szText[CAPTION_SIZE] = "";
        GetClassNameA(hWindow, szText, sizeof(szText));
        strClass = szText;
        szText[0] = '\0';
        GetWindowTextA(hWindow, szText, sizeof(szText));
        strCaption = szText;
    }

    const CKeyMap::Rule rule =
        m_keyMap.GetMap().Find({strClass, strCaption, ""}, nKey, CKeyMap::Form::Plain);
    if (rule.pAction == nullptr || rule.pAction->GetChords().empty() ||
        (nRepeat != 0 && !rule.pAction->Repeats())) {
        return;
    }
    const CKeyChord* pChord = &rule.pAction->GetChords()[0];
    const std::vector<CKeyChord::Input> inputs = pChord->Inputs();
    // One call, so that no other input comes between the records.
    const UINT nSent = SendInputs(inputs);
    if (nSent > 0 && nSent < inputs.size()) {
        // Input was blocked part way: release what went down.
        SendInputs(pChord->ReleasesAfter(nSent));
    }
}
