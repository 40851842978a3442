#include "support/fixture.h"

#include <stdexcept>
#include <string>

using game::Control;

namespace {

const auto& Texts = rules::Verdicts;
const std::string Worst = Texts[6];

struct VerdictTest : GameTest {
    VerdictTest() { at(Control::lbl1).caption = " "; }

    std::string verdictFor(const char* difficulty, int total)
    {
        platform.selected = difficulty;
        // Spread over the three counters, so the verdict adds them up itself.
        const int red = total / 3;
        probe.setScores(std::int16_t(red), std::int16_t(total - 2 * red), std::int16_t(red));
        probe.showVerdict();
        return at(Control::lbl1).caption;
    }
};

} // namespace

// Every threshold at and just past its boundary, and the far ends.
TEST_F(VerdictTest, totalsChooseTheirVerdict)
{
    for (const rules::Thresholds& row : rules::VerdictThresholds) {
        SCOPED_TRACE(row.difficulty);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(verdictFor(row.difficulty, row.above.at(i) + 1), Texts.at(i)) << row.above.at(i) + 1;
            EXPECT_EQ(verdictFor(row.difficulty, row.above.at(i)), Texts.at(i + 1)) << row.above.at(i);
        }
        EXPECT_EQ(verdictFor(row.difficulty, 0), Worst);
        EXPECT_EQ(verdictFor(row.difficulty, -300), Worst);
        EXPECT_EQ(verdictFor(row.difficulty, 32767), Texts[0]);
    }
    EXPECT_EQ(verdictFor("Average", 80), Texts[4]) << "the worked game on Average";
}

// Without a difficulty nothing is added (the sum would overflow); past the
// limit the total is an error. Either way the label keeps its text.
TEST_F(VerdictTest, noDifficultyOrATotalPastTheLimitWritesNothing)
{
    EXPECT_EQ(verdictFor("", 0), " ");
    probe.setScores(32767, 32767, 32767);
    probe.showVerdict();
    EXPECT_EQ(at(Control::lbl1).caption, " ");
    platform.selected = "Slow";
    probe.setScores(32767, 0, 1);
    EXPECT_THROW(probe.showVerdict(), std::overflow_error);
    EXPECT_EQ(at(Control::lbl1).caption, " ");
}
