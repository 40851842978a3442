#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class QListWidget;
class QPushButton;

namespace platform {
class ColorBox;
class Runtime;
}

// The game window: its controls, the three score counters, the handlers of
// its five events and the routines of the game.
class Zorbleck final : public QWidget {
    Q_OBJECT

public:
    explicit Zorbleck(platform::Runtime& rt, QWidget* parent = nullptr);

    // Runs the load handler; call once, before the window is first shown.
    void load();

    void TimeOut(double duration);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Handlers (window/zorbleck.cpp, game/gameloop.cpp, game/scoring.cpp).
    void zorbleckLoad();
    void cmdStartClick();
    void pctClick();
    void pct2Click();
    void pct3Click();

    // Routines (game/).
    void MoveBox(platform::ColorBox& box, float heading, float vertical, float horizontal, double speed);
    void ShowElapsed(float elapsed);
    void ShowVerdict();

    template <typename Handler>
    void handle(Handler handler);
    QString lst1Text() const;
    float draw(int n);
    void setBackColor(const QColor& color);
    void verticalEdgeRule(platform::ColorBox& box);
    void horizontalEdgeRule(platform::ColorBox& box);

    platform::Runtime& runtime;

    platform::ColorBox* pct;
    platform::ColorBox* pct3;
    platform::ColorBox* pct2;
    QListWidget* lst1;
    QPushButton* cmdStart;
    QLabel* lblTimer;
    QLabel* lbl1;

    std::int16_t redScore = 0;
    std::int16_t blueScore = 0;
    std::int16_t greenScore = 0;

    // Set when the player closes the window; a running game ends with it.
    bool closed = false;

    friend struct ZorbleckProbe;
};
