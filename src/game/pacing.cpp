#include "game/zorbleck.h"

#include <cmath>
#include <string>

namespace game {

// A busy-wait on purpose: the boxes' pace is set by this loop alone, and the
// player's clicks are delivered inside it.
void Zorbleck::TimeOut(double duration)
{
    const double start = platform.clock();
    while (platform.clock() - start < duration) {
        platform.pumpEvents();
        if (windowClosed)
            return;
    }
}

void Zorbleck::ShowElapsed(float elapsed)
{
    const auto seconds = static_cast<long long>(std::floor(elapsed));
    platform.setCaption(Control::lblTimer, "  " + std::to_string(seconds));
}

} // namespace game
