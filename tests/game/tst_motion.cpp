#include "support/fixture.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <utility>
#include <vector>

using game::Control;

namespace {

struct Point {
    double left;
    double top;
    friend bool operator==(Point, Point) = default;
};

// One box in one pass: its three draws, where it stands before the pass and
// where the player sees it during the pause.
struct Step {
    int heading;
    int vertical;
    int horizontal;
    Point from;
    Point to;
};

struct PassRow {
    const char* name;
    Step red, blue, green;
};

// The random number that makes a draw from 1 to n come out as `value`, taken
// near the top of its range so that a draw from a wider range shows.
float randomFor(int value, int n)
{
    return (float(value) - 0.01f) / float(n);
}

constexpr Control Boxes[] = { Control::pct, Control::pct2, Control::pct3 };

// Boxes are 735 x 615; the window's outer size is 9000 x 7000.
struct MotionTest : GameTest {
    MotionTest()
    {
        platform.outerW = 9000;
        platform.outerH = 7000;
    }
    void place(Control box, Point to)
    {
        at(box).left = float(to.left);
        at(box).top = float(to.top);
    }
    Point where(Control box) { return { at(box).left, at(box).top }; }
};

struct OnePass : MotionTest, ::testing::WithParamInterface<PassRow> { };

} // namespace

// Speeds: red 0.018, blue 0.035, green 0.065 twips per unit drawn.
TEST_P(OnePass, movesEachBoxByItsOwnDraws)
{
    const PassRow& row = GetParam();
    SCOPED_TRACE(row.name);
    const Step* steps[] = { &row.red, &row.blue, &row.green };
    for (int i = 0; i < 3; ++i)
        place(Boxes[i], steps[i]->from);
    // The colour roll first, then the three headings, then each box's
    // vertical and horizontal value.
    platform.randoms = { randomFor(1, 60) };
    for (const Step* step : steps)
        platform.randoms.push_back(randomFor(step->heading, 100));
    for (const Step* step : steps)
        platform.randoms.insert(
            platform.randoms.end(), { randomFor(step->vertical, 7800), randomFor(step->horizontal, 9800) });

    // Where the boxes stand each time the game looks at the window's size,
    // which it does after each move to apply the edge rule.
    std::vector<std::vector<Point>> looks;
    platform.onOuterSize = [&] { looks.push_back({ where(Boxes[0]), where(Boxes[1]), where(Boxes[2]) }); };
    std::vector<Point> seen;
    platform.onPump = [&](int) {
        seen = { where(Boxes[0]), where(Boxes[1]), where(Boxes[2]) };
        platform.now += 100; // the pause and the game are over
    };
    platform.selected = "Slow";
    pressStart();

    EXPECT_EQ(platform.draws, 10);
    ASSERT_EQ(seen.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const Step& step = *steps[i];
        EXPECT_EQ(seen[i].left, step.to.left);
        EXPECT_EQ(seen[i].top, step.to.top);
        // Headings from 50 up move vertically first, the others horizontally.
        const auto firstMove = std::find_if(
            looks.cbegin(), looks.cend(), [&](const std::vector<Point>& at) { return at[i] != step.from; });
        ASSERT_NE(firstMove, looks.cend());
        if (step.heading >= 50)
            EXPECT_EQ((*firstMove)[i].left, step.from.left);
        else
            EXPECT_EQ((*firstMove)[i].top, step.from.top);
    }
}

