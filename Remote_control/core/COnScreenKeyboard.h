#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The on-screen keyboard that the remote steers: rows of keys built from the
// user's keyboard layout (its letters, the digits, its accented letters, and
// Space, Backspace, Enter), a selection moved by the four steering keys,
// multi-tap on digit keys (2 = a, b, c, 2 ...), and scanning of the rows,
// then of the keys in the chosen row. Uses no operating-system service: the
// layout and the times come from outside, the owner types what it gives.
class COnScreenKeyboard {
public:
    struct Key {
        enum class Kind { Character, Space, Backspace, Enter };
        Kind kind = Kind::Character;
        std::string strText; // Character: one character, UTF-8
    };
    // Each string a row of characters, UTF-8; an empty accented row is left out.
    struct Layout {
        std::vector<std::string> letterRows;
        std::string strAccented;
    };
    // Taps of one digit within this time cycle its letters; a pause as long,
    // or any other key, types the letter shown.
    static constexpr std::uint64_t MULTI_TAP_MS = 1000;

    // For tests and as the fallback: a US English keyboard.
    static Layout UsEnglish();

    explicit COnScreenKeyboard(const Layout& layout = UsEnglish());

    // As it opens: the first key selected, no tap waiting; scanning the rows
    // when bScan.
    void Reset(bool bScan);

    // Up and Down change the row (the column kept as far as the row
    // reaches), Left and Right the key in the row; all wrap around.
    void Move(int nRows, int nColumns);
    const Key& Selected() const { return m_rows[m_nRow][m_nColumn]; }
    std::size_t Row() const { return m_nRow; }
    std::size_t Column() const { return m_nColumn; }
    const std::vector<std::vector<Key>>& Rows() const { return m_rows; }
    // What a screen reader says: the waiting tap's character, else, while
    // rows are scanned, the row's keys, else the selected key's name.
    std::string Text() const;
    // A key's name: its character, or "Space", "Backspace", "Enter".
    static std::string NameOf(const Key& key);

    // A tap of digit nDigit (0 to 9): true when it ends a waiting tap of
    // another digit, whose key is then in typed.
    bool Tap(int nDigit, std::uint64_t nNowMs, Key& typed);
    // Ends the waiting tap: false when none waits.
    bool EndTap(Key& typed);
    // When the waiting tap ends by itself; false when none waits.
    bool TapDeadline(std::uint64_t& nDueMs) const;

    // Scanning: whether rows, or keys of the chosen row, are scanned.
    bool IsScanningRows() const { return m_scan == Scan::Rows; }
    // One step of the scan, round and round; true when it came back to the
    // first row or key, which waits a step longer.
    bool ScanStep();
    // Select while scanning: false when it chose a row (its keys are scanned
    // next), true when it chose the key to type, given in typed (rows are
    // scanned again from the first).
    bool ScanSelect(Key& typed);
    // Back while scanning: false when rows were scanned (the keyboard
    // closes), true when it went back from a row's keys to the rows.
    bool ScanBack();

private:
    enum class Scan { Off, Rows, Keys };

    std::vector<std::vector<Key>> m_rows;
    std::size_t m_nRow = 0;
    std::size_t m_nColumn = 0;
    Scan m_scan = Scan::Off;
    int m_nTapDigit = -1; // -1: no tap waits
    std::size_t m_nTapIndex = 0;
    std::uint64_t m_nTapMs = 0;
};
