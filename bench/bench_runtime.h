#pragma once

#include "platform/qt_runtime.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <functional>

#include <sys/types.h>

using SteadyClock = std::chrono::steady_clock;

inline double microseconds(SteadyClock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// CPU time of a process, all its threads (0: this one); NaN once it is gone.
inline double cpuSeconds(pid_t pid = 0)
{
    clockid_t clock {};
    timespec t {};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return NAN;
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The real runtime with counters and hooks around it, and two changes:
// message boxes are answered at once (no one reads them in a benchmark), and
// the clock can jump ahead right after a game has read its start, so the
// game's last seconds are played without waiting through the first ones.
class BenchRuntime final : public platform::Runtime {
public:
    double clock() override;
    void seedRandom() override { m_real.seedRandom(); }
    float random() override;
    void messageBox(QWidget* parent, const QString& prompt, const QString& title) override;
    void pumpEvents() override;
    QSizeF outerSize(const QWidget& window) override { return m_real.outerSize(window); }

    // The next reading is a game's start; every later one is `seconds` ahead.
    void skipAfterNextReading(double seconds);

    // Runs after every pump, on the window's thread.
    std::function<void()> afterPump;
    // Set to time the next pump alone; the result lands in lastTimedPumpUs.
    bool timeNextPump = false;
    double lastTimedPumpUs = 0;

    long pumps = 0;
    long draws = 0;
    long boxes = 0;
    double gameStart = 0;
    // The last clock reading before the latest message box.
    double readingBeforeBox = 0;

private:
    platform::QtRuntime m_real;
    double m_skip = 0;
    double m_pendingSkip = -1;
    double m_lastReading = 0;
};
