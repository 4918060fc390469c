// When each form of a remote key acts, driven by times.
#include "CKeyActionEngine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Form = CKeyMap::Form;

class KeyActionEngineTest : public ::testing::Test {
protected:
    // Answers for a key: the plain action types P, the long one L, the
    // double one D; each form only where given.
    static CKeyMapLayers::KeyAnswers Forms(bool plain, bool longForm, bool doubleForm,
                                           const std::string& plainValue = "P") {
        CKeyMapLayers::KeyAnswers answers;
        const std::string values[] = {plainValue, "L repeat", "D"};
        const bool given[] = {plain, longForm, doubleForm};
        for (int i = 0; i < CKeyMap::FORM_COUNT; ++i) {
            if (!given[i])
                continue;
            std::string reason;
            EXPECT_TRUE(answers.forms[i].action.Parse(values[i], reason));
            answers.forms[i].layer = CKeyMapLayers::INSTALLATION;
        }
        return answers;
    }

    // What the steps did, as "<key letter>@<ms>", 'r' after a repeat.
    void Note(const std::vector<CKeyActionEngine::Step>& steps, std::uint64_t now) {
        for (const CKeyActionEngine::Step& step : steps)
            done += step.answer.action.Shown() + (step.bRepeat ? "r" : "") + "@" +
                    std::to_string(now) + " ";
    }
    void Press(int key, const CKeyMapLayers::KeyAnswers& answers, std::uint64_t now) {
        Run(now);
        Note(engine.Press(key, answers, now), now);
    }
    void Repeat(int key, std::uint64_t now) {
        Run(now);
        Note(engine.Repeat(key, now), now);
    }
    void Release(int key, std::uint64_t now) {
        Run(now);
        Note(engine.Release(key, now), now);
    }
    // The owner's timer: every deadline up to now, on time.
    void Run(std::uint64_t now) {
        std::uint64_t due = 0;
        while (engine.NextDeadline(due) && due <= now)
            Note(engine.TimeReached(due), due);
    }
    // A hold from `at` until its release at `until`: repeats every 110 ms
    // after the decoder's 500 ms, the release 400 ms after the last frame.
    void Hold(int key, const CKeyMapLayers::KeyAnswers& answers, std::uint64_t at,
              std::uint64_t until) {
        Press(key, answers, at);
        std::uint64_t frame = at;
        for (std::uint64_t t = at + 110; t + 400 <= until; t += 110) {
            frame = t;
            if (t >= at + 500)
                Repeat(key, t);
        }
        Release(key, frame + 400 > until ? frame + 400 : until);
    }

    CKeyActionEngine engine;
    std::string done;
};

TEST_F(KeyActionEngineTest, AKeyWithoutLongOrDoubleActsAtItsPress) {
    Press(1, Forms(true, false, false, "P repeat"), 0);
    EXPECT_EQ("P@0 ", done);
    Repeat(1, 550);
    Repeat(1, 660);
    Release(1, 1060);
    EXPECT_EQ("P@0 Pr@550 Pr@660 ", done);
    std::uint64_t due = 0;
    EXPECT_FALSE(engine.NextDeadline(due));
}

TEST_F(KeyActionEngineTest, LongForm) {
    const auto forms = Forms(true, true, false);
    Hold(1, forms, 0, 300); // a tap: released 400 ms after its only frame
    EXPECT_EQ("P@400 ", done) << "a short press runs the plain action at its release";
    done.clear();
    Hold(1, forms, 2000, 3200);
    EXPECT_EQ("L@2700 Lr@2770 ", done) << "held: long once at 700 ms, then its repeats";
    done.clear();
    // Let go at 600 ms: the release comes 400 ms after the last frame, but
    // the key was not seen held at 700 ms.
    Press(1, forms, 5000);
    Release(1, 5730);
    EXPECT_EQ("P@5730 ", done);
}

TEST_F(KeyActionEngineTest, DoubleForm) {
    const auto forms = Forms(true, false, true);
    Press(2, forms, 0);
    Press(2, forms, 300);
    Release(2, 700);
    Run(2000);
    EXPECT_EQ("D@300 ", done) << "neither press runs the plain action";
    done.clear();
    Press(2, forms, 3000);
    Repeat(2, 3450); // a repeat before the window closes changes nothing
    Run(3499);
    EXPECT_EQ("", done);
    Run(3500);
    Release(2, 3600);
    Press(2, forms, 3700);
    EXPECT_EQ("P@3500 ", done) << "a press after 500 ms is a new single press";
}

TEST_F(KeyActionEngineTest, LongAndDoubleForms) {
    const auto forms = Forms(true, true, true);
    Press(3, forms, 0);
    Release(3, 400);
    Run(499);
    EXPECT_EQ("", done);
    Run(500);
    EXPECT_EQ("P@500 ", done) << "released early: the plain action when the 500 ms are over";
    done.clear();
    Press(3, forms, 1000);
    Repeat(3, 1550);
    Release(3, 1650);
    EXPECT_EQ("P@1650 ", done) << "released after 500 ms but before the long form";
    done.clear();
    Hold(3, forms, 3000, 4000);
    EXPECT_EQ("L@3700 ", done);
    done.clear();
    Press(3, forms, 5000);
    Press(3, forms, 5200);
    EXPECT_EQ("D@5200 ", done);
}

TEST_F(KeyActionEngineTest, APressOfAnotherKeyEndsTheWaitInOrder) {
    Press(4, Forms(true, false, true), 0);
    Press(5, Forms(true, false, false, "Q"), 100);
    Press(4, Forms(true, false, true), 200);
    Run(1000);
    EXPECT_EQ("P@100 Q@100 P@700 ", done) << "no double across another key";
}

TEST_F(KeyActionEngineTest, NothingAnswersNothingActsAndMouseStepsGrow) {
    Press(6, Forms(false, true, false), 0);
    Release(6, 300);
    Press(6, Forms(false, false, false), 1000);
    Run(5000);
    EXPECT_EQ("", done);
    EXPECT_EQ(CKeyActionEngine::MOUSE_MIN_STEP, CKeyActionEngine::MouseStep(0, 1920));
    EXPECT_LT(CKeyActionEngine::MouseStep(500, 1920), CKeyActionEngine::MouseStep(1500, 1920));
    // A fifth of the screen per second at the receiver's repeat rate.
    EXPECT_EQ(1920 / 5 * 110 / 1000, CKeyActionEngine::MouseStep(60000, 1920));
    EXPECT_EQ(CKeyActionEngine::MOUSE_MIN_STEP, CKeyActionEngine::MouseStep(60000, 0));
}

} // namespace
