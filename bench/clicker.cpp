#include "clicker.h"

#include "support/probe.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWindow>

#include <random>

SteadyClock::time_point postMouse(QWindow* window, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    auto* event = new QMouseEvent(type, at, at, Qt::LeftButton, held, Qt::NoModifier);
    const auto now = SteadyClock::now();
    QCoreApplication::postEvent(window, event);
    return now;
}

Clicker::Clicker(const ZorbleckProbe& game, const BenchWindow& benchWindow)
    : probe(game)
    , bench(benchWindow)
    , window(benchWindow.windowHandle())
    , lastScore(game.redScore())
{
}

void Clicker::start()
{
    stopping = false;
    targetKnown = false;
    thread = std::thread(&Clicker::run, this);
}

void Clicker::stop()
{
    if (!thread.joinable())
        return;
    stopping = true;
    counted.notify_all();
    thread.join();
}

void Clicker::watch()
{
    target.store(bench.redCentre(), std::memory_order_relaxed);
    targetKnown.store(true, std::memory_order_release);
    const int score = probe.redScore();
    if (score == lastScore)
        return;
    // A new game sets the counter back to 0: that is no press.
    if (score > lastScore) {
        const std::lock_guard lock(mutex);
        ++counts;
        countedAt = SteadyClock::now();
        counted.notify_all();
    }
    lastScore = score;
}

std::vector<double> Clicker::takeDelays()
{
    const std::lock_guard lock(mutex);
    return std::exchange(delays, {});
}

void Clicker::run()
{
    using namespace std::chrono_literals;
    std::minstd_rand gaps(7);
    while (!stopping) {
        // Irregular gaps so presses fall anywhere in a pass.
        std::this_thread::sleep_for(3ms + std::chrono::microseconds(gaps() % 5000));
        if (!targetKnown.load(std::memory_order_acquire))
            continue;
        const QPoint at = target.load(std::memory_order_relaxed);
        std::unique_lock lock(mutex);
        const long before = counts;
        lock.unlock();
        const SteadyClock::time_point pressed = postMouse(window, QEvent::MouseButtonPress, at);
        lock.lock();
        if (counted.wait_for(lock, 200ms, [&] { return counts != before || stopping; }) && counts != before)
            delays.push_back(microseconds(countedAt - pressed));
        else if (!stopping)
            ++missedCount;
        lock.unlock();
        postMouse(window, QEvent::MouseButtonRelease, at);
    }
}
