// Which section answers a key form in a window: the user's sections from the
// top, then the installation folder's, the first that matches the window and
// sets the form deciding.
#pragma once

#include "CKeyMapDocument.h"

#include <string>

struct RuleAnswer {
    bool bFound = false;
    bool bInstalled = false; // the installation folder's file
    std::size_t nSection = 0;
    std::string strAction;
};

// A section matches when it names at least one of Program, ClassName and
// WindowName and every one it names fits ('*' any run, NULL any value,
// letters in any case).
bool SectionMatches(const CKeyMapDocument& doc, std::size_t nSection, const std::string& strProgram,
                    const std::string& strClass, const std::string& strCaption);

RuleAnswer WhichRule(const CKeyMapDocument& user, const CKeyMapDocument& installed,
                     const std::string& strProgram, const std::string& strClass,
                     const std::string& strCaption, int nKey, CKeyMapDocument::Form form);
