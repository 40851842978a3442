#pragma once

#include <cmath>
#include <limits>

namespace qtui {

// The layout is in twips; one logical pixel is 15 of them.
inline constexpr int TwipsPerPixel = 15;

inline constexpr float pixelsToTwips(int pixels)
{
    return static_cast<float>(pixels * TwipsPerPixel);
}

// The nearest logical pixel, ties to even. Positions far outside the window
// (or not finite at all) are held at a range Qt can still place.
inline int twipsToPixels(float twips)
{
    constexpr double limit = 1 << 24;
    const double pixels = std::nearbyint(static_cast<double>(twips) / TwipsPerPixel);
    if (!(pixels > -limit))
        return -static_cast<int>(limit);
    if (!(pixels < limit))
        return static_cast<int>(limit);
    return static_cast<int>(pixels);
}

} // namespace qtui
