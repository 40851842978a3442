// Windows' messages, and what the game is told of them: load, press, close.

#include "game/deliver.h"
#include "game/layout.h"
#include "win32/win32_window.h"

#include <algorithm>

namespace layout = game::layout;
using game::Control;

namespace win32ui {

// Runs one of the game's entry points. A closing ends the program only once
// the outermost has returned: until then the game may still call on its
// window, which is there to answer.
template <typename Entry>
void Win32Window::enter(Entry entry)
{
    ++running;
    entry();
    if (--running == 0 && closing)
        PostQuitMessage(0);
}

void Win32Window::load()
{
    enter([this] { game.loaded(); });
}

void Win32Window::show(int showCommand)
{
    lastFocus = handle(Control::cmdStart);
    ShowWindow(windowHandle, showCommand);
    UpdateWindow(windowHandle);
    SetFocus(lastFocus);
}

void Win32Window::dispatch(MSG& message)
{
    if (!IsDialogMessageW(windowHandle, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK Win32Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->windowHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self ? self->onMessage(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Win32Window::onMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(windowHandle, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, backBrush);
        return 1;
    }
    case WM_CTLCOLORSTATIC: {
        // The labels keep the standard face colour whatever the window's
        // background is.
        auto* dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_COMMAND:
        // A click, or Space or Enter on the button; the game knows which count.
        if (HIWORD(wParam) == BN_CLICKED)
            pressed(reinterpret_cast<HWND>(lParam));
        return 0;
    case DM_GETDEFID: {
        // Enter operates Start while Start holds the focus, as Space does.
        HWND start = handle(Control::cmdStart);
        if (GetFocus() == start)
            return MAKELRESULT(GetDlgCtrlID(start), DC_HASDEFID);
        return 0;
    }
    case WM_ACTIVATE:
        // A plain window forgets its focused control when a message box takes
        // the focus away; give it back when the window is active again.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(windowHandle, focus))
                lastFocus = focus;
        } else if (lastFocus && IsWindowVisible(lastFocus)) {
            SetFocus(lastFocus);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        game::deliver(*this, [this, wParam, suggested] {
            fitToDpi(HIWORD(wParam));
            SetWindowPos(
                windowHandle, nullptr, suggested.left, suggested.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        });
        return 0;
    }
    case WM_CLOSE:
        // Gone from the screen at once; a game that runs ends at its next
        // pumping, and the program once it has.
        ShowWindow(windowHandle, SW_HIDE);
        closing = true;
        enter([this] { game.closed(); });
        return 0;
    default:
        break;
    }
    return DefWindowProcW(windowHandle, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::boxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // WM_PAINT covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(box, &paint);
        SetDCBrushColor(dc, static_cast<COLORREF>(GetWindowLongPtrW(box, GWLP_USERDATA)));
        FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        EndPaint(box, &paint);
        return 0;
    }
    case WM_LBUTTONDOWN:
        // Counted the moment the button goes down; the focus stays where it is.
        if (auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(GetParent(box), GWLP_USERDATA)))
            self->pressed(box);
        return 0;
    default:
        return DefWindowProcW(box, message, wParam, lParam);
    }
}

void Win32Window::pressed(HWND child)
{
    const auto found = std::find(controls.begin(), controls.end(), child);
    if (child && found != controls.end())
        enter([this, found] {
            game.pressed(layout::Controls.at(static_cast<std::size_t>(found - controls.begin())).control);
        });
}

} // namespace win32ui
