#pragma once

#include "report.h"

class BenchRuntime;
struct ZorbleckProbe;

// The game's three paces, fastest first, as the difficulty list offers them.
struct Difficulty {
    const char* name;
    int row;
    double pause;
};
inline constexpr Difficulty Difficulties[] { { "Impossible", 2, 0.035 }, { "Average", 1, 0.13 }, { "Slow", 0, 0.3 } };
inline constexpr double GameSeconds = 46;

// On the window in this process (offscreen).
void measureGames(ZorbleckProbe& probe, BenchRuntime& runtime, bool full, Report& report);
void measurePauses(ZorbleckProbe& probe, BenchRuntime& runtime, Report& report);

// The half of the XTest click measure that runs inside the window's process.
int xtestChild(ZorbleckProbe& probe, BenchRuntime& runtime);

// On Xvfb, with the program and the floor as separate processes.
void measureOnXvfb(bool full, Report& report);
