#pragma once

#include "CKeyChord.h"
#include "RemoteControl.h"

#include <cstddef>
#include <string>
#include <vector>

// The key map of KeyMap.ini: sections in file order, each naming the windows
// it serves (class and caption, NULL for any, '*' for any run of characters)
// and the keystroke for some of the remote's keys. Reads the file's text
// itself, so any bytes give a bounded result; uses no operating-system
// service.
class CKeyMap {
public:
    static constexpr int FIRST_KEY = RC_KEY_FIRST;
    static constexpr int LAST_KEY = RC_KEY_LAST;
    // Further sections are ignored.
    static constexpr std::size_t MAX_SECTIONS = 64;
    // Longer values are cut.
    static constexpr std::size_t MAX_VALUE = 254;
    // Longer files are read only this far.
    static constexpr std::size_t MAX_FILE_BYTES = 1024 * 1024;
    // Skipped lines kept for the report; all are counted.
    static constexpr std::size_t MAX_REPORTED = 16;

    struct SkippedLine {
        std::size_t nLine; // from 1
        std::string strReason;
    };

    // Replaces the map by the one in nSize bytes of file text.
    void Parse(const char* pText, std::size_t nSize);
    void Clear();

    // The keystroke for key nKey (nRepeat 0 = press, 1 = repeat) in a window
    // of this class and caption: the first section that matches the window
    // and maps the key decides; a repeat types only where the key is marked
    // "repeat". Null: nothing to type.
    const CKeyChord* ChordFor(const std::string& strClass, const std::string& strCaption, int nKey,
                              int nRepeat) const;

    std::size_t GetSectionCount() const { return m_sections.size(); }
    // The first skipped lines, in file order, and how many there were.
    const std::vector<SkippedLine>& GetSkipped() const { return m_skipped; }
    std::size_t GetSkippedCount() const { return m_nSkippedCount; }
    // One sentence on the first skipped line for the user; empty when none.
    std::string SkippedText() const;

    // '*' matches any run of characters; letters compare in any case.
    static bool Matches(const std::string& strPattern, const std::string& strText);

private:
    struct Action {
        bool bMapped = false;
        bool bRepeat = false;
        CKeyChord chord;
    };
    struct Section {
        std::string strName;
        std::size_t nLine = 0;
        bool bHasClass = false;
        bool bHasCaption = false;
        std::string strClass; // empty with bAnyClass
        std::string strCaption;
        bool bAnyClass = false;
        bool bAnyCaption = false;
        Action actions[LAST_KEY - FIRST_KEY + 1];
    };

    void ParseLine(const std::string& strLine, std::size_t nLine);
    void SetValue(Section& section, const std::string& strName, const std::string& strValue,
                  std::size_t nLine);
    // Drops the last section when it lacks a criterion.
    void EndSection();
    void Skip(std::size_t nLine, const std::string& strReason);

    std::vector<Section> m_sections;
    std::vector<SkippedLine> m_skipped;
    std::size_t m_nSkippedCount = 0;
    // Lines now belong to no section: before the first, or past the limit.
    bool m_bInSection = false;
    bool m_bSectionsFull = false;
};
