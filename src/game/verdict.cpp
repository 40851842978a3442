#include "game/int16.h"
#include "game/layout.h"
#include "game/zorbleck.h"

#include <array>

namespace game {

namespace {

    constexpr std::array<const char*, 7> Verdicts { "Amazing!", "Great job! Almost there... ",
        "Good job, but you still need some practice.", "Completely average. Do better.",
        "That was pretty pathetic. Do better next time.", "You have to admit, you're pretty bad at this game.",
        "How is it possible to do that bad?" };

    struct Thresholds {
        const char* difficulty;
        // A verdict is earned by a total strictly above its threshold.
        std::array<std::int16_t, 6> above;
    };
    constexpr std::array<Thresholds, 3> Table { {
        { layout::Slow, { 400, 320, 270, 200, 100, 50 } },
        { layout::Average, { 250, 200, 150, 100, 50, 25 } },
        { layout::Impossible, { 150, 100, 60, 40, 20, 5 } },
    } };

} // namespace

void Zorbleck::ShowVerdict()
{
    for (const Thresholds& row : Table) {
        if (lst1Text() != row.difficulty)
            continue;
        const std::int16_t total = total16(redScore, blueScore, greenScore);
        std::size_t verdict = 0;
        while (verdict < row.above.size() && !(total > row.above[verdict]))
            ++verdict;
        platform.setCaption(Control::lbl1, Verdicts[verdict]);
    }
}

} // namespace game
