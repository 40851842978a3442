#pragma once

#include "game/places.h"
#include "game/random_source.h"
#include "game/zorbleck.h"

#include <QWidget>

#include <chrono>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;

namespace qtui {

class ColorBox;

// The game's window on Qt Widgets: the seven controls as widgets, and every
// service the game asks of its platform. It owns its game and holds no rule
// of it: the player's presses and the closing go to the game as they come.
class QtWindow : public QWidget, public game::PlacedPlatform {
    Q_OBJECT

public:
    explicit QtWindow(std::unique_ptr<game::RandomSource> chance = std::make_unique<game::RandomSource>());

    // Tells the game its window is loaded; call once, before it first shows.
    void load();
    game::Zorbleck& zorbleck() { return game; }

    float outerWidth() override;
    float outerHeight() override;
    void setBackColor(game::Color color) override;
    float width(game::Control control) override;
    float height(game::Control control) override;
    bool visible(game::Control control) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

    QWidget* widget(game::Control control) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveControl(game::Control control) override;

private:
    ColorBox* pct;
    ColorBox* pct3;
    ColorBox* pct2;
    QListWidget* lst1;
    QPushButton* cmdStart;
    QLabel* lblTimer;
    QLabel* lbl1;

    const std::chrono::steady_clock::time_point epoch = std::chrono::steady_clock::now();
    // Last: it is told of events only once every control exists.
    game::Zorbleck game;
};

} // namespace qtui
