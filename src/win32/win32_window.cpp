#include "win32/win32_window.h"

#include "game/deliver.h"
#include "game/layout.h"
#include "game/twips.h"
#include "win32/text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cwchar>
#include <stdexcept>
#include <string>

namespace layout = game::layout;
using game::Control;
using game::pixelsToTwips;
using game::twipsToPixels;

namespace win32ui {

namespace {

    constexpr wchar_t WindowClass[] = L"ZorbleckWindow";
    constexpr wchar_t BoxClass[] = L"ZorbleckBox";
    // The program's icon in zorbleck.rc.
    constexpr int IconId = 1;
    // A control's ID is its place in the layout after this.
    constexpr int FirstControlId = 100;

    // A fixed size: a caption with the system menu and minimise, no sizing
    // border, no maximise. The children paint themselves; the window's
    // background never paints over them.
    constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    constexpr DWORD WindowExStyle = 0;

    std::size_t indexOf(Control control)
    {
        return static_cast<std::size_t>(control);
    }

    // A font's height as CreateFont takes it: negative, so that the character
    // itself, not its cell, is that many points tall.
    int fontHeight(double points, unsigned dpi)
    {
        return -static_cast<int>(std::lround(points * dpi / 72));
    }

    [[noreturn]] void fail(const char* what)
    {
        throw std::runtime_error(std::string(what) + " (Windows error " + std::to_string(GetLastError()) + ").");
    }

    void registerClass(const WNDCLASSEXW& windowClass)
    {
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            fail("The window class could not be registered");
    }

    bool installed(const wchar_t* face)
    {
        LOGFONTW wanted {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
        bool found = false;
        HDC screen = GetDC(nullptr);
        EnumFontFamiliesExW(
            screen, &wanted,
            [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
                *reinterpret_cast<bool*>(seen) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&found), 0);
        ReleaseDC(nullptr, screen);
        return found;
    }

    // The labels' face is Bitstream's "Cataneo BT", a chancery hand that
    // Windows does not ship. Where it is missing, Palatino Linotype stands in:
    // a serif drawn from the same Renaissance pen lettering, on every Windows
    // since 2000. Where that is missing too (Wine), the font mapper picks a
    // serif of its own from the family asked for. "MS Sans Serif" needs no
    // help: Windows has it, or maps the name to Microsoft Sans Serif itself.
    LOGFONTW fontFor(const layout::Font& font, unsigned dpi)
    {
        LOGFONTW wanted {};
        wanted.lfHeight = fontHeight(font.points, dpi);
        wanted.lfWeight = FW_NORMAL;
        wanted.lfCharSet = ANSI_CHARSET;
        wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
        std::wstring face = widen(font.face);
        if (face == L"Cataneo BT" && !installed(face.c_str())) {
            face = L"Palatino Linotype";
            wanted.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
        }
        wcsncpy(wanted.lfFaceName, face.c_str(), LF_FACESIZE - 1);
        return wanted;
    }

} // namespace

Win32Window::Win32Window(HINSTANCE instance, std::unique_ptr<game::RandomSource> chance)
    : game(*this, std::move(chance))
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    ticksPerSecond = static_cast<double>(frequency.QuadPart);
    QueryPerformanceCounter(&epoch);

    // The standard face colour until the game sets one.
    backBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    if (!backBrush)
        fail("The window's background could not be made");

    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IconId));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IconId), IMAGE_ICON,
        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    windowClass.lpszClassName = WindowClass;
    registerClass(windowClass);

    // No CS_DBLCLKS: the second press of a double click comes as a press too,
    // and a box counts every press.
    WNDCLASSEXW boxClass {};
    boxClass.cbSize = sizeof boxClass;
    boxClass.lpfnWndProc = boxProc;
    boxClass.hInstance = instance;
    boxClass.hCursor = windowClass.hCursor;
    boxClass.lpszClassName = BoxClass;
    registerClass(boxClass);

    // The size comes once the window knows its monitor's DPI.
    CreateWindowExW(WindowExStyle, WindowClass, widen(layout::Caption).c_str(), WindowStyle, CW_USEDEFAULT,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!windowHandle)
        fail("The game's window could not be created");
    createControls(instance);
    fitToDpi(GetDpiForWindow(windowHandle));
}

Win32Window::~Win32Window()
{
    if (windowHandle) {
        SetWindowLongPtrW(windowHandle, GWLP_USERDATA, 0);
        DestroyWindow(windowHandle);
    }
    freeFonts();
    DeleteObject(backBrush);
}

