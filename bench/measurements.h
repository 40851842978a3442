#pragma once

#include "game/pauses.h"

#include "report.h"

class BenchWindow;
namespace game {
struct ZorbleckProbe;
}
using game::Pause;
using game::Pauses;
using game::ZorbleckProbe;

// Each on the window in this process; see BENCHMARKS.md.
void soak(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
// Returns the share of a core a bare busy-wait got, in per cent.
double measurePauses(const ZorbleckProbe& probe, BenchWindow& window, Report& report);
void measureGames(const ZorbleckProbe& probe, BenchWindow& window, bool full, double bareCpu, Report& report);
