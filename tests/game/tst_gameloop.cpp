#include "support/fixture.h"

#include <cmath>
#include <string>
#include <vector>

using game::Color;
using game::Control;

namespace {

// Each pumping moves the clock on by 1/256 s: exact in binary, so the number
// of passes follows from the pause alone.
constexpr double PumpStep = 1.0 / 256;

const std::string NoPoints = rules::summary(0, 0, 0);

struct Pace {
    const char* difficulty;
    double pause;
    double step;
};

struct GameLoopTest : GameTest {
    GameLoopTest()
    {
        platform.now = 50000; // late in the day: the game measures from its own start
        platform.pumpStep = PumpStep;
    }
};

struct GameLength : GameLoopTest, ::testing::WithParamInterface<Pace> { };

} // namespace

// Passes start while less than 46 s have gone by; with a pause of 0.25 s the
// pass that would start at exactly 46 s does not run.
TEST_P(GameLength, passesStartWhileLessThan46SecondsHaveGone)
{
    const Pace pace = GetParam();
    platform.selected = pace.difficulty;
    platform.pumpStep = pace.step;
    std::vector<std::string> captions;
    platform.onPump = [&](int) {
        if (captions.empty() || captions.back() != at(Control::lblTimer).caption)
            captions.push_back(at(Control::lblTimer).caption);
    };
    // Clicked before, the boxes count nothing in the game.
    for (Control box : { Control::pct, Control::pct2, Control::pct3 })
        click(box);
    pressStart();

    // A pause ends at the first pumping that reaches its length.
    const double pauseTaken = std::ceil(pace.pause / pace.step) * pace.step;
    const int passes = int(std::ceil(46 / pauseTaken));
    EXPECT_EQ(platform.draws, 10 * passes);
    EXPECT_EQ(platform.pumps, passes * int(std::ceil(pace.pause / pace.step)));
    std::vector<std::string> seconds;
    seconds.reserve(46);
    for (int s = 0; s < 46; ++s)
        seconds.push_back("  " + std::to_string(s));
    EXPECT_EQ(captions, seconds);
    EXPECT_EQ(at(Control::lblTimer).caption, " ");
    EXPECT_EQ(platform.prompts(), std::vector { NoPoints });
    EXPECT_EQ(platform.boxes.front().title, "");
}
INSTANTIATE_TEST_SUITE_P(Paces, GameLength,
    ::testing::Values(Pace { "Slow", 0.3, PumpStep }, Pace { "Average", 0.13, PumpStep },
        Pace { "Impossible", 0.035, PumpStep }, Pace { "Average", 0.13, 0.125 }));

// A difficulty is compared whole and case and all: anything else runs the
// passes back to back, with no pause and so no events.
TEST_F(GameLoopTest, aTextThatIsNoDifficultyRunsWithoutPausing)
{
    platform.selected = "slow";
    platform.readStep = 0.5;
    pressStart();
    EXPECT_EQ(platform.pumps, 0);
    EXPECT_EQ(platform.draws, 10 * 46); // two readings a pass, 0.5 s apart
}

// Hidden, Start takes no press: one pressed in a pause starts no second game.
TEST_F(GameLoopTest, theStartControlsHideFromTheFirstPassAndComeBackAfter)
{
    platform.selected = "Slow";
    bool hiddenInEveryPause = true;
    platform.onPump = [&](int) {
        hiddenInEveryPause = hiddenInEveryPause && !at(Control::cmdStart).visible && !at(Control::lst1).visible
            && !at(Control::lbl1).visible;
        pressStart();
    };
    pressStart();
    EXPECT_GT(platform.pumps, 0);
    EXPECT_EQ(platform.boxes.size(), 1u);
    EXPECT_TRUE(hiddenInEveryPause);
    EXPECT_TRUE(at(Control::cmdStart).visible && at(Control::lst1).visible && at(Control::lbl1).visible);
}

