#pragma once

#include "game/layout.h"

#include <algorithm>
#include <string_view>

// The game's control of the name the rules give it.
inline game::Control named(std::string_view name)
{
    return std::find_if(game::layout::Controls.begin(), game::layout::Controls.end(), [name](const auto& c) {
        return c.name == name;
    })->control;
}
