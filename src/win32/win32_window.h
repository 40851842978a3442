#pragma once

#include "game/platform.h"
#include "game/random_source.h"

#include <windows.h>

#include <array>

class Zorbleck;

namespace win32ui {

// The game's window on plain Win32: a top-level window of our own class, the
// seven controls as child windows, and every service the game asks of its
// platform. It holds no rule of the game; its events go to the game's
// handlers, each through game::deliver.
class Win32Window final : public game::Platform {
public:
    // Creates the window and its controls, hidden.
    explicit Win32Window(HINSTANCE instance);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Sends the five events that have a handler to the game. Once, first.
    void attach(Zorbleck& game);
    // Runs the load handler; call once, before the window is first shown.
    void load();
    // Shows the window with the focus on Start.
    void show(int showCommand);
    // Hands one message to its window, the keyboard's dialog keys (Tab,
    // Enter, Space) first.
    void dispatch(MSG& message);

    HWND window() const { return m_window; }
    HWND control(game::Control control) const;
    unsigned dpi() const { return m_dpi; }

    float outerWidth() override;
    float outerHeight() override;
    void setBackColor(game::Color color) override;
    float top(game::Control control) override;
    float left(game::Control control) override;
    float width(game::Control control) override;
    float height(game::Control control) override;
    void setTop(game::Control control, float twips) override;
    void setLeft(game::Control control, float twips) override;
    void setVisible(game::Control control, bool visible) override;
    void setCaption(game::Control control, const std::string& text) override;
    std::string text(game::Control control) override;
    double clock() override;
    void seedRandom() override;
    float random() override;
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
    void boxPressed(HWND box);
    RECT outerRect() const;
    HWND live(game::Control control) const;

    template <typename Handler>
    void handle(Handler handler);

    Zorbleck* m_game = nullptr;
    HWND m_window = nullptr;
    std::array<HWND, 7> m_controls {};
    std::array<Place, 7> m_places {};
    std::array<HFONT, 7> m_fonts {};
    unsigned m_dpi = 96;
    // The control that held the focus when the window was last deactivated.
    HWND m_focus = nullptr;

    HBRUSH m_backBrush = nullptr;

    LARGE_INTEGER m_epoch {};
    double m_ticksPerSecond = 1;
    game::RandomSource m_random;
};

} // namespace win32ui
