#include "window/zorbleck.h"

#include "game/int16.h"
#include "platform/colorbox.h"
#include "platform/runtime.h"

#include <QColor>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <array>
#include <cmath>

namespace {

constexpr double GameLength = 46;

struct Pause {
    const char* difficulty;
    double seconds;
};
constexpr std::array<Pause, 3> Pauses { { { "Slow", 0.3 }, { "Average", 0.13 }, { "Impossible", 0.035 } } };

constexpr double RedSpeed = 0.018;
constexpr double BlueSpeed = 0.035;
constexpr double GreenSpeed = 0.065;

// The window's own green is one step off the green box's (192).
const QColor FlashRed(255, 0, 0);
const QColor FlashBlue(0, 0, 255);
const QColor FlashGreen(0, 193, 0);
const QColor IdleBackground(230, 230, 213);

struct Home {
    float top;
    float left;
};
// Red comes home 120 twips right of where the window first shows it.
constexpr Home RedHome { 3240, 3480 };
constexpr Home BlueHome { 3240, 4680 };
constexpr Home GreenHome { 3240, 5880 };

void sendHome(platform::ColorBox& box, Home home)
{
    box.setTopTwips(home.top);
    box.setLeftTwips(home.left);
}

} // namespace

// A whole number from 1 to n. In double precision r * n is exact, so every
// r gives the draw the rule says; a float product can round up across a
// whole number (0.13f * 100 makes 13, not 12.9999995) and draw one too many.
float Zorbleck::draw(int n)
{
    return static_cast<float>(std::floor(static_cast<double>(runtime.random()) * n) + 1);
}

void Zorbleck::cmdStartClick()
{
    const double startTime = runtime.clock();

    if (lst1Text().isEmpty()) {
        runtime.messageBox(this, QStringLiteral("Select a Difficulty"), QStringLiteral("Zorbleck"));
    } else {
        redScore = 0;
        blueScore = 0;
        greenScore = 0;

        while (runtime.clock() - startTime < GameLength) {
            ShowElapsed(static_cast<float>(runtime.clock() - startTime));

            const float colorRoll = draw(60);
            const float redHeading = draw(100);
            const float blueHeading = draw(100);
            const float greenHeading = draw(100);
            const float redVertical = draw(7800);
            const float redHorizontal = draw(9800);
            const float blueVertical = draw(7800);
            const float blueHorizontal = draw(9800);
            const float greenVertical = draw(7800);
            const float greenHorizontal = draw(9800);

            lbl1->setVisible(false);
            lst1->setVisible(false);
            cmdStart->setVisible(false);

            MoveBox(*pct, redHeading, redVertical, redHorizontal, RedSpeed);
            MoveBox(*pct2, blueHeading, blueVertical, blueHorizontal, BlueSpeed);
            MoveBox(*pct3, greenHeading, greenVertical, greenHorizontal, GreenSpeed);

            if (colorRoll == 58)
                setBackColor(FlashRed);
            else if (colorRoll == 38)
                setBackColor(FlashBlue);
            else if (colorRoll == 18)
                setBackColor(FlashGreen);

            for (const Pause& pause : Pauses) {
                if (lst1Text() == QLatin1String(pause.difficulty)) {
                    TimeOut(pause.seconds);
                    break;
                }
            }
            // The player closed the window: the game ends with it, silently.
            if (closed)
                return;
        }
    }

    sendHome(*pct, RedHome);
    sendHome(*pct2, BlueHome);
    sendHome(*pct3, GreenHome);
    lblTimer->setText(QStringLiteral(" "));
    lbl1->setVisible(true);
    lbl1->setText(QStringLiteral(" "));
    lst1->setVisible(true);
    cmdStart->setVisible(true);
    setBackColor(IdleBackground);

    const std::int16_t total = total16(blueScore, redScore, greenScore);
    runtime.messageBox(this,
        QStringLiteral("Red: %1 points   Blue: %2 points   Green: %3 points   Total: %4 points.")
            .arg(redScore)
            .arg(blueScore)
            .arg(greenScore)
            .arg(total),
        QString());

    ShowVerdict();

    redScore = 0;
    blueScore = 0;
    greenScore = 0;
}
