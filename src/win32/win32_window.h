#pragma once

#include "game/platform.h"
#include "game/random_source.h"
#include "game/zorbleck.h"

#include <windows.h>

#include <array>
#include <memory>

namespace win32ui {

// The game's window on plain Win32: a top-level window of our own class, the
// seven controls as child windows, and every service the game asks of its
// platform. It owns its game and holds no rule of it: a press of any control
// and the closing go to the game as they come.
class Win32Window : public game::Platform {
public:
    // Creates the window and its controls, hidden.
    explicit Win32Window(
        HINSTANCE instance, std::unique_ptr<game::RandomSource> chance = std::make_unique<game::RandomSource>());
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Tells the game its window is loaded; call once, before it first shows.
    void load();
    // Shows the window with the focus on Start.
    void show(int showCommand);
    // Hands one message to its window, the keyboard's dialog keys (Tab,
    // Enter, Space) first.
    void dispatch(MSG& message);

    game::Zorbleck& zorbleck() { return game; }
    HWND window() const { return windowHandle; }
    HWND control(game::Control control) const;
    unsigned dpi() const { return currentDpi; }

    float outerWidth() override;
    float outerHeight() override;
    void setBackColor(game::Color color) override;
    float top(game::Control control) override;
    float left(game::Control control) override;
    float width(game::Control control) override;
    float height(game::Control control) override;
    void setTop(game::Control control, float twips) override;
    void setLeft(game::Control control, float twips) override;
    bool visible(game::Control control) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void messageBox(const std::string& prompt, const std::string& title) override;
    void pumpEvents() override;

private:
    // Where a control stands, in twips as the game last wrote them: a box
    // keeps fractions of a pixel, and a new DPI places it afresh.
    struct Place {
        float left;
        float top;
    };

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void createControls(HINSTANCE instance);
    void fitToDpi(unsigned dpi);
    void makeFonts();
    void freeFonts();
    void moveControl(game::Control control);
    // Tells the game of a press on one of our controls; other windows' go nowhere.
    void pressed(HWND child);
    RECT outerRect() const;
    HWND live(game::Control control) const;

    HWND windowHandle = nullptr;
    std::array<HWND, 7> controls {};
    std::array<Place, 7> places {};
    std::array<HFONT, 7> controlFonts {};
    unsigned currentDpi = 96;
    // The control that held the focus when the window was last deactivated.
    HWND lastFocus = nullptr;

    HBRUSH backBrush = nullptr;

    LARGE_INTEGER epoch {};
    double ticksPerSecond = 1;
    // Last: it is told of events only once every control exists.
    game::Zorbleck game;
};

} // namespace win32ui
