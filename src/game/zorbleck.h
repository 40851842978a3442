#pragma once

#include "game/platform.h"

#include <cstdint>

// The game window: the three score counters, the handlers of its five events
// and the routines of the game. It reaches its window and controls only
// through the platform; a front end delivers the events (game/deliver.h).
class Zorbleck final {
public:
    explicit Zorbleck(game::Platform& runsOn);

    // Handlers (game/greeting.cpp, game/gameloop.cpp, game/scoring.cpp).
    void zorbleckLoad();
    void cmdStartClick();
    void pctClick();
    void pct2Click();
    void pct3Click();

    void TimeOut(double duration);

    // The player closed the window: a game that runs ends at its next
    // pumping and shows nothing more.
    void zorbleckClosed() { closed = true; }

private:
    // Routines (game/).
    void MoveBox(game::Control box, float heading, float vertical, float horizontal, double speed);
    void ShowElapsed(float elapsed);
    void ShowVerdict();

    std::string lst1Text();
    float draw(int n);
    void verticalEdgeRule(game::Control box);
    void horizontalEdgeRule(game::Control box);

    game::Platform& platform;

    std::int16_t redScore = 0;
    std::int16_t blueScore = 0;
    std::int16_t greenScore = 0;

    bool closed = false;

    friend struct ZorbleckProbe;
};
