#include "bench_runtime.h"

double BenchRuntime::clock()
{
    const double now = m_real.clock();
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
    ++draws;
    return m_real.random();
}

void BenchRuntime::messageBox(QWidget*, const QString&, const QString&)
{
    ++boxes;
    readingBeforeBox = m_lastReading;
}

void BenchRuntime::pumpEvents()
{
    if (timeNextPump) {
        const auto start = SteadyClock::now();
        m_real.pumpEvents();
        lastTimedPumpUs = microseconds(SteadyClock::now() - start);
        timeNextPump = false;
    } else {
        m_real.pumpEvents();
    }
    ++pumps;
    if (afterPump)
        afterPump();
}
