// Whether a Run line's program came in front, at each refusal Windows may give.
#include "BringForwardRule.h"

#include <gtest/gtest.h>

namespace {

using Attempt = BringForwardRule::Attempt;

Attempt Tried(bool set, bool attached, bool setAttached) {
    Attempt attempt;
    attempt.bSet = set;
    attempt.bAttached = attached;
    attempt.bSetAttached = setAttached;
    return attempt;
}

TEST(BringForwardRuleTest, ARunningProgramCameForwardOnlyWhenWindowsSaidSo) {
    EXPECT_EQ("", BringForwardRule::ForRunning(Tried(true, false, false), "Player"));
    EXPECT_EQ("", BringForwardRule::ForRunning(Tried(false, true, true), "Player"));
    // Refused, with and without the shared input.
    const std::string refused = BringForwardRule::ForRunning(Tried(false, true, false), "Player");
    EXPECT_EQ(0u, refused.find("was not brought forward: Windows kept")) << refused;
    EXPECT_NE(std::string::npos, refused.find("\"Player\"")) << refused;
    EXPECT_EQ(refused, BringForwardRule::ForRunning(Tried(false, false, false), "Player"));
    // A second try without the shared input counts for nothing.
    EXPECT_EQ(refused, BringForwardRule::ForRunning(Tried(false, false, true), "Player"));

    Attempt hung = Tried(true, true, true);
    hung.bHung = true;
    EXPECT_EQ("was not brought forward: \"Player\" does not answer.",
              BringForwardRule::ForRunning(hung, "Player"));
}

TEST(BringForwardRuleTest, AStartedProgramIsBroughtForwardOnlyWhereWindowsGaveItNoFront) {
    BringForwardRule::Started started;
    started.bWindowShown = true;
    // Granted the front, it takes it as its window activates: never raced.
    started.bMayTakeForeground = true;
    EXPECT_FALSE(BringForwardRule::MustBringForward(started));
    EXPECT_EQ("", BringForwardRule::ForStarted(started, "Player"));

    started.bMayTakeForeground = false;
    // No window in time (a console program): nothing to bring, nothing to tell.
    started.bWindowShown = false;
    EXPECT_FALSE(BringForwardRule::MustBringForward(started));
    EXPECT_EQ("", BringForwardRule::ForStarted(started, "Player"));
    // In front all the same.
    started.bWindowShown = true;
    started.bInFront = true;
    EXPECT_FALSE(BringForwardRule::MustBringForward(started));
    // Behind: brought forward, told when Windows refuses.
    started.bInFront = false;
    EXPECT_TRUE(BringForwardRule::MustBringForward(started));
    started.attempt = Tried(false, true, true);
    EXPECT_EQ("", BringForwardRule::ForStarted(started, "Player"));
    started.attempt = Tried(false, true, false);
    EXPECT_EQ("was started, but Windows kept it behind the window in front (KV480 may not give "
              "it the front).",
              BringForwardRule::ForStarted(started, "Player"));
    started.attempt.bHung = true;
    EXPECT_EQ("was started, but \"Player\" does not answer.",
              BringForwardRule::ForStarted(started, "Player"));
}

} // namespace
