#include "game/zorbleck.h"

namespace game {

Zorbleck::Zorbleck(Platform& runsOn, std::unique_ptr<RandomSource> chance)
    : platform(runsOn)
    , random(std::move(chance))
{
}

void Zorbleck::zorbleckLoad()
{
    random->seedFromClock();
    platform.messageBox("Click on the boxes as many times as you can. You have 45 seconds.", "Zorbleck!");
    platform.messageBox("Red = 1 point, Blue = 2 points, and Green = 3 points", "Zorbleck!");
}

} // namespace game
