#pragma once

#include "game/layout.h"

#include <algorithm>
#include <array>
#include <cmath>

// Twips, pixels and the order of the controls, worked out from the layout.
namespace win32ui {

// A twip is 1/1440 inch; a monitor says how many pixels make an inch.
inline constexpr int TwipsPerInch = 1440;
inline constexpr unsigned StandardDpi = 96;

// The nearest pixel, ties to even. Places far outside the window (or not
// finite at all) are held at a range that Windows can still position.
inline int twipsToPixels(float twips, unsigned dpi)
{
    constexpr double limit = 1 << 24;
    const double pixels = std::nearbyint(static_cast<double>(twips) * dpi / TwipsPerInch);
    if (!(pixels > -limit))
        return -static_cast<int>(limit);
    if (!(pixels < limit))
        return static_cast<int>(limit);
    return static_cast<int>(pixels);
}

inline float pixelsToTwips(int pixels, unsigned dpi)
{
    return static_cast<float>(static_cast<double>(pixels) * TwipsPerInch / dpi);
}

// A font's height as CreateFont takes it: negative, so that the character
// itself, not its cell, is that many points tall.
inline int fontHeight(double points, unsigned dpi)
{
    return -static_cast<int>(std::lround(points * dpi / 72));
}

// Win32 keeps one order for two things: the stacking of sibling windows (top
// first) and the way Tab walks between them. The focusable controls go by
// their tab index, and the labels, which never take the focus, lie beneath.
inline std::array<game::Control, 7> zOrder()
{
    std::array<game::layout::ControlLayout, 7> byTab = game::layout::Controls;
    std::stable_sort(byTab.begin(), byTab.end(), [](const auto& a, const auto& b) {
        const bool aLabel = a.kind == game::layout::Kind::Label;
        const bool bLabel = b.kind == game::layout::Kind::Label;
        if (aLabel != bLabel)
            return bLabel;
        return !aLabel && a.tabIndex < b.tabIndex;
    });
    std::array<game::Control, 7> order {};
    std::transform(byTab.begin(), byTab.end(), order.begin(), [](const auto& at) { return at.control; });
    return order;
}

} // namespace win32ui
