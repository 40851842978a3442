// The Windows front end's own parts, run under Wine: the twips and DPI
// arithmetic, the stacking order, text at the edge, and a real window of the
// game with its controls, driven through Windows' own messages.

#include "game/layout.h"
#include "game/zorbleck.h"
#include "win32/geometry.h"
#include "win32/text.h"
#include "win32/win32_window.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <thread>

using game::Control;
namespace layout = game::layout;

// The window's one friend: reads the counters without widening its interface.
struct ZorbleckProbe {
    static int total(const Zorbleck& game) { return game.redScore + game.blueScore + game.greenScore; }
    static int blue(const Zorbleck& game) { return game.blueScore; }
    static int red(const Zorbleck& game) { return game.redScore; }
    static void setRed(Zorbleck& game, std::int16_t score) { game.redScore = score; }
};

namespace {

int failures = 0;

void expect(bool condition, const std::string& what)
{
    if (!condition) {
        std::printf("FAIL: %s\n", what.c_str());
        ++failures;
    }
}

void twipsAndPixels()
{
    using win32ui::twipsToPixels;
    // 15 twips a pixel at 96 dpi: the client area and every control land on
    // whole pixels, and back again without a twip lost.
    expect(twipsToPixels(layout::ClientWidth, 96) == 659 && twipsToPixels(layout::ClientHeight, 96) == 569,
        "client area at 96 dpi");
    for (const auto& at : layout::Controls) {
        for (int twips : { at.left, at.top, at.width, at.height }) {
            const int pixels = twipsToPixels(static_cast<float>(twips), 96);
            expect(pixels * 15 == twips && win32ui::pixelsToTwips(pixels, 96) == static_cast<float>(twips),
                std::string(at.name) + ": " + std::to_string(twips) + " twips at 96 dpi");
        }
    }
    // Other monitors: the nearest pixel, a half to the even one.
    expect(twipsToPixels(layout::ClientWidth, 144) == 988, "9885 twips at 144 dpi is 988.5: even 988");
    expect(twipsToPixels(layout::ClientHeight, 144) == 854, "8535 twips at 144 dpi is 853.5: even 854");
    expect(twipsToPixels(layout::ClientWidth, 120) == 824, "9885 twips at 120 dpi");
    expect(twipsToPixels(22.4f, 96) == 1 && twipsToPixels(-22.6f, 96) == -2, "fractions and negatives");
    expect(win32ui::pixelsToTwips(61, 120) == 732.0f, "pixels to twips at 120 dpi");

    // A box thrown far off (or to no number at all) still gets a place.
    const int limit = 1 << 24;
    expect(twipsToPixels(1e30f, 96) == limit && twipsToPixels(-1e30f, 96) == -limit, "huge places held");
    expect(twipsToPixels(std::numeric_limits<float>::infinity(), 96) == limit, "infinity held");
    expect(twipsToPixels(std::numeric_limits<float>::quiet_NaN(), 96) == -limit, "NaN held");

    expect(win32ui::fontHeight(13.5, 96) == -18 && win32ui::fontHeight(15.75, 96) == -21
            && win32ui::fontHeight(12, 96) == -16,
        "font heights at 96 dpi");
    expect(win32ui::fontHeight(13.5, 144) == -27, "font height at 144 dpi");
}

void stacking()
{
    const auto order = win32ui::zOrder();
    expect(order.front() == Control::cmdStart, "Start is first for Tab");
    expect(order.at(5) == Control::lblTimer && order.at(6) == Control::lbl1, "the labels lie beneath");
    int lastTab = -1;
    for (std::size_t i = 0; i < 5; ++i) {
        const auto& at = layout::of(order.at(i));
        expect(at.tabIndex > lastTab, std::string(at.name) + " out of tab order");
        lastTab = at.tabIndex;
        // One order serves both: a control created later lies above an
        // earlier one, as the layout asks.
        for (std::size_t j = i + 1; j < 5; ++j)
            expect(order.at(i) > order.at(j),
                std::string(at.name) + " above " + layout::of(order.at(j)).name + " though created first");
    }
}

void text()
{
    using win32ui::narrow;
    using win32ui::widen;
    expect(widen("Vemmo's Zorbleck!") == L"Vemmo's Zorbleck!" && widen("").empty(), "plain text");
    const std::string mixed = "Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80";
    expect(widen(mixed) == L"Gr\u00fc\u00df \u20ac \U0001F600", "UTF-8 to UTF-16, a pair of surrogates included");
    expect(narrow(widen(mixed)) == mixed, "and back");
    expect(widen(std::string("a\xff") + "b") == std::wstring(L"a\ufffd") + L"b",
        "a stray byte becomes U+FFFD, the rest is kept");
}

class Window {
public:
    Window()
        : window(GetModuleHandleW(nullptr))
        , game(window)
    {
        window.attach(game);
    }
    HWND at(Control control) const { return window.control(control); }
    RECT rect(Control control) const
    {
        RECT r;
        GetWindowRect(at(control), &r);
        MapWindowPoints(HWND_DESKTOP, window.window(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    win32ui::Win32Window window;
    Zorbleck game;
};

void windowAsItOpens()
{
    Window w;
    const unsigned dpi = w.window.dpi();
    RECT client;
    GetClientRect(w.window.window(), &client);
    expect(client.right == win32ui::twipsToPixels(layout::ClientWidth, dpi)
            && client.bottom == win32ui::twipsToPixels(layout::ClientHeight, dpi),
        "client area of " + std::to_string(client.right) + "x" + std::to_string(client.bottom) + " at "
            + std::to_string(dpi) + " dpi");
    expect(w.window.outerWidth() > static_cast<float>(layout::ClientWidth) - 1
            && w.window.outerHeight() > static_cast<float>(layout::ClientHeight) - 1,
        "the outer size holds the client area");
    for (const auto& at : layout::Controls) {
        const RECT r = w.rect(at.control);
        expect(r.left == win32ui::twipsToPixels(static_cast<float>(at.left), dpi)
                && r.top == win32ui::twipsToPixels(static_cast<float>(at.top), dpi)
                && r.right - r.left == win32ui::twipsToPixels(static_cast<float>(at.width), dpi)
                && r.bottom - r.top == win32ui::twipsToPixels(static_cast<float>(at.height), dpi),
            std::string(at.name) + " placed");
        expect(w.window.width(at.control) == win32ui::pixelsToTwips(r.right - r.left, dpi),
            std::string(at.name) + " width read back");
    }
    wchar_t caption[64] {};
    GetWindowTextW(w.window.window(), caption, 64);
    expect(std::wstring(caption) == L"Vemmo's Zorbleck!", "caption");
    expect(w.window.text(Control::lbl1).empty() && w.window.text(Control::lblTimer).empty(), "labels empty");

    // The entries as added, unsorted, and none selected.
    HWND list = w.at(Control::lst1);
    expect(SendMessageW(list, LB_GETCOUNT, 0, 0) == 3, "three entries");
    for (WPARAM i = 0; i < 3; ++i) {
        wchar_t entry[32] {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        expect(win32ui::narrow(entry) == layout::Difficulties.at(i), "entry " + std::to_string(i));
    }
    expect(w.window.text(Control::lst1).empty(), "no difficulty before one is chosen");
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    expect(w.window.text(Control::lst1) == "Average", "the selected entry is the difficulty");
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    expect(w.window.text(Control::lst1).empty(), "and none again");

    // Tab walks Start, the list, blue, green, red, and round again.
    HWND walk = w.at(Control::cmdStart);
    for (Control next : { Control::lst1, Control::pct2, Control::pct3, Control::pct, Control::cmdStart }) {
        walk = GetNextDlgTabItem(w.window.window(), walk, FALSE);
        expect(walk == w.at(next), std::string("Tab to ") + layout::of(next).name);
    }
}

bool shown(HWND control)
{
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

void boxesAndLabels()
{
    Window w;
    w.window.show(SW_SHOWNA);
    const unsigned dpi = w.window.dpi();
    // A box keeps its place in twips as written, fractions included.
    w.window.setLeft(Control::pct, 3360.4f);
    w.window.setTop(Control::pct, 1447.5f);
    expect(w.window.left(Control::pct) == 3360.4f && w.window.top(Control::pct) == 1447.5f, "twips kept");
    const RECT red = w.rect(Control::pct);
    expect(red.left == win32ui::twipsToPixels(3360.4f, dpi) && red.top == win32ui::twipsToPixels(1447.5f, dpi),
        "and shown at the nearest pixel");

    // Now over the verdict label: the box is on top, and takes the click.
    POINT inside { red.left + 5, red.top + 5 };
    expect(ChildWindowFromPointEx(w.window.window(), inside, CWP_SKIPINVISIBLE) == w.at(Control::pct),
        "the box lies above the label");
    const RECT label = w.rect(Control::lbl1);
    expect(inside.x >= label.left && inside.x < label.right && inside.y >= label.top && inside.y < label.bottom,
        "the box stands on the label");

    // Presses reach the game through the pump, double clicks included.
    HWND blue = w.at(Control::pct2);
    PostMessageW(blue, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(blue, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    PostMessageW(blue, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    w.window.pumpEvents();
    expect(ZorbleckProbe::blue(w.game) == 6, "two presses on blue: " + std::to_string(ZorbleckProbe::blue(w.game)));

    // A press on a label or on the window itself counts nothing.
    PostMessageW(w.at(Control::lblTimer), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageW(w.window.window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(600, 500));
    w.window.pumpEvents();
    expect(ZorbleckProbe::total(w.game) == 6, "clicks beside the boxes counted");

    // Minimised, the window still gives the boxes its own size.
    const float outerWidth = w.window.outerWidth();
    const float outerHeight = w.window.outerHeight();
    ShowWindow(w.window.window(), SW_MINIMIZE);
    expect(IsIconic(w.window.window()), "minimised");
    expect(w.window.outerWidth() == outerWidth && w.window.outerHeight() == outerHeight,
        "a minimised window's outer size: " + std::to_string(w.window.outerWidth()) + " x "
            + std::to_string(w.window.outerHeight()));
    ShowWindow(w.window.window(), SW_RESTORE);

    w.window.setCaption(Control::lbl1, "Amazing!");
    expect(w.window.text(Control::lbl1) == "Amazing!", "a caption written is read back");
    w.window.setVisible(Control::cmdStart, false);
    expect(!shown(w.at(Control::cmdStart)), "Start hidden");
    // A hidden Start takes no click, whatever sends it (else the game's box
    // would wait here for a player).
    SendMessageW(w.window.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(w.at(Control::cmdStart)), BN_CLICKED),
        reinterpret_cast<LPARAM>(w.at(Control::cmdStart)));
    w.window.setVisible(Control::cmdStart, true);
    expect(shown(w.at(Control::cmdStart)), "Start shown");
}

void closing()
{
    Window w;
    const double before = w.window.clock();
    PostMessageW(w.window.window(), WM_CLOSE, 0, 0);
    w.window.pumpEvents();
    expect(w.window.window() == nullptr, "the window is gone");
    // The quit is left for the main loop, which ends the program.
    MSG quit;
    expect(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.message == WM_QUIT, "quit left");
    // The game's next call ends its handler; a box is not shown any more.
    bool threw = false;
    try {
        w.window.setLeft(Control::pct, 0);
    } catch (const std::exception&) {
        threw = true;
    }
    expect(threw, "a closed window takes no writes");
    w.window.messageBox("not shown", {});
    // A game's pause ends at once: the core ends it at the first pumping.
    w.game.zorbleckClosed();
    w.game.TimeOut(5);
    expect(w.window.clock() - before < 1, "the pause ended with the window");
}

// The text of the first message box titled `title` that comes up within
// `tries` hundredths of a second, which is then closed as its OK button would
// close it. A box of
// another title is closed too, with nothing read, so that a wrong title fails
// the test rather than hanging it.
std::wstring closeBox(const wchar_t* title, int tries = 1000)
{
    for (int tried = 0; tried < tries; ++tried) {
        HWND box = FindWindowW(L"#32770", title);
        if (!box && tried >= tries / 2) {
            if (HWND other = FindWindowW(L"#32770", nullptr)) {
                PostMessageW(other, WM_COMMAND, IDOK, 0);
                return {};
            }
        }
        if (box) {
            std::wstring text;
            for (HWND child = FindWindowExW(box, nullptr, L"Static", nullptr); child;
                 child = FindWindowExW(box, child, L"Static", nullptr)) {
                wchar_t part[256] {};
                GetWindowTextW(child, part, 256);
                text += part;
            }
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            // Gone before the next one is looked for.
            for (int wait = 0; wait < 500 && IsWindow(box); ++wait)
                Sleep(10);
            return text;
        }
        Sleep(10);
    }
    return {};
}

void errorsReported()
{
    Window w;
    w.window.show(SW_SHOWNA);
    // The press that would carry red past 32767 stops its handler; the player
    // is told in a box with the application's name, and the window goes on.
    ZorbleckProbe::setRed(w.game, 32767);
    std::wstring told;
    std::thread player([&told] { told = closeBox(L"Zorbleck"); });
    PostMessageW(w.at(Control::pct), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    w.window.pumpEvents();
    player.join();
    expect(!told.empty(), "no box told of the overflow");
    expect(ZorbleckProbe::red(w.game) == 32767, "the counter kept its value");
    expect(w.window.window() && IsWindowVisible(w.window.window()), "the window went on");
    PostMessageW(w.at(Control::pct2), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    w.window.pumpEvents();
    expect(ZorbleckProbe::blue(w.game) == 3, "and counts the next press");
}

// A key pressed while `focus` holds the focus, as the main loop hands it on.
void press(Window& w, HWND focus, WPARAM key)
{
    SetFocus(focus);
    PostMessageW(focus, WM_KEYDOWN, key, 1);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000001);
    w.window.pumpEvents();
}

void keysOperateStart()
{
    for (WPARAM key : { WPARAM { VK_RETURN }, WPARAM { VK_SPACE } }) {
        Window w;
        w.window.show(SW_SHOWNA);
        std::wstring first;
        std::wstring second;
        // Start with no difficulty: its box, then the summary.
        std::thread player([&] {
            first = closeBox(L"Zorbleck");
            second = closeBox(L"Zorbleck");
        });
        press(w, w.at(Control::cmdStart), key);
        player.join();
        const std::string name = key == VK_RETURN ? "Enter" : "Space";
        expect(first == L"Select a Difficulty", name + " on Start: " + win32ui::narrow(first));
        expect(second.rfind(L"Red: 0 points", 0) == 0, name + " on Start, summary: " + win32ui::narrow(second));
    }
    // Enter on the list is no press of Start: no box comes up.
    Window w;
    w.window.show(SW_SHOWNA);
    int boxes = 0;
    std::thread player([&boxes] {
        while (!closeBox(L"Zorbleck", 200).empty())
            ++boxes;
    });
    press(w, w.at(Control::lst1), VK_RETURN);
    player.join();
    expect(boxes == 0, "Enter on the list ran Start");
}

void clockAndChance()
{
    Window w;
    const double start = w.window.clock();
    double last = start;
    bool monotonic = true;
    while (last - start < 0.02) {
        const double now = w.window.clock();
        monotonic = monotonic && now >= last;
        last = now;
    }
    expect(monotonic, "the clock never goes back");
    w.window.seedRandom();
    for (int i = 0; i < 1000; ++i) {
        const float r = w.window.random();
        expect(r >= 0 && r < 1, "a draw outside [0, 1)");
    }
}

} // namespace

int main()
{
    twipsAndPixels();
    stacking();
    text();
    windowAsItOpens();
    boxesAndLabels();
    errorsReported();
    keysOperateStart();
    closing();
    clockAndChance();
    std::printf(failures ? "%d failed\n" : "all passed\n", failures);
    return failures ? 1 : 0;
}
