#pragma once

#include "bench_window.h"

#include <QEvent>
#include <QPoint>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class QWindow;
namespace game {
struct ZorbleckProbe;
}
using game::ZorbleckProbe;

// Queues a mouse event on the window, as the platform queues a player's;
// Qt picks the receiving widget when it delivers it. Returns the moment of queueing.
SteadyClock::time_point postMouse(QWindow* window, QEvent::Type type, QPoint at);

// Posts presses on the red box from a second thread, as a player's clicks
// queue up, and times how long the window takes to count each. The window's
// thread calls watch() after every pump: it tells the presser where the box
// is and notices the counter rise.
class Clicker {
public:
    Clicker(const ZorbleckProbe& probe, const BenchWindow& window);
    ~Clicker() { stop(); }

    void start();
    void stop();
    void watch();

    // Press-to-counted delays in microseconds since the last call.
    std::vector<double> takeDelays();
    int missed() const { return missedCount; }

private:
    void run();

    const ZorbleckProbe& probe;
    const BenchWindow& bench;
    QWindow* const window;
    std::thread thread;
    std::atomic<bool> stopping { false };

    // Published by watch(): where to press, and whether that is known yet.
    std::atomic<QPoint> target {};
    std::atomic<bool> targetKnown { false };

    std::mutex mutex;
    std::condition_variable counted;
    long counts = 0;
    SteadyClock::time_point countedAt;
    int lastScore = 0;

    std::vector<double> delays;
    int missedCount = 0;
};
