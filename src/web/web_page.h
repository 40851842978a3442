#pragma once

#include "game/platform.h"
#include "game/zorbleck.h"

namespace webui {

// What reaches the page's event queue: a click on a control, given by its
// place in the window's creation order, or the page going away.
inline constexpr int PageClosing = 100;

// The game's window as a page: the seven controls are HTML elements built
// from the window's layout, and every service the game asks of its platform
// is a small JavaScript import (page.js). It owns its game and holds no rule
// of it: the player's presses and the page going away go to the game.
class WebPage final : public game::Platform {
public:
    WebPage();

    // Tells the game its window is loaded, then shows it with the focus on Start.
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
    bool visible(game::Control control) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

private:
    void dispatch(int event);

    // Last: it is told of events only once the page is built.
    game::Zorbleck game;
};

} // namespace webui
