#include "web/web_page.h"

#include "game/layout.h"
#include "game/twips.h"

#include <emscripten/emscripten.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

// What the page does for the game, each in imports.js; a control goes by its
// place in the creation order. A failure of the page comes back by zb_fail.
extern "C" {
void zb_build_window(const char* caption, int width, int height, int closing);
void zb_add_box(int id, int tabIndex, int red, int green, int blue);
void zb_add_list(int id, int tabIndex);
void zb_add_button(int id, int tabIndex);
void zb_add_label(int id);
void zb_describe(int id, const char* name, int width, int height, const char* face, double points,
    const char* accessibleName, const char* description);
void zb_add_entry(int id, const char* text);
void zb_show_window(int focused);
double zb_outer(int vertical);
void zb_set_back_color(int red, int green, int blue);
void zb_move(int id, int left, int top);
double zb_size(int id, int vertical);
void zb_set_visible(int id, int visible);
int zb_is_shown(int id);
void zb_set_caption(int id, const char* text);
char* zb_text(int id);
double zb_clock();
int zb_take_event(int none);
// The three that wait: the page's own event loop, a dialog, and the pause's
// yield. Asyncify unwinds the wasm stack at each and rewinds it after.
int zb_next_event();
void zb_message_box(const char* prompt, const char* title);
void zb_yield();

[[noreturn]] EMSCRIPTEN_KEEPALIVE void zb_fail(char* what)
{
    const std::unique_ptr<char, decltype(&std::free)> owned(what, &std::free);
    throw std::runtime_error(owned.get());
}
}

namespace webui {

namespace layout = game::layout;
using game::Control;

namespace {

    // What reaches the page's event queue beside a press of a control.
    constexpr int PageClosing = static_cast<int>(layout::Controls.size());
    constexpr int NoEvent = -1;

    int id(Control control)
    {
        return static_cast<int>(control);
    }

    int pixels(float twips)
    {
        return game::twipsToPixels(twips);
    }

    void add(const layout::ControlLayout& at)
    {
        const int control = id(at.control);
        switch (at.kind) {
        case layout::Kind::Box:
            zb_add_box(control, at.tabIndex, at.color.red, at.color.green, at.color.blue);
            break;
        case layout::Kind::List:
            zb_add_list(control, at.tabIndex);
            break;
        case layout::Kind::Button:
            zb_add_button(control, at.tabIndex);
            break;
        case layout::Kind::Label:
            zb_add_label(control);
            break;
        }
        zb_describe(control, at.name, pixels(static_cast<float>(at.width)), pixels(static_cast<float>(at.height)),
            at.font.face, at.font.points, at.accessibleName, at.description);
    }

} // namespace

WebPage::WebPage()
    : game(*this)
{
    zb_build_window(layout::Caption, pixels(layout::ClientWidth), pixels(layout::ClientHeight), PageClosing);
    // In creation order: the page stacks later elements above earlier ones,
    // and its style sheet puts the labels beneath them all.
    for (const layout::ControlLayout& control : layout::Controls) {
        add(control);
        moveControl(control.control);
    }
    for (const char* entry : layout::Difficulties)
        zb_add_entry(id(Control::lst1), entry);
    zb_set_caption(id(Control::cmdStart), layout::StartCaption);
}

void WebPage::run()
{
    game.loaded();
    zb_show_window(id(Control::cmdStart));
    for (;;)
        dispatch(zb_next_event());
}

void WebPage::dispatch(int event)
{
    if (event == PageClosing)
        game.closed();
    else if (event >= 0 && event < PageClosing)
        game.pressed(static_cast<Control>(event));
}

void WebPage::moveControl(Control control)
{
    zb_move(id(control), places.pixelLeft(control), places.pixelTop(control));
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

float WebPage::width(Control control)
{
    return game::pixelsToTwips(zb_size(id(control), 0));
}

float WebPage::height(Control control)
{
    return game::pixelsToTwips(zb_size(id(control), 1));
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
    return value.get();
}

double WebPage::clock()
{
    return zb_clock();
}

void WebPage::messageBox(const std::string& prompt, const std::string& title)
{
    zb_message_box(prompt.c_str(), title.empty() ? layout::ApplicationName : title.c_str());
}

// The pause's yield: one turn of the browser's event loop, so that input and
// repaints come through, then every queued event to its handler.
void WebPage::pumpEvents()
{
    zb_yield();
    for (int event = zb_take_event(NoEvent); event != NoEvent; event = zb_take_event(NoEvent))
        dispatch(event);
}

} // namespace webui