void Win32Window::createControls(HINSTANCE instance)
{
    for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
        const layout::ControlLayout& at = layout::Controls.at(i);
        // Siblings clip one another, so the one on top is the one seen.
        DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
        DWORD exStyle = 0;
        const wchar_t* windowClass = nullptr;
        std::wstring text;
        switch (at.kind) {
        case layout::Kind::Box:
            windowClass = BoxClass;
            style |= WS_TABSTOP;
            // Never drawn; a screen reader names the box by it.
            text = widen(at.accessibleName);
            break;
        case layout::Kind::List:
            // One selection at most, entries in the order added, and exactly
            // the layout's height rather than a whole number of rows.
            windowClass = L"LISTBOX";
            style |= WS_TABSTOP | LBS_NOINTEGRALHEIGHT;
            exStyle = WS_EX_CLIENTEDGE;
            break;
        case layout::Kind::Button:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            text = widen(layout::StartCaption);
            break;
        case layout::Kind::Label:
            // Left-aligned, wrapped at words, cut off below; "&" is no mnemonic.
            windowClass = L"STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        }
        const auto id = static_cast<INT_PTR>(FirstControlId + static_cast<int>(i));
        HWND control = CreateWindowExW(exStyle, windowClass, text.c_str(), style, 0, 0, 0, 0, windowHandle,
            reinterpret_cast<HMENU>(id), instance, nullptr);
        if (!control)
            fail("A control of the game's window could not be created");
        controls.at(i) = control;
        places.at(i) = { static_cast<float>(at.left), static_cast<float>(at.top) };
        if (at.kind == layout::Kind::Box)
            SetWindowLongPtrW(control, GWLP_USERDATA, RGB(at.color.red, at.color.green, at.color.blue));
    }

    HWND list = controls.at(indexOf(Control::lst1));
    for (const char* entry : layout::Difficulties) {
        if (SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry).c_str())) < 0)
            fail("The list of difficulties could not be filled");
    }

    // Stack the controls top first; Tab follows the same order.
    HWND above = HWND_TOP;
    for (Control control : layout::tabOrder()) {
        SetWindowPos(controls.at(indexOf(control)), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = controls.at(indexOf(control));
    }
}

