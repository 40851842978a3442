#pragma once

#include "game/layout.h"
#include "game/platform.h"
#include "game/twips.h"

#include <array>
#include <cstddef>

namespace game {

// Where a front end's seven controls stand, in twips as the game last wrote
// them, from their places in the layout on. A control keeps the fractions of
// a pixel it was given, so that small steps add up as the game meant them;
// it is shown at the nearest pixel at any DPI, and a box far outside the
// window at the limit twipsToPixels holds it to.
class ControlPlaces {
public:
    ControlPlaces()
    {
        for (const layout::ControlLayout& control : layout::Controls)
            at(control.control) = { static_cast<float>(control.left), static_cast<float>(control.top) };
    }

    float left(Control control) const { return at(control).left; }
    float top(Control control) const { return at(control).top; }
    void setLeft(Control control, float twips) { at(control).left = twips; }
    void setTop(Control control, float twips) { at(control).top = twips; }

    int pixelLeft(Control control, unsigned dpi = StandardDpi) const { return twipsToPixels(left(control), dpi); }
    int pixelTop(Control control, unsigned dpi = StandardDpi) const { return twipsToPixels(top(control), dpi); }

private:
    struct Twips {
        float left;
        float top;
    };

    static std::size_t indexOf(Control control) { return static_cast<std::size_t>(control); }
    Twips& at(Control control) { return places.at(indexOf(control)); }
    const Twips& at(Control control) const { return places.at(indexOf(control)); }

    std::array<Twips, layout::Controls.size()> places {};
};

// A platform whose controls keep their places in twips: the game's reads of a
// place come from there, and the front end only shows a moved control at its
// place.
class PlacedPlatform : public Platform {
public:
    float top(Control control) final { return places.top(control); }
    float left(Control control) final { return places.left(control); }

    void setTop(Control control, float twips) final
    {
        places.setTop(control, twips);
        moveControl(control);
    }

    void setLeft(Control control, float twips) final
    {
        places.setLeft(control, twips);
        moveControl(control);
    }

protected:
    virtual void moveControl(Control control) = 0;

    ControlPlaces places;
};

} // namespace game
