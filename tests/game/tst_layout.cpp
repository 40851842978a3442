#include "game/layout.h"
#include "game/twips.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

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

    EXPECT_EQ(twipsToPixels(layout::ClientWidth, 144), 988); // 988.5
    EXPECT_EQ(twipsToPixels(layout::ClientHeight, 144), 854); // 853.5
    EXPECT_EQ(twipsToPixels(layout::ClientWidth, 120), 824);
    EXPECT_EQ(twipsToPixels(37.5f), 2);
    EXPECT_EQ(twipsToPixels(22.4f), 1);
    EXPECT_EQ(twipsToPixels(-22.6f), -2);
    EXPECT_EQ(pixelsToTwips(61, 120), 732.0f);
}

// A box thrown far off, or to no number at all, still gets a place that
// every platform can lay out.
TEST(Twips, farOffPlacesAreHeld)
{
    const int limit = 1 << 24;
    EXPECT_EQ(twipsToPixels(1e30f), limit);
    EXPECT_EQ(twipsToPixels(-1e30f), -limit);
    EXPECT_EQ(twipsToPixels(std::numeric_limits<float>::infinity()), limit);
    EXPECT_EQ(twipsToPixels(std::numeric_limits<float>::quiet_NaN()), -limit);
}

// Tab goes Start, list, blue, green, red; the labels never take the focus
// and, where one order also stacks the controls, lie beneath.
TEST(Layout, tabOrderFollowsTheTabIndexWithTheLabelsLast)
{
    const auto order = layout::tabOrder();
    EXPECT_EQ(std::vector<Control>(order.begin(), order.end()),
        (std::vector { Control::cmdStart, Control::lst1, Control::pct2, Control::pct3, Control::pct, Control::lbl1,
            Control::lblTimer }));
}
