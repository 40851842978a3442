#pragma once

#include "game/platform.h"
#include "game/random_source.h"

#include <QWidget>

#include <chrono>

class QLabel;
class QListWidget;
class QPushButton;
class Zorbleck;

namespace qtui {

class ColorBox;

// The game's window on Qt Widgets: the seven controls as widgets, and every
// service the game asks of its platform. It holds no rule of the game; its
// events go to the game's handlers.
class QtWindow : public QWidget, public game::Platform {
    Q_OBJECT

public:
    QtWindow();

    // Sends the five events that have a handler to the game. Once, first.
    void attach(Zorbleck& game);
    // Runs the load handler; call once, before the window is first shown.
    void load();

    float outerWidth() override;
    float outerHeight() override;
    void setBackColor(game::Color color) override;
    float top(game::Control control) override;
    float left(game::Control control) override;
    float width(game::Control control) override;
    float height(game::Control control) override;
    void setTop(game::Control control, float twips) override;
    void setLeft(game::Control control, float twips) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void seedRandom() override;
    float random() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

    QWidget* widget(game::Control control) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    template <typename Handler>
    void handle(Handler handler);

    Zorbleck* m_game = nullptr;

    ColorBox* pct;
    ColorBox* pct3;
    ColorBox* pct2;
    QListWidget* lst1;
    QPushButton* cmdStart;
    QLabel* lblTimer;
    QLabel* lbl1;

    const std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    game::RandomSource m_random;
};

} // namespace qtui
