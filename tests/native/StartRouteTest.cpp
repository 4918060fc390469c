// Only an elevated caller hands KV480's start to the desktop shell, and only
// where there is one.
#include "StartRoute.h"

#include <gtest/gtest.h>

TEST(StartRoute, OnlyAnElevatedCallerWithADesktopShellGoesThroughIt) {
    EXPECT_EQ(StartRoute::DesktopShell, ChooseStartRoute(true, true));
    EXPECT_EQ(StartRoute::CreateProcess, ChooseStartRoute(true, false));
    EXPECT_EQ(StartRoute::CreateProcess, ChooseStartRoute(false, true));
    EXPECT_EQ(StartRoute::CreateProcess, ChooseStartRoute(false, false));
}
