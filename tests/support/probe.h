#pragma once

#include "platform/colorbox.h"
#include "window/zorbleck.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

// Reads and drives the window's private parts for tests, without widening
// the window's own interface.
struct ZorbleckProbe {
    Zorbleck& w;

    platform::ColorBox& red() const { return *w.pct; }
    platform::ColorBox& blue() const { return *w.pct2; }
    platform::ColorBox& green() const { return *w.pct3; }
    QListWidget& list() const { return *w.lst1; }
    QPushButton& start() const { return *w.cmdStart; }
    QLabel& timer() const { return *w.lblTimer; }
    QLabel& verdict() const { return *w.lbl1; }

    std::int16_t& redScore() const { return w.redScore; }
    std::int16_t& blueScore() const { return w.blueScore; }
    std::int16_t& greenScore() const { return w.greenScore; }
    void setScores(std::int16_t red, std::int16_t blue, std::int16_t green) const
    {
        w.redScore = red;
        w.blueScore = blue;
        w.greenScore = green;
    }

    QString difficulty() const { return w.lst1Text(); }
    void select(const QString& entry) const
    {
        const auto found = w.lst1->findItems(entry, Qt::MatchExactly);
        w.lst1->clearSelection();
        if (!found.isEmpty())
            found.first()->setSelected(true);
    }

    float draw(int n) const { return w.draw(n); }
    void moveBox(platform::ColorBox& box, float heading, float vertical, float horizontal, double speed) const
    {
        w.MoveBox(box, heading, vertical, horizontal, speed);
    }
    void showElapsed(float elapsed) const { w.ShowElapsed(elapsed); }
    void showVerdict() const { w.ShowVerdict(); }

    QColor background() const { return w.palette().color(QPalette::Window); }

    // A real press and release at a control's centre, hit-tested by Qt as a
    // player's click would be.
    void click(QWidget& control) const
    {
        QTest::mouseClick(w.windowHandle(), Qt::LeftButton, {}, control.geometry().center());
    }
    void pressStart() const { click(*w.cmdStart); }
};
