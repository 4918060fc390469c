#pragma once

#include "CKeyAction.h"
#include "RemoteControl.h"
#include "UnicodeText.h"

#include <cstddef>
#include <string>
#include <vector>

// The key map of one KeyMap.ini: sections in file order, each naming the
// windows it serves (class, caption and program file, NULL or left out for
// any, '*' for any run of characters) and what some of the remote's keys do
// there, in up to three forms each. A section with a Mode line belongs to
// that mode: it is asked only while the mode is on, and serves every window
// unless it names some. Reads the file's bytes itself (UTF-8,
// UTF-16 LE or the ANSI code page), so any bytes give a bounded result; uses
// no operating-system service.
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

    // A section with a Menu line is a menu's, not a key section: its
    // Item1= ... Item<MAX_ITEMS>= lines are "<label>" <action>, in number order.
    static constexpr int MAX_ITEMS = 64;
    // Scan= is kept within these; 0 is no scanning.
    static constexpr unsigned MIN_SCAN_MS = 300;
    static constexpr unsigned MAX_SCAN_MS = 10000;
    // A Scan line's value: false when it is no number of milliseconds; else
    // nMs is the step KV480 takes, kept within the bounds (0: no scanning).
    static bool ReadScanMs(const std::string& strValue, unsigned& nMs);

    struct MenuItem {
        std::string strLabel; // UTF-8
        CKeyAction action;
        std::size_t nLine; // from 1
    };
    struct Menu {
        std::string strName;         // as the Menu line writes it
        unsigned nScanMs = 0;        // 0: the selection moves only by keys
        std::vector<MenuItem> items; // by item number
    };

    // "Key<n>", "Key<n> long", "Key<n> double": each looked up on its own.
    enum class Form { Plain = 0, Long = 1, Double = 2 };
    static constexpr int FORM_COUNT = 3;

    // The window in front, as the caller sees it; all UTF-8. strProgram is
    // the file name of the program of the window's process ("vlc.exe"); a
    // full path is cut to its name.
    struct Window {
        std::string strClass;
        std::string strCaption;
        std::string strProgram;
    };

    // The entry that answers for a key in a window; pAction null when none.
    struct Rule {
        const CKeyAction* pAction = nullptr;
        std::size_t nSection = 0; // index, for GetSectionName
        std::size_t nLine = 0;    // line of the Key entry, from 1
    };

    struct SkippedLine {
        std::size_t nLine; // from 1
        std::string strReason;
    };

    // Replaces the map by the one in nSize bytes of file. pAnsi converts a
    // file that is neither UTF-8 nor UTF-16 from the ANSI code page.
    void Parse(const char* pText, std::size_t nSize,
               const unicodetext::AnsiToUtf8& pAnsi = nullptr);
    void Clear();

    // The first section from the top that matches the window and sets this
    // form of the key: among the sections without a mode when strMode is
    // empty, else among those of that mode (names compare in any case).
    Rule Find(const Window& window, int nKey, Form form,
              const std::string& strMode = std::string()) const;

    // The first section from the top of the menu strName (any case) that
    // matches the window; like a mode's section, one that names no window
    // serves all. Null when none.
    const Menu* FindMenu(const Window& window, const std::string& strName) const;

    std::size_t GetSectionCount() const { return m_sections.size(); }
    const std::string& GetSectionName(std::size_t nSection) const;
    // The mode a section belongs to, as its Mode line writes it; empty for
    // none.
    const std::string& GetSectionMode(std::size_t nSection) const;
    // Every mode that a section names, once each, in file order.
    std::vector<std::string> ModeNames() const;
    // Whether a section names a Program: only then does the caller need to
    // find the window's program.
    bool UsesProgram() const { return m_bUsesProgram; }
    // The first skipped lines, in file order, and how many there were.
    const std::vector<SkippedLine>& GetSkipped() const { return m_skipped; }
    std::size_t GetSkippedCount() const { return m_nSkippedCount; }
    // One sentence on the first skipped line for the user, naming the file
    // so; empty when none.
    std::string SkippedText(const std::string& strFileName = "KeyMap.ini") const;

    // '*' matches any run of characters; letters compare in any case
    // (unicodetext::FoldCase). Both are UTF-8.
    static bool Matches(const std::string& strPattern, const std::string& strText);
    // The file name of a program path: what follows the last '\' or '/'.
    static std::string FileNameOf(const std::string& strPath);

private:
    struct Entry {
        int nKey;
        int nForm;
        std::size_t nLine;
        CKeyAction action;
    };
    // A ClassName, WindowName or Program criterion.
    struct Pattern {
        bool bGiven = false;
        bool bAny = false;      // NULL, or left out beside a Program
        std::u32string pattern; // folded
    };
    struct Section {
        std::string strName;
        std::size_t nLine = 0;
        std::string strMode; // as written; empty: no mode
        std::u32string mode; // folded
        bool bModeGiven = false;
        bool bBadMode = false;      // reported with its line; the section is dropped
        Pattern criteria[3];        // class, caption, program
        std::vector<Entry> entries; // in file order, each key and form once
        std::size_t nModeLine = 0;
        // A menu's section: its Menu line, Scan line and items with their numbers.
        bool bMenuGiven = false;
        bool bScanGiven = false;
        std::u32string menuName; // folded
        Menu menu;
        std::vector<int> itemNumbers;
        const Entry* FindEntry(int nKey, int nForm) const;
    };

    void ParseLine(const std::string& strLine, std::size_t nLine);
    void SetValue(Section& section, const std::string& strName, const std::string& strValue,
                  std::size_t nLine);
    // Drops the last section when it lacks a criterion.
    void EndSection();
    void Skip(std::size_t nLine, const std::string& strReason);
    // The Mode line of a section.
    void SetMode(Section& section, const std::string& strValue, std::size_t nLine);
    // The Menu, Scan and Item<n> lines; false when the name is none of them.
    bool SetMenuValue(Section& section, const std::string& strName, const std::string& strValue,
                      std::size_t nLine);
    // Keeps only the lines that belong to the section's kind, key or menu.
    void EndMenuSection(Section& section);
    static bool CriteriaMatch(const Section& section, const Window& window);
    static bool MatchesFolded(const std::u32string& pattern, const std::u32string& text);
    static std::u32string Folded(const std::string& strText);

    std::vector<Section> m_sections;
    std::vector<SkippedLine> m_skipped;
    std::size_t m_nSkippedCount = 0;
    bool m_bUsesProgram = false;
    // Lines now belong to no section: before the first, or past the limit.
    bool m_bInSection = false;
    bool m_bSectionsFull = false;
};
