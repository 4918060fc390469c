#pragma once

#include "UnicodeText.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// A KeyMap.ini as the editor holds it: the file's lines as they were, with an
// index of its sections, their window criteria and the actions of every key
// form. Edits change only the lines they concern, so comments, blank lines
// and lines the editor does not understand stay where they were on saving.
// Text is UTF-8 inside; the file's own encoding is kept for saving.
class CKeyMapDocument {
public:
    static constexpr int FIRST_KEY = 1;
    static constexpr int LAST_KEY = 23;
    // KV480 reads no further either; a longer file is shown but not saved.
    static constexpr std::size_t MAX_FILE_BYTES = 1024 * 1024;

    enum Form { FORM_PLAIN, FORM_LONG, FORM_DOUBLE, FORM_COUNT };
    enum Criterion { CRITERION_PROGRAM, CRITERION_CLASS, CRITERION_WINDOW, CRITERION_COUNT };
    using Encoding = unicodetext::Encoding;

    // Replaces the document by nSize bytes of file text (null: an empty file).
    void Load(const char* pText, std::size_t nSize);
    // The file's bytes, in the encoding it came in.
    std::string Save() const;

    Encoding GetEncoding() const { return m_encoding; }
    // Turns an ANSI document into UTF-8 with a byte-order mark, each line's
    // text converted by pAnsi: for new text that the code page cannot hold.
    void ConvertToUtf8(const unicodetext::AnsiToUtf8& pAnsi);
    // False when the file was longer than MAX_FILE_BYTES: saving would lose
    // the rest, so the editor must not.
    bool IsComplete() const { return m_bComplete; }
    bool IsModified() const { return m_bModified; }
    void SetModified(bool bModified) { m_bModified = bModified; }

    std::size_t GetSectionCount() const { return m_sections.size(); }
    const std::string& GetSectionName(std::size_t nSection) const;
    // The criterion's value; empty when the section does not give it.
    std::string GetCriterion(std::size_t nSection, Criterion criterion) const;
    // The mode the section belongs to (its Mode line); empty for none.
    std::string GetMode(std::size_t nSection) const;
    // The menu whose entries the section holds (its Menu line); empty for none.
    std::string GetMenu(std::size_t nSection) const;
    // Sets the Menu line; empty removes it.
    void SetMenu(std::size_t nSection, const std::string& strMenu);
    // A menu's scanning step in milliseconds as written (its Scan line);
    // empty for none. Setting it empty removes the line.
    std::string GetScan(std::size_t nSection) const;
    void SetScan(std::size_t nSection, const std::string& strScan);
    // A menu's entries as its Item lines write them ("\"Notepad\" Run
    // \"notepad.exe\""), in the order of their numbers.
    std::vector<std::string> GetMenuItems(std::size_t nSection) const;
    // Writes the entries as Item1 to ItemN, in order: added, removed or
    // moved, they are numbered again without gaps.
    void SetMenuItems(std::size_t nSection, const std::vector<std::string>& items);
    // Sets the Mode line; empty removes it.
    void SetMode(std::size_t nSection, const std::string& strMode);
    // Writes a new name in the section's header.
    void RenameSection(std::size_t nSection, const std::string& strName);
    // A section for every window: no mode, no Program, ClassName and
    // WindowName NULL.
    bool IsCatchAll(std::size_t nSection) const;
    // The first catch-all section, GetSectionCount() when there is none.
    std::size_t FindCatchAll() const;

    // The action text of a key form ("Ctrl+S repeat"); empty: not set.
    std::string GetAction(std::size_t nSection, int nKey, Form form) const;
    // Sets the action; empty removes the line. Out-of-range numbers are ignored.
    void SetAction(std::size_t nSection, int nKey, Form form, const std::string& strAction);
    // Sets a criterion; empty removes its line.
    void SetCriterion(std::size_t nSection, Criterion criterion, const std::string& strValue);

    // Adds a section before nBefore (GetSectionCount(): at the end) with the
    // criteria given (empty ones are left out); returns its index.
    std::size_t AddSection(const std::string& strName, const std::string& strProgram,
                           const std::string& strClass, const std::string& strWindow,
                           std::size_t nBefore);
    void RemoveSection(std::size_t nSection);
    // Swaps the section with the one above (bUp) or below, with the comment
    // lines directly above each. False when there is none to swap with.
    bool MoveSection(std::size_t nSection, bool bUp);

    // Lines of the file that are neither blank, comment, section nor a name
    // the editor knows; they are kept as they are.
    std::size_t GetUnknownLineCount() const { return m_nUnknownLines; }

    // Names in the file for a key form: "Key5", "Key5 long", "Key5 double".
    static std::string KeyName(int nKey, Form form);
    static const char* CriterionName(Criterion criterion);

private:
    struct Section {
        std::string strName;
        std::size_t nHeader = 0; // line of "[name]"
        std::size_t nEnd = 0;    // one past its last line
        std::size_t criteria[CRITERION_COUNT] = {};
        std::size_t nMode = 0; // line of "Mode=", NO_LINE when none
        std::size_t nMenu = 0; // line of "Menu=", NO_LINE when none
        std::size_t nScan = 0; // line of "Scan=", NO_LINE when none
        // (number, line) of its Item lines, by number; the first of two
        // equal numbers counts, as KV480 reads it.
        std::vector<std::pair<int, std::size_t>> items;
        // (key * FORM_COUNT + form, line) of the forms it sets: a file of
        // many small sections stays small in memory.
        std::vector<std::pair<int, std::size_t>> actions;
        std::size_t ActionLine(int nKey, Form form) const;
    };
    static constexpr std::size_t NO_LINE = static_cast<std::size_t>(-1);

    void Index();
    // The line's value after '='.
    std::string ValueOf(std::size_t nLine) const;
    // Sets the value of the line named strName, adding or removing the line.
    void SetLine(std::size_t nSection, std::size_t nLine, const std::string& strName,
                 const std::string& strValue);
    // The value trimmed, its line breaks made blanks.
    static std::string CleanValue(const std::string& strValue);
    // Where a new line of the section goes: after its last name=value line.
    std::size_t InsertionLine(std::size_t nSection) const;
    // The first line of the section's block: its header, or the comments
    // directly above it.
    std::size_t BlockStart(std::size_t nSection) const;
    // One past its last line: where the next block starts.
    std::size_t BlockEnd(std::size_t nSection) const;
    std::string NewLine(const std::string& strText) const;
    void EndLastLine();

    std::vector<std::string> m_lines; // without '\n'; a '\r' before it is kept
    bool m_bFinalNewline = false;
    bool m_bCrLf = true;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bComplete = true;
    bool m_bModified = false;
    std::vector<Section> m_sections;
    std::size_t m_nUnknownLines = 0;
};
