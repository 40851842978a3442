// The Windows front end's own parts, run under Wine: text at the edge, and a
// real window of the game with its controls, driven through Windows' own
// messages.

#include "game/layout.h"
#include "game/twips.h"
#include "support/probe.h"
#include "win32/boxtext.h"
#include "win32/text.h"
#include "win32/win32_window.h"
#include "window_rules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <array>
#include <limits>
#include <string>
#include <string_view>
#include <thread>

using game::Control;
using game::pixelsToTwips;
using game::twipsToPixels;
namespace layout = game::layout;

namespace {

const std::wstring Title = win32ui::widen(rules::Title);

TEST(Text, CrossesBetweenUtf8AndUtf16)
{
    using win32ui::narrow;
    using win32ui::widen;
    EXPECT_EQ(widen("Vemmo's Zorbleck!"), L"Vemmo's Zorbleck!");
    EXPECT_TRUE(widen("").empty());
    const std::string mixed = "Gr\xc3\xbc\xc3\x9f \xe2\x82\xac \xf0\x9f\x98\x80";
    EXPECT_EQ(widen(mixed), L"Gr\u00fc\u00df \u20ac \U0001F600") << "a pair of surrogates included";
    EXPECT_EQ(narrow(widen(mixed)), mixed);
    // A stray byte becomes U+FFFD; the rest is kept.
    EXPECT_EQ(widen(std::string("a\xff") + "b"), std::wstring(L"a\ufffd") + L"b");
}

// The text of the first message box titled `title` that comes up within
// `tries` hundredths of a second, which is then closed as its OK button would
// close it. A box of another title is closed too, with nothing read, so that
// a wrong title fails the test rather than hanging it.
std::wstring closeBox(const std::wstring& title, int tries = 1000)
{
    for (int tried = 0; tried < tries; ++tried) {
        HWND box = FindWindowW(L"#32770", title.c_str());
        if (!box && tried >= tries / 2) {
            if (HWND other = FindWindowW(L"#32770", nullptr)) {
                PostMessageW(other, WM_COMMAND, IDOK, 0);
                return {};
            }
        }
        if (box) {
            std::wstring text = boxtext::read(box).text;
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

// The window, counting the game's pumpings and watching whether the
// program's quit came while the game still pumped.
struct WatchedWindow final : win32ui::Win32Window {
    using Win32Window::Win32Window;
    void pumpEvents() override
    {
        Win32Window::pumpEvents();
        ++gamePumps;
        MSG quit;
        quitWhileGameRan |= PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
    }
    int gamePumps = 0;
    bool quitWhileGameRan = false;
};

class WindowTest : public ::testing::Test {
protected:
    WindowTest()
    {
        // The last test's window, closed, left its quit for a main loop that
        // is not there; a message box would take it as its own.
        MSG quit;
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) { }
    }

    HWND at(Control control) const { return window.handle(control); }
    RECT rect(Control control) const
    {
        RECT r;
        GetWindowRect(at(control), &r);
        MapWindowPoints(HWND_DESKTOP, window.window(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    LONG fontHeight(Control control) const
    {
        LOGFONTW font {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(at(control), WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfHeight;
    }
    // A press of the left button, as the system queues a player's.
    void click(Control control)
    {
        PostMessageW(at(control), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        PostMessageW(at(control), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    }
    // A key pressed while `focus` holds the focus, as the main loop hands it on.
    void key(Control focus, WPARAM code)
    {
        SetFocus(at(focus));
        PostMessageW(at(focus), WM_KEYDOWN, code, 1);
        PostMessageW(at(focus), WM_KEYUP, code, static_cast<LPARAM>(0xC0000001));
        window.pumpEvents();
    }

    RECT client() const
    {
        RECT area;
        GetClientRect(window.window(), &area);
        return area;
    }

    // Every control where the rules put it, at `dpi`; the red box may have moved.
    void expectLaidOut(unsigned dpi, float redLeft = 3360)
    {
        EXPECT_EQ(window.dpi(), dpi);
        for (const rules::Control& control : rules::Controls) {
            SCOPED_TRACE(control.name);
            const Control c = named(control.name);
            const auto twips = [&](std::size_t i) { return static_cast<float>(control.pixels.at(i) * 15); };
            const RECT r = rect(c);
            EXPECT_EQ(r.left, twipsToPixels(c == Control::pct ? redLeft : twips(0), dpi));
            EXPECT_EQ(r.top, twipsToPixels(twips(1), dpi));
            EXPECT_EQ(r.right - r.left, twipsToPixels(twips(2), dpi));
            EXPECT_EQ(r.bottom - r.top, twipsToPixels(twips(3), dpi));
            EXPECT_EQ(window.width(c), pixelsToTwips(r.right - r.left, dpi));
            EXPECT_EQ(window.height(c), pixelsToTwips(r.bottom - r.top, dpi));
        }
    }
    static Control named(std::string_view name)
    {
        return std::find_if(layout::Controls.begin(), layout::Controls.end(), [name](const auto& c) {
            return c.name == name;
        })->control;
    }

    WatchedWindow window { GetModuleHandleW(nullptr) };
    game::ZorbleckProbe probe { window.zorbleck() };
};

TEST_F(WindowTest, OpensAsLaidOut)
{
    expectLaidOut(window.dpi());
    EXPECT_EQ(client().right, twipsToPixels(float(rules::Client[0] * 15), window.dpi()));
    EXPECT_EQ(client().bottom, twipsToPixels(float(rules::Client[1] * 15), window.dpi()));
    EXPECT_GT(window.outerWidth(), float(rules::Client[0] * 15) - 1) << "the frame holds the client area";
    EXPECT_GT(window.outerHeight(), float(rules::Client[1] * 15) - 1);
    wchar_t caption[64] {};
    GetWindowTextW(window.window(), caption, 64);
    EXPECT_EQ(caption, win32ui::widen(rules::Caption));
    EXPECT_EQ(window.text(Control::lbl1), "");
    EXPECT_EQ(window.text(Control::lblTimer), "");
    EXPECT_EQ(window.text(Control::cmdStart), "Start");
    // Shown or not, the window's controls are: the game asks before a press.
    EXPECT_FALSE(IsWindowVisible(window.window()));
    for (const auto& control : layout::Controls)
        EXPECT_TRUE(window.visible(control.control)) << control.name;
    window.setVisible(Control::cmdStart, false);
    EXPECT_FALSE(window.visible(Control::cmdStart));
}

TEST_F(WindowTest, ListsTheDifficultiesWithNoneSelected)
{
    HWND list = at(Control::lst1);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    for (WPARAM i = 0; i < 3; ++i) {
        wchar_t entry[32] {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry));
        EXPECT_EQ(win32ui::narrow(entry), rules::Difficulties.at(i));
    }
    EXPECT_EQ(window.text(Control::lst1), "");
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    EXPECT_EQ(window.text(Control::lst1), rules::Difficulties[1]);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(window.text(Control::lst1), "");
}

// Win32 keeps one order for stacking (top first) and for Tab. The labels lie
// beneath, so that a box over the verdict is seen and takes the press.
TEST_F(WindowTest, StacksAndTabsInOneOrder)
{
    const std::array<Control, 7> topFirst { Control::cmdStart, Control::lst1, Control::pct2, Control::pct3,
        Control::pct, Control::lbl1, Control::lblTimer };
    HWND child = GetWindow(window.window(), GW_CHILD);
    for (Control control : topFirst) {
        EXPECT_EQ(child, at(control)) << layout::of(control).name;
        child = GetWindow(child, GW_HWNDNEXT);
    }

    // Tab walks Start, the list, blue, green, red, and round again.
    HWND walk = at(Control::cmdStart);
    for (std::size_t i = 1; i <= rules::TabOrder.size(); ++i) {
        walk = GetNextDlgTabItem(window.window(), walk, FALSE);
        EXPECT_EQ(walk, at(named(rules::TabOrder.at(i % 5)))) << "Tab to " << rules::TabOrder.at(i % 5);
    }

    window.setLeft(Control::pct, 3360);
    window.setTop(Control::pct, 1440);
    const RECT red = rect(Control::pct);
    const RECT label = rect(Control::lbl1);
    POINT inside { red.left + 5, red.top + 5 };
    ASSERT_TRUE(PtInRect(&label, inside)) << "the box stands on the label";
    EXPECT_EQ(ChildWindowFromPointEx(window.window(), inside, CWP_SKIPINVISIBLE), at(Control::pct));
}

TEST_F(WindowTest, KeepsPlacesInTwipsAndShowsThemAtTheNearestPixel)
{
    const unsigned dpi = window.dpi();
    window.setLeft(Control::pct, 3360.4f);
    window.setTop(Control::pct, 1447.5f);
    EXPECT_EQ(window.left(Control::pct), 3360.4f);
    EXPECT_EQ(window.top(Control::pct), 1447.5f);
    const RECT red = rect(Control::pct);
    EXPECT_EQ(red.left, twipsToPixels(3360.4f, dpi));
    EXPECT_EQ(red.top, twipsToPixels(1447.5f, dpi));
    // Far off, or no number at all: still a place Windows takes.
    for (float offside : { 1e30f, std::numeric_limits<float>::infinity() }) {
        window.setLeft(Control::pct, offside);
        EXPECT_EQ(window.left(Control::pct), offside);
        EXPECT_GT(rect(Control::pct).left, client().right);
    }
    window.setLeft(Control::pct, std::numeric_limits<float>::quiet_NaN());
    EXPECT_LT(rect(Control::pct).right, 0);

    window.setCaption(Control::lbl1, "Amazing! \xe2\x82\xac");
    EXPECT_EQ(window.text(Control::lbl1), "Amazing! \xe2\x82\xac");
}

// Another monitor, another DPI: the window, its controls (a box where the
// game last put it, fractions included) and the fonts are made afresh.
TEST_F(WindowTest, FollowsItsMonitorsDpi)
{
    window.setLeft(Control::pct, 3367.6f);
    for (unsigned dpi : { 120U, 96U }) {
        SCOPED_TRACE(dpi);
        RECT suggested;
        GetWindowRect(window.window(), &suggested);
        SendMessageW(window.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        expectLaidOut(dpi, 3367.6f);
        // Wine draws the frame at its own DPI whatever the window's, and may
        // leave a few pixels more inside it.
        EXPECT_GE(client().right, twipsToPixels(float(rules::Client[0] * 15), dpi));
        EXPECT_GE(client().bottom, twipsToPixels(float(rules::Client[1] * 15), dpi));
        EXPECT_EQ(window.left(Control::pct), 3367.6f);
        // 13.5, 15.75 and 12 points, the character's own height; a half
        // pixel rounds up.
        const std::array<LONG, 3> heights
            = dpi == 120 ? std::array<LONG, 3> { -23, -26, -20 } : std::array<LONG, 3> { -18, -21, -16 };
        EXPECT_EQ(fontHeight(Control::lst1), heights.at(0));
        EXPECT_EQ(fontHeight(Control::lblTimer), heights.at(1));
        EXPECT_EQ(fontHeight(Control::lbl1), heights.at(2));
    }
    EXPECT_EQ(client().right, 659);
    EXPECT_EQ(client().bottom, 569);
}

TEST_F(WindowTest, EachBoxCountsItsOwnPresses)
{
    window.show(SW_SHOWNA);
    click(Control::pct);
    click(Control::pct2);
    click(Control::pct2); // the second press of a double click counts too
    click(Control::pct3);
    // A press on a label or the window counts nothing: played from outside.
    window.pumpEvents();
    EXPECT_EQ(probe.redScore(), 1);
    EXPECT_EQ(probe.blueScore(), 6);
    EXPECT_EQ(probe.greenScore(), 4);
}

// Minimised, the window still gives the boxes its own size to bounce in.
TEST_F(WindowTest, KeepsItsSizeWhenMinimised)
{
    window.show(SW_SHOWNA);
    const float outerWidth = window.outerWidth();
    const float outerHeight = window.outerHeight();
    ShowWindow(window.window(), SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(window.window()));
    EXPECT_EQ(window.outerWidth(), outerWidth);
    EXPECT_EQ(window.outerHeight(), outerHeight);
    ShowWindow(window.window(), SW_RESTORE);
}

// The press that would carry red past 32767 stops its handler; the player is
// told in a box with the application's name, and the window goes on.
TEST_F(WindowTest, TellsOfAnErrorAndGoesOn)
{
    window.show(SW_SHOWNA);
    probe.setScores(32767, 0, 0);
    std::wstring told;
    std::thread player([&told] { told = closeBox(Title); });
    click(Control::pct);
    window.pumpEvents();
    player.join();
    EXPECT_FALSE(told.empty()) << "no box told of the overflow";
    EXPECT_EQ(probe.redScore(), 32767);
    EXPECT_TRUE(IsWindowVisible(window.window()));
    click(Control::pct2);
    window.pumpEvents();
    EXPECT_EQ(probe.blueScore(), 3);
}

// Enter and Space on Start are played from outside; Enter on the list is no
// press of Start.
TEST_F(WindowTest, EnterOnTheListIsNoPressOfStart)
{
    window.show(SW_SHOWNA);
    std::wstring told;
    std::thread player([&told] { told = closeBox(Title, 200); });
    key(Control::lst1, VK_RETURN);
    player.join();
    EXPECT_TRUE(told.empty()) << win32ui::narrow(told);
}

// Closed mid-game: the window hides at once and the game ends at its next
// pumping, silently; the quit waits until the game's handler has returned,
// and the window answers the game's calls to the end.
TEST_F(WindowTest, ClosingEndsTheGame)
{
    window.show(SW_SHOWNA);
    SendMessageW(at(Control::lst1), LB_SETCURSEL, 0, 0);
    HWND start = at(Control::cmdStart);
    PostMessageW(
        window.window(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(start), BN_CLICKED), reinterpret_cast<LPARAM>(start));
    PostMessageW(window.window(), WM_CLOSE, 0, 0);
    window.Win32Window::pumpEvents();
    EXPECT_EQ(window.gamePumps, 1) << "the game pumped on after the close";
    EXPECT_FALSE(window.quitWhileGameRan);
    EXPECT_FALSE(IsWindowVisible(window.window()));
    EXPECT_FALSE(window.visible(Control::cmdStart)) << "a game ran, and ended without a summary";
    // The quit is left for the main loop, which ends the program.
    MSG quit;
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_NO_THROW({
        window.setLeft(Control::pct, 0);
        window.setBackColor({ 0, 0, 255 });
        EXPECT_EQ(window.text(Control::lst1), rules::Difficulties[0]);
    });
    // A pause ends at once: the game was told of the closing.
    const double before = window.clock();
    probe.timeOut(5);
    EXPECT_LT(window.clock() - before, 1);
}

} // namespace
