#pragma once

#include "report.h"

class BenchWindow;
struct ZorbleckProbe;

// The game's three paces, fastest first.
struct Difficulty {
    const char* name;
    double pause;
};
inline constexpr Difficulty Difficulties[] { { "Impossible", 0.035 }, { "Average", 0.13 }, { "Slow", 0.3 } };
inline constexpr double GameSeconds = 46;

// Each on the window in this process; see BENCHMARKS.md.
void soak(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
// Returns the share of a core a bare busy-wait got, in per cent.
double measurePauses(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
void measureGames(const ZorbleckProbe& probe, BenchWindow& window, bool full, double bareCpu, Report& report);
