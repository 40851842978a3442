#pragma once

#include "game/platform.h"
#include "game/random_source.h"

class Zorbleck;

namespace web {

// What reaches the page's event queue: a click on a control, given by its
// place in the window's creation order, or the page going away.
inline constexpr int PageClosing = 100;

// The game's window as a page: the seven controls are HTML elements built
// from the window's layout, and every service the game asks of its platform
// is a small JavaScript import (page.js). It holds no rule of the game; its
// events go to the game's handlers.
class WebPage final : public game::Platform {
public:
    WebPage();

    // Sends the events that have a handler to the game. Once, first.
    void attach(Zorbleck& game);
    // Runs the load handler, then shows the window with the focus on Start.
    void load();
    // The page's event loop: waits for each event and hands it to its
    // handler. Never returns; the page ends it.
    [[noreturn]] void run();

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

private:
    void dispatch(int event);

    Zorbleck* m_game = nullptr;
    game::RandomSource m_random;
};

} // namespace web
