#include "game/layout.h"
#include "game/places.h"
#include "game/twips.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

using game::Control;
using game::pixelsToTwips;
using game::twipsToPixels;
namespace layout = game::layout;

// Every front end places the window by these: at 96 dpi each value of the
// layout is a whole pixel and comes back without a twip lost; elsewhere the
// nearest pixel, a half to the even one.
TEST(Twips, theLayoutLandsOnWholePixelsAndTiesGoToEven)
{
    EXPECT_EQ(twipsToPixels(layout::ClientWidth), 659);
    EXPECT_EQ(twipsToPixels(layout::ClientHeight), 569);
    for (const auto& at : layout::Controls)
        for (int twips : { at.left, at.top, at.width, at.height })
            EXPECT_EQ(pixelsToTwips(twipsToPixels(float(twips))), float(twips)) << at.name << " " << twips;

    EXPECT_EQ((std::array { twipsToPixels(layout::ClientWidth, 144), twipsToPixels(layout::ClientHeight, 144) }),
        (std::array { 988, 854 })); // 988.5 and 853.5
    EXPECT_EQ(
        (std::array { twipsToPixels(37.5f), twipsToPixels(22.4f), twipsToPixels(-22.6f) }), (std::array { 2, 1, -2 }));
    EXPECT_EQ(pixelsToTwips(61, 120), 732.0f);

    // A box thrown far off, or to no number at all, still gets a place that
    // every platform can lay out.
    const int limit = 1 << 24;
    EXPECT_EQ((std::array { twipsToPixels(1e30f), twipsToPixels(std::numeric_limits<float>::infinity()),
                  twipsToPixels(-1e30f), twipsToPixels(std::numeric_limits<float>::quiet_NaN()) }),
        (std::array { limit, limit, -limit, -limit }));
}

// A control starts where the layout puts it and keeps the fractions it is
// given, shown at the nearest pixel of the DPI asked for.
TEST(Twips, aControlKeepsTheTwipsItWasGiven)
{
    game::ControlPlaces places;
    EXPECT_EQ(places.left(Control::pct), 3360.0f);
    places.setLeft(Control::pct, 3367.9f);
    places.setTop(Control::pct, -22.6f);
    EXPECT_EQ((std::array { places.left(Control::pct), places.top(Control::pct) }), (std::array { 3367.9f, -22.6f }));
    EXPECT_EQ((std::array {
                  places.pixelLeft(Control::pct), places.pixelLeft(Control::pct, 144), places.pixelTop(Control::pct) }),
        (std::array { 225, 337, -2 }));
}

// Tab goes Start, list, blue, green, red; the labels never take the focus
// and, where one order also stacks the controls, lie beneath.
TEST(Layout, tabOrderFollowsTheTabIndexWithTheLabelsLast)
{
    EXPECT_EQ(layout::tabOrder(),
        (std::array { Control::cmdStart, Control::lst1, Control::pct2, Control::pct3, Control::pct, Control::lbl1,
            Control::lblTimer }));
}
