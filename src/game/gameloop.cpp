#include "game/int16.h"
#include "game/layout.h"
#include "game/pauses.h"
#include "game/zorbleck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace game {

namespace {

    constexpr double RedSpeed = 0.018;
    constexpr double BlueSpeed = 0.035;
    constexpr double GreenSpeed = 0.065;

    // Each flash is the colour of one box, so that box stands on its own colour
    // while it lasts; the window's green is deliberately one step off the green
    // box's (193 against 192).
    constexpr Color FlashRed { 255, 0, 0 };
    constexpr Color FlashBlue { 0, 0, 255 };
    constexpr Color FlashGreen { 0, 193, 0 };
    constexpr Color IdleBackground { 230, 230, 213 };

    struct Home {
        float top;
        float left;
    };
    // Red deliberately comes home 120 twips right of where the window first
    // shows it (3360), 1200 twips left of blue.
    constexpr Home RedHome { 3240, 3480 };
    constexpr Home BlueHome { 3240, 4680 };
    constexpr Home GreenHome { 3240, 5880 };

    void sendHome(Platform& platform, Control box, Home home)
    {
        platform.setTop(box, home.top);
        platform.setLeft(box, home.left);
    }

} // namespace

std::string Zorbleck::lst1Text()
{
    return platform.text(Control::lst1);
}

// A whole number from 1 to n. In double precision r * n is exact, so every
// r gives the draw the rule says; a float product can round up across a
// whole number (0.13f * 100 makes 13, not 12.9999995) and draw one too many.
float Zorbleck::draw(int n)
{
    return static_cast<float>(std::floor(static_cast<double>(random->next()) * n) + 1);
}

void Zorbleck::cmdStartClick()
{
    const double startTime = platform.clock();

    if (lst1Text().empty()) {
        platform.messageBox("Select a Difficulty", "Zorbleck");
    } else {
        redScore = 0;
        blueScore = 0;
        greenScore = 0;

        while (platform.clock() - startTime < GameLength) {
            ShowElapsed(static_cast<float>(platform.clock() - startTime));

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

            platform.setVisible(Control::lbl1, false);
            platform.setVisible(Control::lst1, false);
            platform.setVisible(Control::cmdStart, false);

            MoveBox(Control::pct, redHeading, redVertical, redHorizontal, RedSpeed);
            MoveBox(Control::pct2, blueHeading, blueVertical, blueHorizontal, BlueSpeed);
            MoveBox(Control::pct3, greenHeading, greenVertical, greenHorizontal, GreenSpeed);

            if (colorRoll == 58)
                platform.setBackColor(FlashRed);
            else if (colorRoll == 38)
                platform.setBackColor(FlashBlue);
            else if (colorRoll == 18)
                platform.setBackColor(FlashGreen);

            // The list is read afresh for each comparison, not once per
            // pass: that is the rule, though nothing can change it mid-pass.
            const auto pause = std::find_if(
                Pauses.begin(), Pauses.end(), [this](const Pause& p) { return lst1Text() == p.difficulty; });
            if (pause != Pauses.end())
                TimeOut(pause->seconds);
            // The player closed the window: the game ends with it, silently.
            if (windowClosed)
                return;
        }
    }

    sendHome(platform, Control::pct, RedHome);
    sendHome(platform, Control::pct2, BlueHome);
    sendHome(platform, Control::pct3, GreenHome);
    platform.setCaption(Control::lblTimer, " ");
    platform.setVisible(Control::lbl1, true);
    platform.setCaption(Control::lbl1, " ");
    platform.setVisible(Control::lst1, true);
    platform.setVisible(Control::cmdStart, true);
    platform.setBackColor(IdleBackground);

    const std::int16_t total = total16(blueScore, redScore, greenScore);
    platform.messageBox("Red: " + std::to_string(redScore) + " points   Blue: " + std::to_string(blueScore)
            + " points   Green: " + std::to_string(greenScore) + " points   Total: " + std::to_string(total)
            + " points.",
        {});

    ShowVerdict();

    redScore = 0;
    blueScore = 0;
    greenScore = 0;
}

} // namespace game