// The first of a pass's ten draws is its colour roll.
TEST_F(GameLoopTest, theBackgroundFlashesOn58And38And18Only)
{
    platform.selected = "Slow";
    const int rolls[] = { 57, 58, 1, 38, 60, 18, 17, 59, 19, 37, 39 };
    const auto [red, blue, green] = rules::Flashes;
    const std::optional<rules::Rgb> expected[] = { {}, red, red, blue, blue, green, green, green, green, green, green };
    for (int roll : rolls) {
        platform.randoms.push_back((float(roll) - 0.5f) / 60.0f);
        platform.randoms.insert(platform.randoms.end(), 9, 0.5f);
    }
    std::vector<std::optional<rules::Rgb>> seen;
    platform.onPump = [&](int) {
        if (std::size_t(platform.draws / 10) > seen.size() && seen.size() < std::size(rolls))
            seen.push_back(platform.background ? std::optional(rgb(*platform.background)) : std::nullopt);
    };
    pressStart();
    ASSERT_EQ(seen.size(), std::size(rolls));
    for (std::size_t i = 0; i < std::size(rolls); ++i)
        EXPECT_EQ(seen[i], expected[i]) << "pass " << i;
    EXPECT_EQ(rgb(platform.background.value()), rules::Idle);
}

// Clicks in a pause count at once. The closing steps have all run when the
// summary shows; the verdict comes after it, the cleared counters last.
TEST_F(GameLoopTest, theClosingStepsComeInOrder)
{
    platform.selected = "Average";
    int totalInNextPause = -1;
    platform.onPump = [&](int pump) {
        if (pump == 1) {
            click(Control::pct);
            click(Control::pct2);
            click(Control::pct3);
        }
        if (pump == 2)
            totalInNextPause = probe.total();
    };
    bool checked = false;
    platform.onMessageBox = [&](const ScriptedRuntime::Box&) {
        for (const rules::Box& box : rules::Boxes) {
            EXPECT_EQ(at(named(box.name)).left, float(box.afterGame[0] * 15)) << box.name;
            EXPECT_EQ(at(named(box.name)).top, float(box.afterGame[1] * 15)) << box.name;
        }
        EXPECT_EQ(at(Control::lblTimer).caption, " ");
        EXPECT_EQ(at(Control::lbl1).caption, " ");
        EXPECT_TRUE(at(Control::lbl1).visible && at(Control::lst1).visible && at(Control::cmdStart).visible);
        EXPECT_EQ(rgb(platform.background.value()), rules::Idle);
        EXPECT_EQ(probe.redScore(), 1);
        checked = true;
    };
    pressStart();
    EXPECT_TRUE(checked);
    EXPECT_EQ(totalInNextPause, 8);
    EXPECT_EQ(platform.prompts().back(), rules::summary(1, 3, 4));
    EXPECT_EQ(at(Control::lbl1).caption, rules::Verdicts[6]);
    EXPECT_EQ(probe.total(), 0);
}

// The list and the labels have no handler: a press there does nothing.
TEST_F(GameLoopTest, startWithoutADifficultyAsksForOneThenSumsUpIdleClicks)
{
    for (int i = 0; i < 3; ++i)
        click(Control::pct);
    for (Control unwired : { Control::lst1, Control::lblTimer, Control::lbl1 })
        click(unwired);
    pressStart();
    ASSERT_EQ(platform.boxes.size(), 2u);
    EXPECT_EQ(platform.boxes[0].prompt, rules::Select);
    EXPECT_EQ(platform.boxes[0].title, rules::Title);
    EXPECT_EQ(platform.boxes[1].prompt, rules::summary(3, 0, 0));
    EXPECT_EQ(platform.draws, 0);
    EXPECT_EQ(at(Control::pct).left, float(rules::Boxes[0].afterGame[0] * 15));
    EXPECT_EQ(at(Control::lbl1).caption, " ");
    EXPECT_EQ(probe.redScore(), 0);
}

// The window outlives the handler; the game stops at the next pumping and
// nothing more is shown or set.
TEST_F(GameLoopTest, closingTheWindowEndsTheGameSilently)
{
    platform.selected = "Slow";
    platform.onPump = [&](int pump) {
        if (pump == 100)
            window.closed();
    };
    pressStart();
    EXPECT_EQ(platform.pumps, 100);
    EXPECT_TRUE(platform.boxes.empty());
    EXPECT_FALSE(at(Control::cmdStart).visible);
}
