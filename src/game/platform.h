#pragma once

#include <cstdint>
#include <string>

namespace game {

// The window's seven controls, in the order the window creates them: the red,
// green and blue boxes, the difficulty list, Start, the elapsed seconds and
// the verdict.
enum class Control { pct, pct3, pct2, lst1, cmdStart, lblTimer, lbl1 };

// Red, green and blue, 0 to 255 each.
struct Color {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    friend bool operator==(Color, Color) = default;
};

// Everything the game needs from the platform it runs on: its window and
// controls, time, modal boxes and event delivery. Each front end implements
// it; the game's tests script it.
//
// Places and sizes are in twips, text is UTF-8. Every call goes to the
// platform afresh: the game caches nothing. Any call may throw, and the
// error ends the running handler.
class Platform {
public:
    virtual ~Platform() = default;

    // The window's outer size, frame and title bar included, as the platform
    // reports it.
    virtual float outerWidth() = 0;
    virtual float outerHeight() = 0;
    virtual void setBackColor(Color color) = 0;

    virtual float top(Control control) = 0;
    virtual float left(Control control) = 0;
    virtual float width(Control control) = 0;
    virtual float height(Control control) = 0;
    virtual void setTop(Control control, float twips) = 0;
    virtual void setLeft(Control control, float twips) = 0;
    virtual bool visible(Control control) = 0;
    virtual void setVisible(Control control, bool visible) = 0;
    virtual void setCaption(Control control, const std::string& text) = 0;
    // The list's selected entry; empty while none is selected.
    virtual std::string text(Control control) = 0;

    // Seconds on a monotonic clock: never jumps, never restarts at midnight.
    virtual double clock() = 0;

    // Modal box with one OK button and no icon; an empty title means the
    // application's name. Returns when the player has closed it.
    virtual void messageBox(const std::string& prompt, const std::string& title) = 0;

    // Hands all pending events of the window to their handlers and returns.
    virtual void pumpEvents() = 0;
};

} // namespace game
