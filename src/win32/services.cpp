// The game's platform: its window in twips and UTF-8, clock, boxes, pumping.

#include "game/layout.h"
#include "game/twips.h"
#include "win32/text.h"
#include "win32/win32_window.h"

#include <stdexcept>
#include <string>

namespace layout = game::layout;
using game::Control;
using game::pixelsToTwips;

namespace win32ui {

void Win32Window::fail(const char* what)
{
    throw std::runtime_error(std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ").");
}

// A minimised window reports the size of its icon: the game's boxes go by
// the size it has when the player restores it.
RECT Win32Window::outerRect(HWND window) const
{
    RECT outer;
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    if (IsIconic(window) && GetWindowPlacement(window, &placement))
        return placement.rcNormalPosition;
    if (!GetWindowRect(window, &outer))
        fail(window == windowHandle ? "The window's size could not be read" : "A control's size could not be read");
    return outer;
}

float Win32Window::outerWidth()
{
    const RECT outer = outerRect(windowHandle);
    return pixelsToTwips(outer.right - outer.left, currentDpi);
}

float Win32Window::outerHeight()
{
    const RECT outer = outerRect(windowHandle);
    return pixelsToTwips(outer.bottom - outer.top, currentDpi);
}

void Win32Window::setBackColor(game::Color color)
{
    HBRUSH brush = CreateSolidBrush(RGB(color.red, color.green, color.blue));
    if (!brush)
        fail("The window's background could not be made");
    DeleteObject(backBrush);
    backBrush = brush;
    InvalidateRect(windowHandle, nullptr, TRUE);
}

float Win32Window::width(Control control)
{
    const RECT outer = outerRect(handle(control));
    return pixelsToTwips(outer.right - outer.left, currentDpi);
}

float Win32Window::height(Control control)
{
    const RECT outer = outerRect(handle(control));
    return pixelsToTwips(outer.bottom - outer.top, currentDpi);
}

void Win32Window::moveControl(Control control)
{
    if (!SetWindowPos(handle(control), nullptr, places.pixelLeft(control, currentDpi),
            places.pixelTop(control, currentDpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        fail("A control could not be moved");
}

// The control's own flag: the window around it may still be hidden.
bool Win32Window::visible(Control control)
{
    return (GetWindowLongPtrW(handle(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::setVisible(Control control, bool visible)
{
    ShowWindow(handle(control), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::setCaption(Control control, const std::string& text)
{
    if (!SetWindowTextW(handle(control), widen(text).c_str()))
        fail("A caption could not be written");
}

std::string Win32Window::text(Control control)
{
    HWND found = handle(control);
    if (layout::of(control).kind == layout::Kind::List) {
        const LRESULT selected = SendMessageW(found, LB_GETCURSEL, 0, 0);
        if (selected == LB_ERR)
            return {};
        const LRESULT length = SendMessageW(found, LB_GETTEXTLEN, static_cast<WPARAM>(selected), 0);
        if (length == LB_ERR)
            fail("The list's entry could not be read");
        std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(found, LB_GETTEXT, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<std::size_t>(length));
        return narrow(entry);
    }
    std::wstring caption(static_cast<std::size_t>(GetWindowTextLengthW(found)) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(found, caption.data(), static_cast<int>(caption.size()))));
    return narrow(caption);
}

double Win32Window::clock()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - epoch.QuadPart) / ticksPerSecond;
}

// The rule boxes come before the window is shown, so they have no owner: a
// box tied to a hidden window would be hidden with it from the taskbar.
void Win32Window::messageBox(const std::string& prompt, const std::string& title)
{
    HWND owner = IsWindowVisible(windowHandle) ? windowHandle : nullptr;
    const std::wstring caption = widen(title.empty() ? layout::ApplicationName : title);
    if (!MessageBoxW(owner, widen(prompt).c_str(), caption.c_str(), MB_OK))
        fail("A message box could not be shown");
}

void Win32Window::pumpEvents()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The program is ending: leave the quit for the main loop.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        dispatch(message);
    }
}

} // namespace win32ui
