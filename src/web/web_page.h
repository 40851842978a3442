#pragma once

#include "game/places.h"
#include "game/zorbleck.h"

namespace webui {

// The game's window as a page: the seven controls are HTML elements built
// from the window's layout, and every service the game asks of its platform
// is a JavaScript import (imports.js) over the page (page.js). It owns its
// game and holds no rule of it: the player's presses and the page going away
// go to the game.
class WebPage final : public game::PlacedPlatform {
public:
    WebPage();

    // Tells the game its window is loaded, shows it with the focus on Start,
    // then waits for each event and hands it to its handler. Never returns;
    // the page ends it.
    [[noreturn]] void run();

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

private:
    void moveControl(game::Control control) override;
    void dispatch(int event);

    // Last: it is told of events only once the page is built.
    game::Zorbleck game;
};

} // namespace webui
