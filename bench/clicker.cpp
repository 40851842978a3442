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

Clicker::Clicker(const ZorbleckProbe& probe, const BenchWindow& window)
    : m_probe(probe)
    , m_bench(window)
    , m_window(window.windowHandle())
    , m_lastScore(probe.redScore())
{
}

void Clicker::start()
{
    m_stopping = false;
    m_targetKnown = false;
    m_thread = std::thread(&Clicker::run, this);
}

void Clicker::stop()
{
    if (!m_thread.joinable())
        return;
    m_stopping = true;
    m_counted.notify_all();
    m_thread.join();
}

void Clicker::watch()
{
    m_target.store(m_bench.redCentre(), std::memory_order_relaxed);
    m_targetKnown.store(true, std::memory_order_release);
    const int score = m_probe.redScore();
    if (score == m_lastScore)
        return;
    // A new game sets the counter back to 0: that is no press.
    if (score > m_lastScore) {
        const std::lock_guard lock(m_mutex);
        ++m_counts;
        m_countedAt = SteadyClock::now();
        m_counted.notify_all();
    }
    m_lastScore = score;
}

std::vector<double> Clicker::takeDelays()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_delays, {});
}

void Clicker::run()
{
    using namespace std::chrono_literals;
    std::minstd_rand gaps(7);
    while (!m_stopping) {
        // Irregular gaps so presses fall anywhere in a pass.
        std::this_thread::sleep_for(3ms + std::chrono::microseconds(gaps() % 5000));
        if (!m_targetKnown.load(std::memory_order_acquire))
            continue;
        const QPoint target = m_target.load(std::memory_order_relaxed);
        std::unique_lock lock(m_mutex);
        const long before = m_counts;
        lock.unlock();
        const SteadyClock::time_point pressed = postMouse(m_window, QEvent::MouseButtonPress, target);
        lock.lock();
        if (m_counted.wait_for(lock, 200ms, [&] { return m_counts != before || m_stopping; }) && m_counts != before)
            m_delays.push_back(microseconds(m_countedAt - pressed));
        else if (!m_stopping)
            ++m_missed;
        lock.unlock();
        postMouse(m_window, QEvent::MouseButtonRelease, target);
    }
}
