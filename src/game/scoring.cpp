#include "game/int16.h"
#include "game/zorbleck.h"

namespace game {

// Each click adds its colour's value and rounds back to 16 bits: +1, +3, +4.
namespace {
    constexpr double RedAddend = 1.4;
    constexpr double BlueAddend = 2.8;
    constexpr double GreenAddend = 4.2;
}

void Zorbleck::pctClick()
{
    redScore = toInt16(redScore + RedAddend);
}

void Zorbleck::pct2Click()
{
    blueScore = toInt16(blueScore + BlueAddend);
}

void Zorbleck::pct3Click()
{
    greenScore = toInt16(greenScore + GreenAddend);
}

} // namespace game
