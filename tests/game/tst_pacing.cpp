#include "game/random_source.h"
#include "support/fixture.h"

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

using game::Control;

// The pause, the elapsed-seconds caption, the random draws, their source and
// its seeding.
using PacingTest = GameTest;

// Time spent in handlers run by the pumping counts towards the pause too.
TEST_F(PacingTest, thePauseEndsAtTheFirstReadingPastItsLength)
{
    const struct {
        const char* name;
        double duration, step, inHandlers;
        int pumps;
        double endsAt;
    } rows[] = {
        { "zero never pumps", 0, 0.125, 0, 0, 0.125 },
        { "negative never pumps", -1, 0.125, 0, 0, 0.125 },
        { "reading exactly at the end", 0.25, 0.125, 0, 1, 0.25 },
        { "clock coarser than the pause", 0.035, 0.0625, 0, 0, 0.0625 },
        { "fine clock", 0.035, 0.001953125, 0, 17, 0.03515625 },
        { "handlers' time", 0.375, 0, 0.125, 3, 0.375 },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        platform.now = 1000;
        platform.readStep = row.step;
        platform.pumps = 0;
        platform.onPump = [&](int) { platform.now += row.inHandlers; };
        probe.timeOut(row.duration);
        EXPECT_EQ(platform.pumps, row.pumps);
        // The last reading taken is the one that ended the pause.
        EXPECT_EQ(platform.now - platform.readStep, 1000 + row.endsAt);
    }
}

TEST_F(PacingTest, elapsedShowsWholeSecondsAfterTwoBlanks)
{
    const std::pair<float, const char*> rows[]
        = { { 0.2f, "  0" }, { 12.7f, "  12" }, { 45.99f, "  45" }, { 46.01f, "  46" }, { -0.5f, "  -1" } };
    for (const auto& [elapsed, caption] : rows) {
        probe.showElapsed(elapsed);
        EXPECT_EQ(at(Control::lblTimer).caption, caption) << elapsed;
    }
}

// The largest r below 1 draws n. A product rounded to single precision can
// round up across a whole number (0.13f * 100 to 13) and draw one too many,
// though never n + 1; the draw keeps to the exact product.
TEST_F(PacingTest, drawsStayWithinOneToN)
{
    const std::pair<int, float> rows[] = { { 60, 8.0f }, { 100, 13.0f }, { 7800, 1014.0f }, { 9800, 1274.0f } };
    for (const auto& [n, at013] : rows) {
        SCOPED_TRACE(n);
        platform.randoms = { 0.0f, std::nextafter(1.0f, 0.0f), 0.5f, std::nextafter(0.5f, 0.0f), 0.13f };
        EXPECT_EQ(probe.draw(n), 1.0f);
        EXPECT_EQ(probe.draw(n), float(n));
        const int half = n / 2;
        EXPECT_EQ(probe.draw(n), float(half + 1));
        EXPECT_EQ(probe.draw(n), float(half));
        EXPECT_EQ(probe.draw(n), at013);
    }
}

// Runs started at different moments must not replay the same boxes, and no
// number reaches 1.
TEST(RandomSource, seedingsAtDifferentMomentsDrawDifferently)
{
    EXPECT_EQ(game::unitFloat(0), 0.0f);
    EXPECT_LT(game::unitFloat(0xFFFFFFFFu), 1.0f);
    EXPECT_EQ(game::unitFloat(0x80000000u), 0.5f);

    const auto sequence = [] {
        game::RandomSource source;
        source.seedFromClock();
        std::vector<float> numbers;
        numbers.reserve(16);
        for (int i = 0; i < 16; ++i)
            numbers.push_back(source.next());
        return numbers;
    };
    const std::vector<float> first = sequence();
    std::this_thread::sleep_for(std::chrono::microseconds(10));
    const std::vector<float> second = sequence();
    EXPECT_NE(first, second);
    for (const auto& numbers : { first, second })
        for (float r : numbers)
            EXPECT_TRUE(r >= 0.0f && r < 1.0f);
}

// The load handler seeds the random source once, then the rules come in two
// boxes, one after the other.
TEST_F(PacingTest, theLoadSeedsOnceThenShowsTheRules)
{
    std::vector<int> seedsAtBox;
    platform.onMessageBox = [&](const ScriptedRuntime::Box& box) {
        EXPECT_EQ(box.title, rules::RulesTitle);
        seedsAtBox.push_back(platform.seeds);
    };
    window.loaded();
    EXPECT_EQ(platform.prompts(), (std::vector<std::string> { rules::Rules[0], rules::Rules[1] }));
    EXPECT_EQ(seedsAtBox, (std::vector { 1, 1 }));
    EXPECT_EQ(platform.draws, 0);
}
