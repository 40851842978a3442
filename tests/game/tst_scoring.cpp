#include "game/deliver.h"
#include "support/fixture.h"

#include <cmath>
#include <string>

using game::Control;

// Clicks on the boxes, the counters' 16-bit limits and how an overflow is told.
using ScoringTest = GameTest;

// Each colour scores its own points, up to 32767: every value that would go
// past it is refused and kept, the player is told in an untitled box, and the
// window goes on.
TEST_F(ScoringTest, eachColourScoresItsOwnPointsUpToTheLimit)
{
    for (const rules::Box& row : rules::Boxes) {
        SCOPED_TRACE(row.name);
        const Control box = named(row.name);
        probe.setScores(0, 0, 0);
        platform.boxes.clear();
        std::int16_t& score = box == Control::pct ? probe.redScore()
            : box == Control::pct2                ? probe.blueScore()
                                                  : probe.greenScore();
        for (int clicks = 1; clicks <= 10; ++clicks) {
            click(box);
            EXPECT_EQ(score, clicks * row.points);
        }
        const int lastGood = 32767 - row.points;
        score = std::int16_t(lastGood);
        click(box);
        EXPECT_EQ(score, 32767);
        EXPECT_TRUE(platform.boxes.empty());
        for (int start = lastGood + 1; start <= 32767; ++start) {
            score = std::int16_t(start);
            click(box);
            EXPECT_EQ(score, start);
            ASSERT_FALSE(platform.boxes.empty());
            EXPECT_EQ(platform.boxes.back().prompt, rules::Overflow);
            EXPECT_EQ(platform.boxes.back().title, "");
        }
        click(box == Control::pct ? Control::pct2 : Control::pct);
        EXPECT_EQ(probe.total(), 32767 + (box == Control::pct ? 3 : 1));
    }
}

// An overflow inside a game's pause is told at once; the game goes on.
TEST_F(ScoringTest, anOverflowDuringAPauseLeavesTheGameRunning)
{
    platform.selected = "Impossible";
    platform.pumpStep = 1.0 / 256;
    platform.onPump = [&](int pump) {
        if (pump == 10) {
            probe.greenScore() = 32764;
            click(Control::pct3);
        }
        if (pump == 11)
            click(Control::pct);
    };
    pressStart();
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].prompt, rules::Overflow);
    EXPECT_EQ(platform.boxes[1].prompt, rules::summary(1, 0, 32764));
    EXPECT_EQ(platform.draws, 10 * int(std::ceil(46 / (9.0 / 256))));
}

// The summary's total overflows: the window is put back to idle, but no
// summary or verdict is shown and the counters are left for the next Start,
// which clears them as any game does.
TEST_F(ScoringTest, aTotalPastTheLimitStopsTheSummary)
{
    probe.setScores(32000, 700, 100);
    at(Control::lbl1).caption = "old";
    pressStart();
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].prompt, rules::Select);
    // No score changed: the words say so, unlike a click's overflow.
    EXPECT_EQ(platform.boxes[1].prompt, rules::TotalOverflow);
    EXPECT_EQ(at(Control::lbl1).caption, " ");
    EXPECT_TRUE(at(Control::cmdStart).visible);
    EXPECT_EQ(rgb(platform.background.value()), rules::Idle);
    EXPECT_EQ(probe.redScore(), 32000);
}

// Whatever a handler throws, the player is told and the window goes on; a
// box that cannot be shown either is no reason to stop, nor to stay silent.
TEST_F(ScoringTest, anErrorOfAnyKindIsToldAndNothingEscapes)
{
    game::deliver(platform, [] { throw 42; });
    EXPECT_EQ(platform.prompts(), std::vector<std::string> { "An unexpected error stopped the last action." });
    platform.onMessageBox = [](const ScriptedRuntime::Box&) { throw std::runtime_error("no display"); };
    testing::internal::CaptureStderr();
    game::deliver(platform, [] { throw std::runtime_error("first"); });
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "zorbleck: first\n");
    EXPECT_EQ(platform.boxes.back().prompt, "first");
}
