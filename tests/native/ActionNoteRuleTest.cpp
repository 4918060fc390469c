// Which notes show while the user must not be disturbed.
#include "CActionNoteRule.h"

#include <gtest/gtest.h>

namespace {

using Kind = CActionNoteRule::Kind;
using State = CActionNoteRule::UserState;

TEST(ActionNoteRuleTest, NotesThatMustBeSeenShowOverAFullScreenProgramOrdinaryOnesWait) {
    EXPECT_TRUE(CActionNoteRule::Shows(Kind::MustBeSeen, false, State::Busy))
        << "a shutdown's question during a slide show, whatever the option";
    EXPECT_TRUE(CActionNoteRule::Shows(Kind::Ordinary, true, State::AcceptsNotes));
    EXPECT_FALSE(CActionNoteRule::Shows(Kind::Ordinary, true, State::Busy));
    EXPECT_FALSE(CActionNoteRule::Shows(Kind::Ordinary, false, State::AcceptsNotes))
        << "ShowActions off";
}

} // namespace
