#pragma once

#include "game/platform.h"

#include <cstdio>
#include <exception>

namespace game {

// Tells the player, in an untitled box, what stopped a handler. Never throws:
// with no box to be had, it goes to the standard error, and the window goes on.
inline void reportError(Platform& platform, const char* what) noexcept
{
    try {
        platform.messageBox(what, {});
    } catch (...) {
        std::fprintf(stderr, "zorbleck: %s\n", what);
    }
}

// How a handler runs: an error that ends it is told to the player and the
// window goes on. Nothing leaves it, since no toolkit expects an exception
// to cross its frames.
template <typename Handler>
void deliver(Platform& platform, Handler&& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& error) {
        reportError(platform, error.what());
    } catch (...) {
        reportError(platform, "An unexpected error stopped the last action.");
    }
}

} // namespace game
