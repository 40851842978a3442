#include "game/zorbleck.h"

#include <cmath>
#include <stdexcept>

namespace game {

namespace {

    // The left-edge rule sets a box back this far short of the window's outer width.
    constexpr double LeftEdgeMargin = 1440;

    // A move is worked out in double precision and rounded once when written; a
    // result no float can hold is an error, not an infinite position.
    float toSingle(double twips)
    {
        const auto single = static_cast<float>(twips);
        if (!std::isfinite(single))
            throw std::range_error("A box's position went out of range.");
        return single;
    }

    constexpr double Up = -1;
    constexpr double Down = 1;
    constexpr double Left = -1;
    constexpr double Right = 1;

} // namespace

void Zorbleck::MoveBox(Control box, float heading, float vertical, float horizontal, double speed)
{
    const auto moveVertically = [&](double direction) {
        const double step = static_cast<double>(vertical) * speed;
        platform.setTop(box, toSingle(platform.top(box) + direction * step));
        verticalEdgeRule(box);
    };
    const auto moveHorizontally = [&](double direction) {
        const double step = static_cast<double>(horizontal) * speed;
        platform.setLeft(box, toSingle(platform.left(box) + direction * step));
        horizontalEdgeRule(box);
    };

    if (heading >= 75) {
        moveVertically(Down);
        moveHorizontally(Right);
    } else if (heading >= 50) {
        moveVertically(Up);
        moveHorizontally(Left);
    } else if (heading >= 25) {
        moveHorizontally(Right);
        moveVertically(Up);
    } else if (heading >= 0) {
        moveHorizontally(Left);
        moveVertically(Down);
    }
}

// Both tests look at the box's bottom side: past the bottom it comes back at
// once, past the top only when wholly out, and then it is sent below the
// window for a pass. Every value is read afresh.
void Zorbleck::verticalEdgeRule(Control box)
{
    const auto bottom = [&] { return toSingle(static_cast<double>(platform.height(box)) + platform.top(box)); };

    if (bottom() > platform.outerHeight()) {
        platform.setTop(box, platform.height(box));
    } else if (bottom() < 0) {
        const float top = platform.top(box);
        platform.setTop(box, toSingle(static_cast<double>(platform.outerHeight()) - top));
    }
}

// Past the left edge a box reappears near the right; past the outer width it
// reappears at the left.
void Zorbleck::horizontalEdgeRule(Control box)
{
    if (platform.left(box) < 0) {
        const float width = platform.width(box);
        platform.setLeft(box, toSingle((platform.outerWidth() - LeftEdgeMargin) - width));
    } else if (platform.left(box) > platform.outerWidth()) {
        platform.setLeft(box, platform.width(box));
    }
}

} // namespace game
