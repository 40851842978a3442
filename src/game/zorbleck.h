#pragma once

#include "game/platform.h"
#include "game/random_source.h"

#include <cstdint>
#include <memory>
#include <string>

namespace game {

// The game window: the three score counters, the handlers of its five events
// and the routines of the game. It reaches its window and controls only
// through the platform. A front end owns one and hands it the player's events
// through its three entry points, and nothing else.
class Zorbleck final {
public:
    explicit Zorbleck(Platform& runsOn, std::unique_ptr<RandomSource> chance = std::make_unique<RandomSource>());

    // The window was created and is about to show for the first time.
    void loaded();
    // The player operated a control (a press of a box, a click or key on
    // Start); only those the rules wire reach a handler, and only while shown.
    void pressed(Control control);
    // The player closed the window: a game that runs ends at its next
    // pumping and shows nothing more.
    void closed();

private:
    // Handlers (greeting.cpp, gameloop.cpp, scoring.cpp).
    void zorbleckLoad();
    void cmdStartClick();
    void pctClick();
    void pct2Click();
    void pct3Click();

    // Routines (pacing.cpp, motion.cpp, verdict.cpp).
    void TimeOut(double duration);
    void MoveBox(Control box, float heading, float vertical, float horizontal, double speed);
    void ShowElapsed(float elapsed);
    void ShowVerdict();

    std::string lst1Text();
    float draw(int n);
    void verticalEdgeRule(Control box);
    void horizontalEdgeRule(Control box);

    Platform& platform;
    std::unique_ptr<RandomSource> random;

    std::int16_t redScore = 0;
    std::int16_t blueScore = 0;
    std::int16_t greenScore = 0;

    bool windowClosed = false;

    friend struct ZorbleckProbe;
};

} // namespace game
