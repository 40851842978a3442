#pragma once

#include "support/named.h"
#include "support/probe.h"
#include "support/scripted_platform.h"
#include "window_rules.h"

#include <gtest/gtest.h>
#include <memory>

// A fresh window on a fresh scripted platform for every test. Events reach
// the window through its one way in, as from a front end.
struct GameTest : ::testing::Test {
    ScriptedPlatform platform;
    game::Zorbleck window { platform, std::make_unique<ScriptedRandom>(platform) };
    ZorbleckProbe probe { window };

    void click(game::Control control) { window.pressed(control); }
    void pressStart() { click(game::Control::cmdStart); }
    ScriptedPlatform::ScriptedControl& at(game::Control control) { return platform.at(control); }
};

// A colour as the rules write it.
inline rules::Rgb rgb(game::Color colour)
{
    return { colour.red, colour.green, colour.blue };
}
