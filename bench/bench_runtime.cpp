#include "bench_runtime.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <ctime>

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double BenchRuntime::clock()
{
    const double now = m_real.clock();
    m_recent = { now, m_recent[0] };
    if (m_pendingSkip >= 0) {
        gameStart = now;
        m_skip = m_pendingSkip;
        m_pendingSkip = -1;
        return m_lastReading = now;
    }
    return m_lastReading = now + m_skip;
}

void BenchRuntime::skipAfterNextReading(double seconds)
{
    m_skip = 0;
    m_pendingSkip = seconds;
}

float BenchRuntime::random()
{
    if (m_drawsSincePump++ == 0)
        m_passTop = m_recent[1];
    ++draws;
    return m_real.random();
}

namespace {

// Accepts the modal box once it is up, trying again until it is.
void acceptBox()
{
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        box->accept();
    else
        QTimer::singleShot(1, acceptBox);
}

} // namespace

void BenchRuntime::messageBox(QWidget* parent, const QString& prompt, const QString& title)
{
    ++boxes;
    readingBeforeBox = m_lastReading;
    m_drawsSincePump = 0;
    QTimer::singleShot(0, acceptBox);
    m_real.messageBox(parent, prompt, title);
}

void BenchRuntime::pumpEvents()
{
    if (m_drawsSincePump > 0) {
        const double start = m_real.clock();
        m_real.pumpEvents();
        const double end = m_real.clock();
        passUs.push_back((start - m_passTop) * 1e6);
        repaintUs.push_back((end - start) * 1e6);
        m_drawsSincePump = 0;
    } else {
        m_real.pumpEvents();
    }
    ++pumps;
    if (afterPump)
        afterPump();
}