INSTANTIATE_TEST_SUITE_P(Passes, OnePass,
    ::testing::Values(
        PassRow { "downRight_upLeft_rightUp",
            { 100, 7800, 9800, { 3360, 3240 }, { 3536.39990234375, 3380.39990234375 } },
            { 50, 6000, 8000, { 4680, 3240 }, { 4400, 3030 } }, { 25, 4000, 9000, { 5880, 3240 }, { 6465, 2980 } } },
        PassRow { "upLeft_rightUp_leftDown", { 74, 1, 5000, { 3360, 3240 }, { 3270, 3239.98193359375 } },
            { 49, 4000, 6000, { 4680, 3240 }, { 4890, 3100 } }, { 24, 6000, 5000, { 5880, 3240 }, { 5555, 3630 } } },
        PassRow { "rightUp_leftDown_downRight", { 26, 5000, 7000, { 3360, 3240 }, { 3486, 3150 } },
            { 1, 7000, 5000, { 4680, 3240 }, { 4505, 3485 } }, { 75, 7000, 8000, { 5880, 3240 }, { 6400, 3695 } } },
        PassRow { "leftDown_downRight_upLeft", { 24, 6000, 8000, { 3360, 3240 }, { 3216, 3348 } },
            { 75, 5000, 9000, { 4680, 3240 }, { 4995, 3415 } }, { 74, 5000, 6000, { 5880, 3240 }, { 5490, 2915 } } },
        // Bottom at the edge stays, past it comes back; top at the edge stays.
        PassRow { "bottomAndTopEdges", { 80, 500, 1000, { 3000, 6376 }, { 3018, 6385 } },
            { 99, 200, 2000, { 4000, 6379 }, { 4070, 615 } }, { 60, 200, 1000, { 6000, -602 }, { 5935, -615 } } },
        // Wholly above goes below the window; partly above stays; past the
        // left keeps the margin.
        PassRow { "aboveAndLeft", { 60, 5000, 1000, { 3000, -600 }, { 2982, 7690 } },
            { 40, 2000, 1000, { 4000, 10 }, { 4035, -60 } }, { 10, 1000, 1000, { 30, 3000 }, { 6825, 3065 } } },
        // Left at 0 and at the outer width stay; past the outer width comes back.
        PassRow { "leftAndRightEdges", { 10, 1000, 1000, { 18, 3000 }, { 0, 3018 } },
            { 30, 2000, 2000, { 8930, 3000 }, { 9000, 2930 } }, { 90, 1000, 1000, { 8936, 3000 }, { 735, 3065 } } },
        PassRow { "aBoxPutBackStillMakesItsOtherMove", { 90, 500, 1000, { 3000, 6377 }, { 3018, 615 } },
            { 55, 2000, 1000, { 20, 3000 }, { 6825, 2930 } }, { 35, 1000, 1000, { 8950, -560 }, { 735, 7625 } } }),
    [](const ::testing::TestParamInfo<PassRow>& row) { return row.param.name; });

// Every edge test reads the window's size anew, so a window that changed
// size between two steps is seen at once.
TEST_F(MotionTest, theEdgesReadTheWindowAfreshOnEveryStep)
{
    platform.outerH = 8000;
    place(Control::pct, { 3000, 6385 });
    probe.moveBox(Control::pct, 90, 1, 1, 1.0);
    EXPECT_EQ(at(Control::pct).top, 6386.0f);
}

TEST_F(MotionTest, aPositionNoFloatHoldsIsAnError)
{
    place(Control::pct, { 3.4e38, 0 });
    EXPECT_THROW(probe.moveBox(Control::pct, 30, 1, 9800, 1e35), std::range_error);
    EXPECT_EQ(at(Control::pct).left, 3.4e38f);
}

// Thousands of random steps in random windows: positions stay finite and no
// box is lost out of view for good.
TEST_F(MotionTest, boxesAlwaysComeBackIntoView)
{
    std::mt19937 random(20261207);
    const auto between = [&](int low, int high) { return std::uniform_int_distribution(low, high)(random); };
    const std::pair<Control, double> boxes[]
        = { { Control::pct, 0.018 }, { Control::pct2, 0.035 }, { Control::pct3, 0.065 } };
    for (int trial = 0; trial < 20; ++trial) {
        const auto clientW = float(between(1500, 15000));
        const auto clientH = float(between(1500, 12000));
        platform.outerW = clientW + 120;
        platform.outerH = clientH + 510;
        for (const auto& [box, speed] : boxes) {
            int outOfView = 0;
            for (int step = 0; step < 2000; ++step) {
                probe.moveBox(box, float(between(1, 100)), float(between(1, 7800)), float(between(1, 9800)), speed);
                const auto& p = at(box);
                ASSERT_TRUE(std::isfinite(p.left) && std::isfinite(p.top));
                const bool inView = p.left < clientW && p.left + 735 > 0 && p.top < clientH && p.top + 615 > 0;
                outOfView = inView ? 0 : outOfView + 1;
                ASSERT_LT(outOfView, 400) << "lost at step " << step;
            }
        }
    }
}
