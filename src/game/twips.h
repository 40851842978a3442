#pragma once

#include <algorithm>
#include <cmath>

// The game works in twips; a screen in pixels. A twip is 1/1440 inch, and a
// screen of 96 dots per inch makes 15 twips a pixel.
namespace game {

inline constexpr int TwipsPerInch = 1440;
inline constexpr unsigned StandardDpi = 96;

// A box can wander far outside the window, and a float can be anything:
// such places are held at a range every platform can still lay out.
inline constexpr double PixelLimit = 1 << 24;

// The nearest pixel, ties to even.
inline int twipsToPixels(float twips, unsigned dpi = StandardDpi)
{
    const double pixels = std::nearbyint(static_cast<double>(twips) * dpi / TwipsPerInch);
    return static_cast<int>(std::isnan(pixels) ? -PixelLimit : std::clamp(pixels, -PixelLimit, PixelLimit));
}

inline float pixelsToTwips(double pixels, unsigned dpi = StandardDpi)
{
    return static_cast<float>(pixels * TwipsPerInch / dpi);
}

} // namespace game
