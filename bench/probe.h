#pragma once

#include "platform/colorbox.h"
#include "window/zorbleck.h"

#include <QColor>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <array>

// The window befriends a struct of this name; the benchmark's own reads the
// red counter and replays the work of one pass.
struct ZorbleckProbe {
    Zorbleck& window;

    std::int16_t redScore() const { return window.redScore; }
    const platform::ColorBox& redBox() const { return *window.pct; }
    QPushButton& startButton() const { return *window.cmdStart; }
    QListWidget& difficulties() const { return *window.lst1; }

    // A game hides these three: only the boxes and the timer show.
    void showControls(bool visible) const
    {
        window.lbl1->setVisible(visible);
        window.lst1->setVisible(visible);
        window.cmdStart->setVisible(visible);
    }

    // One pass of the game without its pause: ten draws, the three moves at
    // the boxes' speeds, and a new background on rolls 18, 38 and 58 of 60.
    void pass() const
    {
        std::array<float, 10> d {};
        d[0] = window.draw(60);
        for (int i = 1; i <= 3; ++i)
            d[static_cast<std::size_t>(i)] = window.draw(100);
        for (std::size_t i = 4; i < d.size(); i += 2) {
            d[i] = window.draw(7800);
            d[i + 1] = window.draw(9800);
        }
        window.MoveBox(*window.pct, d[1], d[4], d[5], 0.018);
        window.MoveBox(*window.pct2, d[2], d[6], d[7], 0.035);
        window.MoveBox(*window.pct3, d[3], d[8], d[9], 0.065);
        const int roll = static_cast<int>(d[0]);
        if (roll % 20 == 18)
            window.setBackColor(std::array { Qt::red, Qt::blue, Qt::green }[static_cast<std::size_t>(roll / 20)]);
    }
};
