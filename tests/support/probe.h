#pragma once

#include "game/zorbleck.h"

#include <cstdint>

// Reads and drives the window's private parts for tests and the bench,
// without widening the window's own interface.
namespace game {

struct ZorbleckProbe {
    Zorbleck& w;

    std::int16_t& redScore() const { return w.redScore; }
    std::int16_t& blueScore() const { return w.blueScore; }
    std::int16_t& greenScore() const { return w.greenScore; }
    int total() const { return w.redScore + w.blueScore + w.greenScore; }
    void setScores(std::int16_t red, std::int16_t blue, std::int16_t green) const
    {
        w.redScore = red;
        w.blueScore = blue;
        w.greenScore = green;
    }

    float draw(int n) const { return w.draw(n); }
    void moveBox(game::Control box, float heading, float vertical, float horizontal, double speed) const
    {
        w.MoveBox(box, heading, vertical, horizontal, speed);
    }
    void showElapsed(float elapsed) const { w.ShowElapsed(elapsed); }
    void showVerdict() const { w.ShowVerdict(); }
    void timeOut(double duration) const { w.TimeOut(duration); }
};

} // namespace game

using game::ZorbleckProbe;
