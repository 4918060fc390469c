#include "COnScreenKeyboard.h"

#include <iterator>

namespace {

using Key = COnScreenKeyboard::Key;

// A phone's letters on each digit, the digit itself last.
const char* const TAP_LETTERS[] = {" 0",   ".,?!1", "abc2",  "def3", "ghi4",
                                   "jkl5", "mno6",  "pqrs7", "tuv8", "wxyz9"};

std::vector<Key> KeysOf(const std::string& strRow) {
    std::vector<Key> keys;
    for (std::size_t i = 0; i < strRow.size(); ++i) {
        // A UTF-8 character goes on with its continuation bytes.
        if (keys.empty() || (static_cast<unsigned char>(strRow[i]) & 0xC0) != 0x80) {
            keys.push_back(Key());
        }
        keys.back().strText.push_back(strRow[i]);
    }
    return keys;
}

Key CharacterKey(char c) {
    Key key;
    key.kind = c == ' ' ? Key::Kind::Space : Key::Kind::Character;
    key.strText = std::string(1, c);
    return key;
}

} // namespace

COnScreenKeyboard::Layout COnScreenKeyboard::UsEnglish() {
    return Layout{{"qwertyuiop", "asdfghjkl", "zxcvbnm.,"}, "áéíóúñü"};
}

COnScreenKeyboard::COnScreenKeyboard(const Layout& layout) {
    std::vector<std::string> rows = layout.letterRows;
    rows.push_back("1234567890");
    rows.push_back(layout.strAccented);
    for (const std::string& strRow : rows) {
        if (!strRow.empty()) {
            m_rows.push_back(KeysOf(strRow));
        }
    }
    std::vector<Key> last(3);
    last[0].kind = Key::Kind::Space;
    last[0].strText = " ";
    last[1].kind = Key::Kind::Backspace;
    last[2].kind = Key::Kind::Enter;
    m_rows.push_back(last);
}

void COnScreenKeyboard::Reset(bool bScan) {
    m_nRow = 0;
    m_nColumn = 0;
    m_scan = bScan ? Scan::Rows : Scan::Off;
    m_nTapDigit = -1;
}

void COnScreenKeyboard::Move(int nRows, int nColumns) {
    const auto Wrapped = [](std::size_t nAt, int nBy, std::size_t nCount) {
        const long nMod = static_cast<long>(nCount);
        return static_cast<std::size_t>(((static_cast<long>(nAt) + nBy) % nMod + nMod) % nMod);
    };
    m_nRow = Wrapped(m_nRow, nRows, m_rows.size());
    if (m_nColumn >= m_rows[m_nRow].size()) {
        m_nColumn = m_rows[m_nRow].size() - 1;
    }
    m_nColumn = Wrapped(m_nColumn, nColumns, m_rows[m_nRow].size());
}

std::string COnScreenKeyboard::NameOf(const Key& key) {
    switch (key.kind) {
    case Key::Kind::Space:
        return "Space";
    case Key::Kind::Backspace:
        return "Backspace";
    case Key::Kind::Enter:
        return "Enter";
    case Key::Kind::Character:
        break;
    }
    return key.strText;
}

std::string COnScreenKeyboard::Text() const {
    if (m_nTapDigit >= 0) {
        return NameOf(CharacterKey(TAP_LETTERS[m_nTapDigit][m_nTapIndex]));
    }
    if (m_scan != Scan::Rows) {
        return NameOf(Selected());
    }
    std::string strText;
    for (const Key& key : m_rows[m_nRow]) {
        strText += (strText.empty() ? "" : " ") + NameOf(key);
    }
    return strText;
}

bool COnScreenKeyboard::Tap(int nDigit, std::uint64_t nNowMs, Key& typed) {
    bool bTyped = false;
    if (m_nTapDigit >= 0 && (nDigit != m_nTapDigit || nNowMs - m_nTapMs >= MULTI_TAP_MS)) {
        bTyped = EndTap(typed);
    }
    if (nDigit < 0 || nDigit >= static_cast<int>(std::size(TAP_LETTERS))) {
        return bTyped;
    }
    if (m_nTapDigit == nDigit) {
        m_nTapIndex = (m_nTapIndex + 1) % std::char_traits<char>::length(TAP_LETTERS[nDigit]);
    } else {
        m_nTapDigit = nDigit;
        m_nTapIndex = 0;
    }
    m_nTapMs = nNowMs;
    return bTyped;
}

bool COnScreenKeyboard::EndTap(Key& typed) {
    if (m_nTapDigit < 0) {
        return false;
    }
    typed = CharacterKey(TAP_LETTERS[m_nTapDigit][m_nTapIndex]);
    m_nTapDigit = -1;
    return true;
}

bool COnScreenKeyboard::TapDeadline(std::uint64_t& nDueMs) const {
    nDueMs = m_nTapMs + MULTI_TAP_MS;
    return m_nTapDigit >= 0;
}

bool COnScreenKeyboard::ScanStep() {
    if (m_scan == Scan::Rows) {
        Move(1, 0);
        m_nColumn = 0;
        return m_nRow == 0;
    }
    Move(0, 1);
    return m_nColumn == 0;
}

bool COnScreenKeyboard::ScanSelect(Key& typed) {
    const bool bTyped = m_scan == Scan::Keys;
    if (bTyped) {
        typed = Selected();
        m_nRow = 0;
    }
    m_scan = bTyped ? Scan::Rows : Scan::Keys;
    m_nColumn = 0;
    return bTyped;
}

bool COnScreenKeyboard::ScanBack() {
    if (m_scan != Scan::Keys) {
        return false;
    }
    m_scan = Scan::Rows;
    m_nColumn = 0;
    return true;
}
