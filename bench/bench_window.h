#pragma once

#include "qt/qt_window.h"

#include <array>
#include <chrono>
#include <functional>
#include <vector>

using SteadyClock = std::chrono::steady_clock;

inline double microseconds(SteadyClock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// CPU time of the calling thread: the window's, when the window's thread asks.
double threadCpuSeconds();

// The real window with counters and hooks around it. It times each pass as
// the Start handler runs it: from the clock reading at the top of the pass to
// the first pump of its pause, and that pump (the repaint of the moved boxes)
// on its own. Message boxes are the real ones, closed as soon as they are up.
// The clock can jump ahead right after a game has read its start, so that
// only the game's last seconds are played.
class BenchWindow final : public qtui::QtWindow {
public:
    BenchWindow();
    double clock() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

    // A press of Start with this difficulty selected; returns after the game.
    void play(const char* difficulty);
    QPoint redCentre() const;

    // The next reading is a game's start; every later one is `seconds` ahead.
    void skipAfterNextReading(double seconds);

    // Runs after every pump, on the window's thread.
    std::function<void()> afterPump;

    long pumps = 0;
    long draws = 0;
    double gameStart = 0;
    // The last clock reading before the latest message box.
    double readingBeforeBox = 0;
    // Microseconds of each pass timed so far, and of the pump that followed it.
    std::vector<double> passUs, repaintUs;

private:
    // A pass begins with its draws: the first after a pump marks its top.
    void drawn();

    double skip = 0;
    double pendingSkip = -1;
    double lastReading = 0;
    // The last two real readings, newest first: when a pass makes its first
    // draw, the older one is the reading at its top (the newer one is the
    // elapsed time's).
    std::array<double, 2> recent {};
    double passTop = 0;
    long drawsSincePump = 0;
};
