// Sections for common programs that the editor offers ready-made, with the
// shortcuts those programs document, and the wildcards it suggests for a
// window that the user points at.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct ReadyMadeEntry {
    struct Action {
        const char* pszKey; // as the file names it: "Key5", "Key6 long"
        const char* pszAction;
    };
    const char* pszName;
    const char* pszProgram;
    const char* pszClass; // null: not given
    std::vector<Action> actions;
};

const std::vector<ReadyMadeEntry>& ReadyMadeEntries();

// A WindowName pattern for a caption: the part that names the program, with
// a '*' for the document part in front of it ("Report.docx - Word" gives
// "* - Word"); the caption itself when it has no such part; '*' literal
// characters cannot be escaped, so they stay.
std::string SuggestWindowPattern(const std::string& strCaption);
