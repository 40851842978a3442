#pragma once

#include <exception>

class QWidget;

namespace platform {

class Runtime;

void reportError(Runtime& runtime, QWidget* window, const std::exception& error) noexcept;
void reportUnknownError(Runtime& runtime, QWidget* window) noexcept;

// The one place where an error that ends a handler is caught: the player is
// told in a modal box and the window goes on. Nothing leaves a handler, since
// Qt does not expect an exception to cross its frames.
template <typename Body>
void guarded(Runtime& runtime, QWidget* window, Body&& body) noexcept
{
    try {
        body();
    } catch (const std::exception& error) {
        reportError(runtime, window, error);
    } catch (...) {
        reportUnknownError(runtime, window);
    }
}

} // namespace platform
