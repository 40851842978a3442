#include "web/web_page.h"

#include "game/layout.h"
#include "game/twips.h"

#include <emscripten/em_js.h>
#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace layout = game::layout;
using game::Control;

// The page's side of every call lives in page.js (the object Zb); these
// imports only pass numbers and strings across. A failure in the page comes
// back as a C++ error (zb_fail below) and ends the running handler.

// clang-format off
EM_JS(void, zb_build_window, (const char* caption, int width, int height), {
    Zb.guard(() => Zb.buildWindow(UTF8ToString(caption), width, height));
});
EM_JS(void, zb_add_control, (int id, int kind, const char* name, int width, int height, int tabIndex, int red,
    int green, int blue, const char* face, double points, const char* accessibleName, const char* description), {
    Zb.guard(() => Zb.addControl(id, kind, UTF8ToString(name), width, height, tabIndex, [red, green, blue],
        face ? UTF8ToString(face) : "", points, UTF8ToString(accessibleName), UTF8ToString(description)));
});
EM_JS(void, zb_add_entry, (int id, const char* text), {
    Zb.guard(() => Zb.addEntry(id, UTF8ToString(text)));
});
EM_JS(void, zb_show_window, (), { Zb.guard(() => Zb.showWindow()); });
EM_JS(double, zb_outer, (int vertical), { return Zb.guard(() => Zb.outer(vertical)); });
EM_JS(void, zb_set_back_color, (int red, int green, int blue), {
    Zb.guard(() => Zb.setBackColor(red, green, blue));
});
EM_JS(double, zb_place, (int id, int vertical), { return Zb.guard(() => Zb.place(id, vertical)); });
EM_JS(void, zb_set_place, (int id, int vertical, double twips, double pixels), {
    Zb.guard(() => Zb.setPlace(id, vertical, twips, pixels));
});
EM_JS(double, zb_size, (int id, int vertical), { return Zb.guard(() => Zb.size(id, vertical)); });
EM_JS(void, zb_set_visible, (int id, int visible), { Zb.guard(() => Zb.setVisible(id, visible)); });
EM_JS(int, zb_is_shown, (int id), { return Zb.guard(() => Zb.isShown(id)); });
EM_JS(void, zb_set_caption, (int id, const char* text), {
    Zb.guard(() => Zb.setCaption(id, UTF8ToString(text)));
});
EM_JS(char*, zb_text, (int id), { return Zb.guard(() => Zb.cString(Zb.text(id))); });
EM_JS(double, zb_clock, (), { return Zb.clock(); });
EM_JS(int, zb_take_event, (), { return Zb.takeEvent(); });

// The three that wait: the page's own event loop, a dialog, and the pause's
// yield. Asyncify unwinds the wasm stack at each and rewinds it after.
EM_ASYNC_JS(int, zb_next_event, (), { return await Zb.nextEvent(); });
EM_ASYNC_JS(char*, zb_message_box, (const char* prompt, const char* title), {
    return await Zb.failureOf(() => Zb.messageBox(UTF8ToString(prompt), UTF8ToString(title)));
});
EM_ASYNC_JS(void, zb_yield, (), { await Zb.yieldToBrowser(); });
// clang-format on

// Called by the page when one of its calls failed: the error ends the
// running handler like any other.
extern "C" [[noreturn]] EMSCRIPTEN_KEEPALIVE void zb_fail(char* what)
{
    const std::unique_ptr<char, decltype(&std::free)> owned(what, &std::free);
    throw std::runtime_error(owned.get());
}

namespace webui {

namespace {

    int id(Control control)
    {
        return static_cast<int>(control);
    }

    // CSS pixels: 96 to the inch.
    int pixels(int twips)
    {
        return game::twipsToPixels(static_cast<float>(twips));
    }

} // namespace

WebPage::WebPage()
    : game(*this)
{
    zb_build_window(layout::Caption, pixels(layout::ClientWidth), pixels(layout::ClientHeight));
    // In creation order: the page stacks later elements above earlier ones,
    // and its style sheet puts the labels beneath them all.
    for (const layout::ControlLayout& at : layout::Controls) {
        zb_add_control(id(at.control), static_cast<int>(at.kind), at.name, pixels(at.width), pixels(at.height),
            at.tabIndex, at.color.red, at.color.green, at.color.blue, at.font.face, at.font.points, at.accessibleName,
            at.description);
        setLeft(at.control, static_cast<float>(at.left));
        setTop(at.control, static_cast<float>(at.top));
    }
    for (const char* entry : layout::Difficulties)
        zb_add_entry(id(Control::lst1), entry);
    zb_set_caption(id(Control::cmdStart), layout::StartCaption);
}

void WebPage::load()
{
    game.loaded();
    zb_show_window();
}

void WebPage::run()
{
    for (;;)
        dispatch(zb_next_event());
}

void WebPage::dispatch(int event)
{
    if (event == PageClosing)
        game.closed();
    else if (event >= 0 && event < static_cast<int>(layout::Controls.size()))
        game.pressed(static_cast<Control>(event));
}

float WebPage::outerWidth()
{
    return game::pixelsToTwips(zb_outer(0));
}

float WebPage::outerHeight()
{
    return game::pixelsToTwips(zb_outer(1));
}

void WebPage::setBackColor(game::Color color)
{
    zb_set_back_color(color.red, color.green, color.blue);
}

// A control keeps its place in twips as written, fractions included; the
// page shows it at the nearest pixel.
float WebPage::top(Control control)
{
    return static_cast<float>(zb_place(id(control), 1));
}

float WebPage::left(Control control)
{
    return static_cast<float>(zb_place(id(control), 0));
}

float WebPage::width(Control control)
{
    return game::pixelsToTwips(zb_size(id(control), 0));
}

float WebPage::height(Control control)
{
    return game::pixelsToTwips(zb_size(id(control), 1));
}

void WebPage::setTop(Control control, float twips)
{
    zb_set_place(id(control), 1, static_cast<double>(twips), game::twipsToPixels(twips));
}

void WebPage::setLeft(Control control, float twips)
{
    zb_set_place(id(control), 0, static_cast<double>(twips), game::twipsToPixels(twips));
}

bool WebPage::visible(Control control)
{
    return zb_is_shown(id(control)) != 0;
}

void WebPage::setVisible(Control control, bool visible)
{
    zb_set_visible(id(control), visible ? 1 : 0);
}

void WebPage::setCaption(Control control, const std::string& text)
{
    zb_set_caption(id(control), text.c_str());
}

std::string WebPage::text(Control control)
{
    const std::unique_ptr<char, decltype(&std::free)> value(zb_text(id(control)), &std::free);
    return value ? std::string(value.get()) : std::string();
}

double WebPage::clock()
{
    return zb_clock();
}

void WebPage::messageBox(const std::string& prompt, const std::string& title)
{
    const char* shown = title.empty() ? layout::ApplicationName : title.c_str();
    if (char* failure = zb_message_box(prompt.c_str(), shown))
        zb_fail(failure);
}

// The pause's yield: one turn of the browser's event loop, so that input and
// repaints come through, then every queued event to its handler.
void WebPage::pumpEvents()
{
    zb_yield();
    for (int event = zb_take_event(); event >= 0; event = zb_take_event())
        dispatch(event);
}

} // namespace webui
