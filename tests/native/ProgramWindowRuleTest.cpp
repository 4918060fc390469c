// The windows a Run line may bring forward are those Alt+Tab shows.
#include "ProgramWindowRule.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramWindowRuleTest, OnlyWindowsAltTabShowsArePrograms) {
    ProgramWindowRule::Facts main;
    main.bVisible = true;
    main.strClass = "Notepad";
    EXPECT_TRUE(ProgramWindowRule::IsProgramWindow(main));

    ProgramWindowRule::Facts facts = main;
    facts.bOwned = true;
    EXPECT_FALSE(ProgramWindowRule::IsProgramWindow(facts)) << "a dialog";
    facts.bAppWindow = true;
    EXPECT_TRUE(ProgramWindowRule::IsProgramWindow(facts)) << "owned but on the taskbar";

    for (bool ProgramWindowRule::Facts::*flag :
         {&ProgramWindowRule::Facts::bToolWindow, &ProgramWindowRule::Facts::bCloaked,
          &ProgramWindowRule::Facts::bOwnProcess}) {
        facts = main;
        facts.*flag = true;
        EXPECT_FALSE(ProgramWindowRule::IsProgramWindow(facts));
    }
    facts = main;
    facts.bVisible = false;
    EXPECT_FALSE(ProgramWindowRule::IsProgramWindow(facts));

    // explorer.exe's taskbars and desktop are not its windows.
    for (const char* shell : {"Shell_TrayWnd", "shell_secondarytraywnd", "Progman", "WorkerW"}) {
        facts = main;
        facts.strClass = shell;
        EXPECT_FALSE(ProgramWindowRule::IsProgramWindow(facts)) << shell;
    }
}

TEST(ProgramWindowRuleTest, TheStoreAppsFrameIsKnownByItsFileName) {
    EXPECT_TRUE(ProgramWindowRule::IsFrameHost("C:\\Windows\\System32\\applicationframehost.exe"));
    EXPECT_TRUE(ProgramWindowRule::IsFrameHost("ApplicationFrameHost.exe"));
    EXPECT_FALSE(ProgramWindowRule::IsFrameHost("C:\\Apps\\ApplicationFrameHost.exe.bak"));
    EXPECT_FALSE(ProgramWindowRule::IsFrameHost(""));
}

} // namespace
