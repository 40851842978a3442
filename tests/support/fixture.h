#pragma once

#include "game/deliver.h"
#include "support/probe.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

// A fresh window on a fresh scripted platform for every test. Events reach
// the window as a front end delivers them.
struct GameTest : ::testing::Test {
    ScriptedPlatform platform;
    Zorbleck window { platform };
    ZorbleckProbe probe { window };

    template <typename Handler>
    void deliver(Handler handler)
    {
        game::deliver(platform, [&] { (window.*handler)(); });
    }
    // A player's click on a control: the Click handler, where one is wired.
    void click(game::Control control)
    {
        switch (control) {
        case game::Control::pct:
            return deliver(&Zorbleck::pctClick);
        case game::Control::pct2:
            return deliver(&Zorbleck::pct2Click);
        case game::Control::pct3:
            return deliver(&Zorbleck::pct3Click);
        case game::Control::cmdStart:
            return deliver(&Zorbleck::cmdStartClick);
        default:
            return;
        }
    }
    void pressStart() { click(game::Control::cmdStart); }
    ScriptedPlatform::Place& at(game::Control control) { return platform.at(control); }
};
