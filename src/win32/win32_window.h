#pragma once

#include "game/places.h"
#include "game/random_source.h"
#include "game/zorbleck.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <memory>

namespace win32ui {

// The game's window on plain Win32: a top-level window of our own class, the
// seven controls as child windows, and every service the game asks of its
// platform. It owns its game and holds no rule of it: a press of any control
// and the closing go to the game as they come. The window and its controls
// live as long as this: closing only hides them.
class Win32Window : public game::PlacedPlatform {
public:
    // Creates the window and its controls, hidden.
    explicit Win32Window(
        HINSTANCE instance, std::unique_ptr<game::RandomSource> chance = std::make_unique<game::RandomSource>());
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;
    Win32Window(Win32Window&&) = delete;
    Win32Window& operator=(Win32Window&&) = delete;

    // Tells the game its window is loaded; call once, before it first shows.
    void load();
    // Shows the window with the focus on Start.
    void show(int showCommand);
    // Hands one message to its window, the keyboard's dialog keys (Tab,
    // Enter, Space) first.
    void dispatch(MSG& message);

    game::Zorbleck& zorbleck() { return game; }
    HWND window() const { return windowHandle; }
    HWND handle(game::Control control) const { return controls.at(indexOf(control)); }
    unsigned dpi() const { return currentDpi; }

    float outerWidth() override;
    float outerHeight() override;
    void setBackColor(game::Color color) override;
    float width(game::Control control) override;
    float height(game::Control control) override;
    bool visible(game::Control control) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

private:
    // A fixed size: a caption with the system menu and minimise, no sizing
    // border, no maximise. The children paint themselves; the window's
    // background never paints over them.
    static constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    static constexpr DWORD WindowExStyle = 0;

    static std::size_t indexOf(game::Control control) { return static_cast<std::size_t>(control); }
    // A Windows call failed: the error ends the running handler.
    [[noreturn]] static void fail(const char* what);

    // controls.cpp, dpi.cpp: the window and its controls, laid out at a DPI.
    void createControls(HINSTANCE instance);
    void fitToDpi(unsigned dpi);
    void makeFonts();
    // window_proc.cpp: Windows' messages, told to the game.
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Tells the game of a press on one of our controls; other windows' go nowhere.
    void pressed(HWND child);
    template <typename Entry>
    void enter(Entry entry);
    // services.cpp
    void moveControl(game::Control control) override;
    RECT outerRect(HWND window) const;

    HWND windowHandle = nullptr;
    std::array<HWND, 7> controls {};
    std::array<HFONT, 7> controlFonts {};
    unsigned currentDpi = 96;
    // The control that held the focus when the window was last deactivated.
    HWND lastFocus = nullptr;

    HBRUSH backBrush = nullptr;

    LARGE_INTEGER epoch {};
    double ticksPerSecond = 1;

    // The game's handlers that run now, nested in one another's pumping.
    int running = 0;
    bool closing = false;
    // Last: it is told of events only once every control exists.
    game::Zorbleck game;
};

} // namespace win32ui
