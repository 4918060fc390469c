// How long the action note stays after its key's release, and the
// question's countdown.
#include "CActionNoteTiming.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

class ActionNoteTimingTest : public ::testing::Test {
protected:
    // The note's text at every change, and when it went.
    std::vector<std::pair<std::uint64_t, std::string>> Changes(std::uint64_t now) {
        std::vector<std::pair<std::uint64_t, std::string>> changes;
        std::uint64_t due = 0;
        while (timing.NextChange(now, due)) {
            EXPECT_GT(due, now);
            now = due;
            changes.emplace_back(now, timing.IsShown(now) ? timing.Text(now) : "gone");
        }
        return changes;
    }

    CActionNoteTiming timing;
    const CActionNoteTiming::Countdown question{"Press key 6 again (held) within ",
                                                " s to shut down the PC", 5000};
};

TEST_F(ActionNoteTimingTest, ANoteStaysOneAndAHalfSecondsPlusAQuarterAWord) {
    EXPECT_EQ(1500u, CActionNoteTiming::ReadingMs(" \t"));
    EXPECT_EQ(1750u, CActionNoteTiming::ReadingMs("Spotlight"));
    EXPECT_EQ(2500u, CActionNoteTiming::ReadingMs(" Mode \"Mouse\"  on\tnow"));
}

TEST_F(ActionNoteTimingTest, ANoteShownWhileItsKeyIsHeldCountsFromTheRelease) {
    timing.Note("Spotlight", true, 1000);
    EXPECT_TRUE(Changes(1000).empty());
    EXPECT_TRUE(timing.IsShown(60000));
    timing.KeyReleased(3000);
    timing.KeyReleased(4000); // another key's release changes nothing
    EXPECT_EQ((decltype(Changes(0)){{4750, "gone"}}), Changes(3000));
    timing.Note("Spotlight", false, 10000);
    EXPECT_EQ((decltype(Changes(0)){{11750, "gone"}}), Changes(10000));
}

TEST_F(ActionNoteTimingTest, AQuestionCountsItsSecondsDownAndGoesAtItsEnd) {
    timing.Count(question, 1000);
    EXPECT_EQ("Press key 6 again (held) within 5 s to shut down the PC", timing.Text(1000));
    EXPECT_EQ("Press key 6 again (held) within 1 s to shut down the PC", timing.Text(5999));
    timing.KeyReleased(1200); // its window counts from the asking
    const auto changes = Changes(1500);
    ASSERT_EQ(5u, changes.size());
    EXPECT_EQ(2000u, changes[0].first);
    EXPECT_EQ("Press key 6 again (held) within 4 s to shut down the PC", changes[0].second);
    EXPECT_EQ(5000u, changes[3].first);
    EXPECT_EQ("Press key 6 again (held) within 1 s to shut down the PC", changes[3].second);
    EXPECT_EQ((std::pair<std::uint64_t, std::string>{6000, "gone"}), changes[4]);
}

TEST_F(ActionNoteTimingTest, ANewNoteReplacesTheQuestionAndHideEndsAny) {
    timing.Count(question, 1000);
    timing.Note("Lock", false, 2000);
    EXPECT_EQ("Lock", timing.Text(2500));
    EXPECT_EQ((decltype(Changes(0)){{3750, "gone"}}), Changes(2500));
    timing.Count(question, 4000);
    timing.Hide();
    EXPECT_FALSE(timing.IsShown(4000));
    EXPECT_TRUE(Changes(4000).empty());
}

} // namespace
