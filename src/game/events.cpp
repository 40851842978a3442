#include "game/deliver.h"
#include "game/zorbleck.h"

#include <algorithm>
#include <array>

namespace game {

namespace {

    // The five events that have a handler; every other press does nothing.
    struct Wiring {
        Control control;
        void (Zorbleck::*click)();
    };

} // namespace

void reportError(Platform& platform, const char* what) noexcept
{
    try {
        platform.messageBox(what, {});
    } catch (...) {
        // Nothing is left to tell the player with; the window goes on.
    }
}

void Zorbleck::loaded()
{
    deliver(platform, [this] { zorbleckLoad(); });
}

void Zorbleck::pressed(Control control)
{
    static constexpr std::array<Wiring, 4> Clicks { {
        { Control::cmdStart, &Zorbleck::cmdStartClick },
        { Control::pct, &Zorbleck::pctClick },
        { Control::pct2, &Zorbleck::pct2Click },
        { Control::pct3, &Zorbleck::pct3Click },
    } };
    const auto* wired = std::find_if(Clicks.begin(), Clicks.end(), [control](const Wiring& w) { return w.control == control; });
    if (wired == Clicks.end())
        return;
    deliver(platform, [this, control, wired] {
        // Start hides while a game runs; a press queued before it hid, or a
        // key on the button that kept the focus, starts nothing.
        if (platform.visible(control))
            (this->*wired->click)();
    });
}

void Zorbleck::closed()
{
    windowClosed = true;
}

} // namespace game
