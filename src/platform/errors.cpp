#include "platform/errors.h"

#include "platform/runtime.h"

#include <QString>

namespace platform {

namespace {

    void report(Runtime& runtime, QWidget* window, const char* text) noexcept
    {
        try {
            // Untitled: the box takes the program's name.
            runtime.messageBox(window, QString::fromUtf8(text), QString());
        } catch (...) {
            // Nothing is left to tell the player with; the window goes on.
        }
    }

} // namespace

void reportError(Runtime& runtime, QWidget* window, const std::exception& error) noexcept
{
    report(runtime, window, error.what());
}

void reportUnknownError(Runtime& runtime, QWidget* window) noexcept
{
    report(runtime, window, "An unexpected error stopped the last action.");
}

} // namespace platform
