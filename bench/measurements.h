#pragma once

#include "game/layout.h"

#include "report.h"

class BenchWindow;
namespace game {
struct ZorbleckProbe;
}
using game::ZorbleckProbe;

// The game's three paces, fastest first.
struct Difficulty {
    const char* name;
    double pause;
};
inline constexpr Difficulty Difficulties[] { { game::layout::Impossible, 0.035 }, { game::layout::Average, 0.13 },
    { game::layout::Slow, 0.3 } };
inline constexpr double GameSeconds = 46;

// Each on the window in this process; see BENCHMARKS.md.
void soak(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
// Returns the share of a core a bare busy-wait got, in per cent.
double measurePauses(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
void measureGames(const ZorbleckProbe& probe, BenchWindow& window, bool full, double bareCpu, Report& report);
