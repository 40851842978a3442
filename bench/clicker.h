#pragma once

#include "bench_runtime.h"

#include <QPoint>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

struct ZorbleckProbe;

// Presses the red box from a second thread and times how long the window
// takes to count the press. The window's thread calls watch() after every
// pump: it tells the presser where the box is and notices the counter rise.
class Clicker {
public:
    // Presses at a point in window coordinates; returns the moment of the press.
    using Press = std::function<SteadyClock::time_point(QPoint)>;
    using Release = std::function<void(QPoint)>;

    Clicker(const ZorbleckProbe& probe, Press press, Release release);
    ~Clicker() { stop(); }

    void start();
    void stop();
    void watch();

    // Press-to-counted delays in microseconds since the last call.
    std::vector<double> takeDelays();
    int missed() const { return m_missed; }

private:
    void run();

    const ZorbleckProbe& m_probe;
    Press m_press;
    Release m_release;
    std::thread m_thread;
    std::atomic<bool> m_stopping { false };

    // Published by watch(): where to press, and whether that is known yet.
    std::atomic<QPoint> m_target {};
    std::atomic<bool> m_targetKnown { false };

    std::mutex m_mutex;
    std::condition_variable m_counted;
    long m_counts = 0;
    SteadyClock::time_point m_countedAt;
    int m_lastScore = 0;

    std::vector<double> m_delays;
    int m_missed = 0;
};