// Everything in pixels follows from the twips and the monitor's DPI: the
// client area, every control's place and size, and the fonts.
void Win32Window::fitToDpi(unsigned dpi)
{
    currentDpi = dpi ? dpi : game::StandardDpi;
    RECT outer { 0, 0, twipsToPixels(layout::ClientWidth, currentDpi),
        twipsToPixels(layout::ClientHeight, currentDpi) };
    if (!AdjustWindowRectExForDpi(&outer, WindowStyle, FALSE, WindowExStyle, currentDpi))
        fail("The window's frame could not be measured");
    if (!SetWindowPos(windowHandle, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        fail("The game's window could not be sized");
    for (const layout::ControlLayout& at : layout::Controls) {
        const Place& place = places.at(indexOf(at.control));
        if (!SetWindowPos(controls.at(indexOf(at.control)), nullptr, twipsToPixels(place.left, currentDpi),
                twipsToPixels(place.top, currentDpi), twipsToPixels(static_cast<float>(at.width), currentDpi),
                twipsToPixels(static_cast<float>(at.height), currentDpi), SWP_NOZORDER | SWP_NOACTIVATE))
            fail("A control could not be placed");
    }
    makeFonts();
}

void Win32Window::makeFonts()
{
    // The platform's default user-interface font is the one message boxes use.
    NONCLIENTMETRICSW metrics {};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, currentDpi))
        fail("The system's font could not be read");

    std::array<HFONT, 7> fonts {};
    for (const layout::ControlLayout& at : layout::Controls) {
        if (at.kind == layout::Kind::Box)
            continue;
        const LOGFONTW wanted = at.font.face ? fontFor(at.font, currentDpi) : metrics.lfMessageFont;
        HFONT font = CreateFontIndirectW(&wanted);
        if (!font)
            fail("A font could not be made");
        fonts.at(indexOf(at.control)) = font;
        SendMessageW(controls.at(indexOf(at.control)), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The controls hold the new fonts now; the old ones can go.
    std::swap(fonts, controlFonts);
    for (HFONT font : fonts)
        DeleteObject(font);
}

void Win32Window::freeFonts()
{
    for (HFONT& font : controlFonts) {
        DeleteObject(font);
        font = nullptr;
    }
}

void Win32Window::load()
{
    game.loaded();
}

void Win32Window::show(int showCommand)
{
    HWND start = live(Control::cmdStart);
    lastFocus = start;
    ShowWindow(windowHandle, showCommand);
    UpdateWindow(windowHandle);
    SetFocus(start);
}

void Win32Window::dispatch(MSG& message)
{
    if (!windowHandle || !IsDialogMessageW(windowHandle, &message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

HWND Win32Window::control(Control control) const
{
    return controls.at(indexOf(control));
}

// After the player has closed the window there is nothing left to read or
// write: the call fails, and the handler ends.
HWND Win32Window::live(Control control) const
{
    HWND found = controls.at(indexOf(control));
    if (!windowHandle || !found)
        throw std::runtime_error("The game's window is closed.");
    return found;
}

LRESULT CALLBACK Win32Window::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Win32Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->windowHandle = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        self->windowHandle = nullptr;
        self->controls = {};
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->onMessage(message, wParam, lParam);
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
        HWND start = controls.at(indexOf(Control::cmdStart));
        if (start && GetFocus() == start)
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
        // The game that runs ends at its next pumping; the program with it.
        game.closed();
        DestroyWindow(windowHandle);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
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
        game.pressed(layout::Controls.at(static_cast<std::size_t>(found - controls.begin())).control);
}

// A minimised window reports the size of its icon: the game's boxes go by
// the size it has when the player restores it.
RECT Win32Window::outerRect() const
{
    RECT outer;
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    if (windowHandle && IsIconic(windowHandle) && GetWindowPlacement(windowHandle, &placement))
        return placement.rcNormalPosition;
    if (!windowHandle || !GetWindowRect(windowHandle, &outer))
        fail("The window's size could not be read");
    return outer;
}

float Win32Window::outerWidth()
{
    const RECT outer = outerRect();
    return pixelsToTwips(outer.right - outer.left, currentDpi);
}

float Win32Window::outerHeight()
{
    const RECT outer = outerRect();
    return pixelsToTwips(outer.bottom - outer.top, currentDpi);
}

void Win32Window::setBackColor(game::Color color)
{
    if (!windowHandle)
        fail("The window is closed");
    HBRUSH brush = CreateSolidBrush(RGB(color.red, color.green, color.blue));
    if (!brush)
        fail("The window's background could not be made");
    DeleteObject(backBrush);
    backBrush = brush;
    InvalidateRect(windowHandle, nullptr, TRUE);
}

float Win32Window::top(Control control)
{
    live(control);
    return places.at(indexOf(control)).top;
}

float Win32Window::left(Control control)
{
    live(control);
    return places.at(indexOf(control)).left;
}

float Win32Window::width(Control control)
{
    RECT outer;
    if (!GetWindowRect(live(control), &outer))
        fail("A control's size could not be read");
    return pixelsToTwips(outer.right - outer.left, currentDpi);
}

float Win32Window::height(Control control)
{
    RECT outer;
    if (!GetWindowRect(live(control), &outer))
        fail("A control's size could not be read");
    return pixelsToTwips(outer.bottom - outer.top, currentDpi);
}

void Win32Window::setTop(Control control, float twips)
{
    live(control);
    places.at(indexOf(control)).top = twips;
    moveControl(control);
}

void Win32Window::setLeft(Control control, float twips)
{
    live(control);
    places.at(indexOf(control)).left = twips;
    moveControl(control);
}

void Win32Window::moveControl(Control control)
{
    const Place& place = places.at(indexOf(control));
    if (!SetWindowPos(live(control), nullptr, twipsToPixels(place.left, currentDpi),
            twipsToPixels(place.top, currentDpi), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
        fail("A control could not be moved");
}

// The control's own flag: the window around it may still be hidden.
bool Win32Window::visible(Control control)
{
    return (GetWindowLongPtrW(live(control), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32Window::setVisible(Control control, bool visible)
{
    ShowWindow(live(control), visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Window::setCaption(Control control, const std::string& text)
{
    if (!SetWindowTextW(live(control), widen(text).c_str()))
        fail("A caption could not be written");
}

std::string Win32Window::text(Control control)
{
    HWND found = live(control);
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
    // The player closed the window; the game promised to show nothing more.
    if (!windowHandle)
        return;
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
