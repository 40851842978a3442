#include "game/deliver.h"
#include "game/zorbleck.h"

#include <algorithm>
#include <array>

namespace game {

namespace {

    // The clicks that have a handler (the load is the fifth event); a press
    // of any other control does nothing.
    struct Wiring {
        Control control;
        // cppcheck-suppress unusedStructMember ; called through find_if below
        void (Zorbleck::*click)();
    };

} // namespace

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
    const auto* wired
        = std::find_if(Clicks.begin(), Clicks.end(), [control](const Wiring& w) { return w.control == control; });
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
