#pragma once

#include <QSizeF>
#include <QString>

class QWidget;

namespace platform {

// Everything the game needs from outside itself: time, chance, modal boxes,
// event delivery and the window's outer size. The program runs on QtRuntime;
// tests put a scripted runtime in its place.
class Runtime {
public:
    virtual ~Runtime() = default;

    // Seconds on a monotonic clock: never jumps, never restarts at midnight.
    virtual double clock() = 0;

    // Seeds the random source from the system clock, once per run.
    virtual void seedRandom() = 0;
    // A uniform number in [0, 1).
    virtual float random() = 0;

    // Modal box with one OK button and no icon; an empty title means the
    // application's name. Returns when the player has closed it.
    virtual void messageBox(QWidget* parent, const QString& prompt, const QString& title) = 0;

    // Hands all pending events to their handlers and returns.
    virtual void pumpEvents() = 0;

    // The window's outer size in twips, frame and title bar included.
    virtual QSizeF outerSize(const QWidget& window) = 0;
};

} // namespace platform
