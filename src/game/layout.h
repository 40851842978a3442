#pragma once

#include "game/platform.h"

#include <algorithm>
#include <array>

// The window as it opens: what every front end builds, in twips. Nothing here
// changes while the program runs except where the game's handlers say so.
namespace game::layout {

inline constexpr const char* Caption = "Vemmo's Zorbleck!";
// The title of a message box that has none of its own (the summary), and the
// program's name wherever the platform asks for one.
inline constexpr const char* ApplicationName = "Zorbleck";
inline constexpr int ClientWidth = 9885;
inline constexpr int ClientHeight = 8535;

enum class Kind { Box, List, Button, Label };

// A size of 0 points means the platform's default user-interface font.
struct Font {
    const char* face;
    double points;
};
inline constexpr Font DefaultFont {};

struct ControlLayout {
    Control control;
    const char* name;
    Kind kind;
    int left;
    int top;
    int width;
    int height;
    // Labels never take the focus; the rest follow this order.
    int tabIndex;
    Color color; // a box's fill
    Font font;
    // What a screen reader says of the control: name and description.
    const char* accessibleName;
    const char* description;
};

// In the order the window creates them; later ones lie above earlier ones,
// but the labels lie beneath every other control.
inline constexpr std::array<ControlLayout, 7> Controls { {
    { Control::pct, "pct", Kind::Box, 3360, 3240, 735, 615, 6, { 255, 0, 0 }, DefaultFont, "Red box",
        "1 point per click" },
    { Control::pct3, "pct3", Kind::Box, 5880, 3240, 735, 615, 3, { 0, 192, 0 }, DefaultFont, "Green box",
        "4 points per click" },
    { Control::pct2, "pct2", Kind::Box, 4680, 3240, 735, 615, 2, { 0, 0, 255 }, DefaultFont, "Blue box",
        "3 points per click" },
    { Control::lst1, "lst1", Kind::List, 1800, 240, 1575, 1140, 1, {}, { "MS Sans Serif", 13.5 }, "Difficulty", "" },
    { Control::cmdStart, "cmdStart", Kind::Button, 240, 600, 1455, 495, 0, {}, DefaultFont, "Start", "" },
    { Control::lblTimer, "lblTimer", Kind::Label, 9120, 120, 615, 495, 5, {}, { "Cataneo BT", 15.75 }, "",
        "Elapsed seconds" },
    { Control::lbl1, "lbl1", Kind::Label, 240, 1440, 3975, 615, 4, {}, { "Cataneo BT", 12 }, "", "Verdict" },
} };

constexpr const ControlLayout& of(Control control)
{
    return *std::find_if(
        Controls.begin(), Controls.end(), [control](const ControlLayout& c) { return c.control == control; });
}

// Focus moves by tab index; the labels never take it. Where one order serves
// both Tab and stacking (Win32), the labels follow and so lie beneath.
constexpr std::array<Control, 7> tabOrder()
{
    const auto label = [](const ControlLayout& c) { return c.kind == Kind::Label; };
    std::array<Control, 7> order {};
    for (const ControlLayout& at : Controls) {
        // Ahead of it: those of its own sort with a smaller tab index, and
        // ahead of a label every control that takes the focus.
        const auto ahead = std::count_if(Controls.begin(), Controls.end(), [&](const ControlLayout& other) {
            return label(other) == label(at) ? other.tabIndex < at.tabIndex : !label(other);
        });
        order.at(static_cast<std::size_t>(ahead)) = at.control;
    }
    return order;
}

inline constexpr const char* StartCaption = "Start";
inline constexpr const char* Slow = "Slow";
inline constexpr const char* Average = "Average";
inline constexpr const char* Impossible = "Impossible";
// Shown in this order, unsorted; none is selected when the window opens.
inline constexpr std::array<const char*, 3> Difficulties { Slow, Average, Impossible };

} // namespace game::layout
