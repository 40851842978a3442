// The Windows front end under Wine: text between UTF-8 and UTF-16, and a real
// window of the game driven through Windows' own messages.

#include "game/layout.h"
#include "game/twips.h"
#include "support/named.h"
#include "support/probe.h"
#include "win32/boxtext.h"
#include "win32/text.h"
#include "win32/win32_window.h"
#include "window_rules.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <limits>
#include <string>
#include <thread>
#include <utility>

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

// The title and text of the first message box to show within `tries`
// hundredths of a second, then closed as its OK button closes it.
std::pair<std::wstring, std::wstring> closeBox(int tries = 1000)
{
    for (int tried = 0; tried < tries; ++tried) {
        HWND box = FindWindowW(L"#32770", nullptr);
        if (box && IsWindowVisible(box)) {
            std::pair told { boxtext::textOf(box), boxtext::read(box).text };
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            // Gone before the next one is looked for.
            for (int wait = 0; wait < 500 && IsWindow(box); ++wait)
                Sleep(10);
            return told;
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
    RECT client() const
    {
        RECT area;
        GetClientRect(window.window(), &area);
        return area;
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

    // Every control where the rules put it at `dpi`, the red box where the
    // test last put it.
    void expectLaidOut(unsigned dpi, float redLeft, float redTop)
    {
        EXPECT_EQ(window.dpi(), dpi);
        EXPECT_EQ(window.left(Control::pct), redLeft);
        EXPECT_EQ(window.top(Control::pct), redTop);
        for (const rules::Control& control : rules::Controls) {
            SCOPED_TRACE(control.name);
            const Control c = named(control.name);
            const auto twips = [&](std::size_t i) { return static_cast<float>(control.pixels.at(i) * 15); };
            const RECT r = rect(c);
            EXPECT_EQ(r.left, twipsToPixels(c == Control::pct ? redLeft : twips(0), dpi));
            EXPECT_EQ(r.top, twipsToPixels(c == Control::pct ? redTop : twips(1), dpi));
            EXPECT_EQ(r.right - r.left, twipsToPixels(twips(2), dpi));
            EXPECT_EQ(r.bottom - r.top, twipsToPixels(twips(3), dpi));
            EXPECT_EQ(window.width(c), pixelsToTwips(r.right - r.left, dpi));
            EXPECT_EQ(window.height(c), pixelsToTwips(r.bottom - r.top, dpi));
        }
    }

    WatchedWindow window { GetModuleHandleW(nullptr) };
    game::ZorbleckProbe probe { window.zorbleck() };
};

// The caption and the client area are read from outside, in the whole game.
TEST_F(WindowTest, OpensAsLaidOut)
{
    expectLaidOut(window.dpi(), 3360, 3240);
    EXPECT_GT(window.outerWidth(), float(rules::Client[0] * 15) - 1) << "the frame holds the client area";
    EXPECT_GT(window.outerHeight(), float(rules::Client[1] * 15) - 1);
    EXPECT_EQ(window.text(Control::lbl1), "");
    EXPECT_EQ(window.text(Control::lblTimer), "");
    EXPECT_EQ(window.text(Control::cmdStart), "Start");
    window.setCaption(Control::lbl1, "Amazing! \xe2\x82\xac");
    EXPECT_EQ(window.text(Control::lbl1), "Amazing! \xe2\x82\xac");
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
    HWND child = GetWindow(window.window(), GW_CHILD);
    for (const char* name : { "cmdStart", "lst1", "pct2", "pct3", "pct", "lbl1", "lblTimer" }) {
        EXPECT_EQ(child, at(named(name))) << name;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    HWND walk = at(Control::cmdStart);
    for (std::size_t i = 1; i <= rules::TabOrder.size(); ++i) {
        walk = GetNextDlgTabItem(window.window(), walk, FALSE);
        EXPECT_EQ(walk, at(named(rules::TabOrder.at(i % 5)))) << "Tab to " << rules::TabOrder.at(i % 5);
    }

    window.setTop(Control::pct, 1440);
    const RECT red = rect(Control::pct);
    const RECT label = rect(Control::lbl1);
    POINT inside { red.left + 5, red.top + 5 };
    ASSERT_TRUE(PtInRect(&label, inside)) << "the box stands on the label";
    EXPECT_EQ(ChildWindowFromPointEx(window.window(), inside, CWP_SKIPINVISIBLE), at(Control::pct));
}

// A control keeps the twips the game gave it, fractions included, and shows
// at the nearest pixel; another monitor's DPI makes the window, its controls
// and the fonts afresh from them.
TEST_F(WindowTest, KeepsPlacesInTwipsAndFollowsItsMonitorsDpi)
{
    window.setLeft(Control::pct, 3367.6f);
    window.setTop(Control::pct, 1447.5f); // 96.5 pixels at 96 dpi, a tie that goes to the even 96
    for (unsigned dpi : { 120U, 96U }) {
        SCOPED_TRACE(dpi);
        RECT suggested;
        GetWindowRect(window.window(), &suggested);
        SendMessageW(window.window(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        expectLaidOut(dpi, 3367.6f, 1447.5f);
        // Wine draws the frame at its own DPI whatever the window's, and may
        // leave a few pixels more inside it.
        EXPECT_GE(client().right, twipsToPixels(float(rules::Client[0] * 15), dpi));
        EXPECT_GE(client().bottom, twipsToPixels(float(rules::Client[1] * 15), dpi));
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

    // Far off, or no number at all: still a place Windows takes.
    for (float offside : { 1e30f, std::numeric_limits<float>::infinity() }) {
        window.setLeft(Control::pct, offside);
        EXPECT_EQ(window.left(Control::pct), offside);
        EXPECT_GT(rect(Control::pct).left, client().right);
    }
    window.setLeft(Control::pct, std::numeric_limits<float>::quiet_NaN());
    EXPECT_LT(rect(Control::pct).right, 0);
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
// told in a box with the application's name, and the window goes on. (Each
// box's own presses count in the whole game, played from outside.)
TEST_F(WindowTest, TellsOfAnErrorAndGoesOn)
{
    window.show(SW_SHOWNA);
    probe.setScores(32767, 0, 0);
    std::pair<std::wstring, std::wstring> told;
    std::thread player([&told] { told = closeBox(); });
    click(Control::pct);
    window.pumpEvents();
    player.join();
    EXPECT_EQ(told, std::pair(Title, win32ui::widen(rules::Overflow)));
    EXPECT_EQ(probe.redScore(), 32767);
    EXPECT_TRUE(IsWindowVisible(window.window()));
    click(Control::pct2);
    window.pumpEvents();
    EXPECT_EQ(probe.blueScore(), 3);
}

// Enter and Space on Start are played from outside; Enter on the list, as
// the main loop hands it on, is no press of Start.
TEST_F(WindowTest, EnterOnTheListIsNoPressOfStart)
{
    window.show(SW_SHOWNA);
    std::pair<std::wstring, std::wstring> told;
    std::thread player([&told] { told = closeBox(200); });
    SetFocus(at(Control::lst1));
    PostMessageW(at(Control::lst1), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(at(Control::lst1), WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC0000001));
    window.pumpEvents();
    player.join();
    EXPECT_TRUE(told.second.empty()) << win32ui::narrow(told.second);
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
}

} // namespace
