#include "window/zorbleck.h"

#include "platform/runtime.h"

#include <QLabel>

#include <cmath>

// A busy-wait on purpose: the boxes' pace is set by this loop alone, and the
// player's clicks are delivered inside it.
void Zorbleck::TimeOut(double duration)
{
    const double start = runtime.clock();
    while (runtime.clock() - start < duration) {
        runtime.pumpEvents();
        if (closed)
            return;
    }
}

void Zorbleck::ShowElapsed(float elapsed)
{
    const auto seconds = static_cast<long long>(std::floor(elapsed));
    lblTimer->setText(QStringLiteral("  ") + QString::number(seconds));
}
