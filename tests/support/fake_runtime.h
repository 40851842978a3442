#pragma once

#include "platform/runtime.h"

#include <QCoreApplication>
#include <QList>
#include <QWidget>

#include <functional>
#include <optional>

// A runtime the test scripts: the clock moves only when the test says so,
// random numbers come from a list, message boxes are recorded and answered
// at once, and the window's outer size can be fixed.
struct FakeRuntime final : platform::Runtime {
    struct Box {
        QString prompt;
        QString title;
    };

    double now = 0;
    double readStep = 0; // added after every clock reading
    double pumpStep = 0; // added by every pumping
    int clockReads = 0;

    QList<float> randoms; // handed out first, in order
    float nextRandom = 0.5f;
    int draws = 0;
    int seeds = 0;

    QList<Box> boxes;
    std::function<void(const Box&)> onMessageBox;

    int pumps = 0;
    std::function<void(int pump)> onPump;

    std::optional<QSizeF> outer;
    std::function<void()> onOuterSize; // the game looks at the window's size

    double clock() override
    {
        ++clockReads;
        const double reading = now;
        now += readStep;
        return reading;
    }

    void seedRandom() override { ++seeds; }

    float random() override
    {
        ++draws;
        return randoms.isEmpty() ? nextRandom : randoms.takeFirst();
    }

    void messageBox(QWidget*, const QString& prompt, const QString& title) override
    {
        boxes.append({ prompt, title });
        if (onMessageBox)
            onMessageBox(boxes.last());
    }

    void pumpEvents() override
    {
        ++pumps;
        if (onPump)
            onPump(pumps);
        QCoreApplication::processEvents();
        now += pumpStep;
    }

    QSizeF outerSize(const QWidget& window) override
    {
        if (onOuterSize)
            onOuterSize();
        if (outer)
            return *outer;
        const QSize size = window.frameGeometry().size();
        return { size.width() * 15.0, size.height() * 15.0 };
    }

    QStringList prompts() const
    {
        QStringList list;
        for (const Box& box : boxes)
            list.append(box.prompt);
        return list;
    }
};
