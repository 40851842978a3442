#include "game/deliver.h"
#include "game/zorbleck.h"

Zorbleck::Zorbleck(game::Platform& runsOn)
    : platform(runsOn)
{
}

void Zorbleck::zorbleckLoad()
{
    platform.seedRandom();
    platform.messageBox("Click on the boxes as many times as you can. You have 45 seconds.", "Zorbleck!");
    platform.messageBox("Red = 1 point, Blue = 2 points, and Green = 3 points", "Zorbleck!");
}

void game::reportError(Platform& platform, const char* what) noexcept
{
    try {
        platform.messageBox(what, {});
    } catch (...) {
        // Nothing is left to tell the player with; the window goes on.
    }
}
