#include "ProgramWindowRule.h"

#include "CKeyMap.h"

namespace {

// The shell's own windows belong to explorer.exe but are not a program's
// window: the taskbars and the desktop behind every window.
const char* const SHELL_CLASSES[] = {"Shell_TrayWnd", "Shell_SecondaryTrayWnd", "Progman",
                                     "WorkerW"};

bool SameText(const std::string& strA, const std::string& strB) {
    return CKeyMap::Matches(strA, strB);
}

} // namespace

bool ProgramWindowRule::IsProgramWindow(const Facts& facts) {
    if (!facts.bVisible || facts.bCloaked || facts.bToolWindow || facts.bOwnProcess ||
        (facts.bOwned && !facts.bAppWindow)) {
        return false;
    }
    for (const char* pszClass : SHELL_CLASSES) {
        if (SameText(pszClass, facts.strClass)) {
            return false;
        }
    }
    return true;
}

bool ProgramWindowRule::IsFrameHost(const std::string& strProgram) {
    return SameText(FRAME_HOST, CKeyMap::FileNameOf(strProgram));
}
