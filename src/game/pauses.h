#pragma once

#include "game/layout.h"

#include <array>

namespace game {

// A game lasts this long, and pauses between two passes for as long as its
// difficulty says.
inline constexpr double GameLength = 46;

struct Pause {
    const char* difficulty;
    double seconds;
};
inline constexpr std::array<Pause, 3> Pauses { {
    { layout::Slow, 0.3 },
    { layout::Average, 0.13 },
    { layout::Impossible, 0.035 },
} };

} // namespace game
