#include "TargetRule.h"

#include <gtest/gtest.h>

namespace {

using Verdict = TargetRule::Verdict;

TargetRule::Facts Shown(std::uintptr_t window) {
    TargetRule::Facts facts;
    facts.window = window;
    facts.visible = true;
    return facts;
}

TEST(TargetRule, EachReasonAWindowCannotTakeAKey) {
    TargetRule::Facts hidden = Shown(2);
    hidden.visible = false;
    hidden.minimised = true; // hidden is told first
    TargetRule::Facts minimised = Shown(3);
    minimised.minimised = true;
    TargetRule::Facts cloaked = Shown(4);
    cloaked.cloaked = true;

    EXPECT_EQ(TargetRule::Alone(TargetRule::Facts()), Verdict::NoWindow);
    EXPECT_EQ(TargetRule::Alone(hidden), Verdict::Hidden);
    EXPECT_EQ(TargetRule::Alone(minimised), Verdict::Minimised);
    EXPECT_EQ(TargetRule::Alone(cloaked), Verdict::OtherDesktop);
    EXPECT_EQ(TargetRule::Alone(Shown(5)), Verdict::Target);
    EXPECT_TRUE(TargetRule::Competitors({TargetRule::Facts(), hidden, minimised, cloaked}).empty());
}

TEST(TargetRule, HighestCompetitorWinsAndEntriesNamingItShareIt) {
    TargetRule::Facts cloaked = Shown(9);
    cloaked.cloaked = true;
    const std::vector<TargetRule::Facts> entries = {Shown(7), cloaked, Shown(8), Shown(7)};
    EXPECT_EQ(TargetRule::Competitors(entries), (std::vector<std::uintptr_t>{7, 8}));
    EXPECT_EQ(TargetRule::Decide(entries, 8),
              (std::vector<Verdict>{Verdict::LowerInZOrder, Verdict::OtherDesktop, Verdict::Target,
                                    Verdict::LowerInZOrder}));
    EXPECT_EQ(TargetRule::Decide(entries, 7),
              (std::vector<Verdict>{Verdict::Target, Verdict::OtherDesktop, Verdict::LowerInZOrder,
                                    Verdict::Target}));
    // A Z order walk that met none of them (they closed meanwhile): nobody.
    EXPECT_EQ(TargetRule::Decide({Shown(7)}, 0), std::vector<Verdict>{Verdict::LowerInZOrder});
}

} // namespace
