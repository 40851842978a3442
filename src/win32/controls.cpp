// The window and its seven controls, made once as the layout gives them.

#include "game/layout.h"
#include "win32/text.h"
#include "win32/win32_window.h"

#include <string>

namespace layout = game::layout;
using game::Control;

namespace win32ui {

namespace {

    constexpr wchar_t WindowClass[] = L"ZorbleckWindow";
    constexpr wchar_t BoxClass[] = L"ZorbleckBox";
    // The program's icon in zorbleck.rc.
    constexpr int IconId = 1;
    // A control's ID is its place in the layout after this.
    constexpr int FirstControlId = 100;

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

    // No CS_DBLCLKS: the second press of a double click comes as a press too,
    // and a box counts every press.
    WNDCLASSEXW boxClass {};
    boxClass.cbSize = sizeof boxClass;
    boxClass.lpfnWndProc = boxProc;
    boxClass.hInstance = instance;
    boxClass.hCursor = windowClass.hCursor;
    boxClass.lpszClassName = BoxClass;
    for (const WNDCLASSEXW* registering : { &windowClass, &boxClass }) {
        if (!RegisterClassExW(registering) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            fail("The window class could not be registered");
    }

    // The size and places come once the window knows its monitor's DPI.
    windowHandle = CreateWindowExW(WindowExStyle, WindowClass, widen(layout::Caption).c_str(), WindowStyle,
        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!windowHandle)
        fail("The game's window could not be created");
    createControls(instance);
    fitToDpi(GetDpiForWindow(windowHandle));
}

Win32Window::~Win32Window()
{
    // Its messages reach the game no more.
    SetWindowLongPtrW(windowHandle, GWLP_USERDATA, 0);
    DestroyWindow(windowHandle);
    for (HFONT font : controlFonts)
        DeleteObject(font);
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
        std::wstring caption;
        switch (at.kind) {
        case layout::Kind::Box:
            windowClass = BoxClass;
            style |= WS_TABSTOP;
            // Never drawn; a screen reader names the box by it.
            caption = widen(at.accessibleName);
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
            caption = widen(layout::StartCaption);
            break;
        case layout::Kind::Label:
            // Left-aligned, wrapped at words, cut off below; "&" is no mnemonic.
            windowClass = L"STATIC";
            style |= SS_LEFT | SS_NOPREFIX;
            break;
        }
        const auto id = static_cast<INT_PTR>(FirstControlId) + static_cast<INT_PTR>(i);
        HWND made = CreateWindowExW(exStyle, windowClass, caption.c_str(), style, 0, 0, 0, 0, windowHandle,
            reinterpret_cast<HMENU>(id), instance, nullptr);
        if (!made)
            fail("A control of the game's window could not be created");
        controls.at(i) = made;
        if (at.kind == layout::Kind::Box)
            SetWindowLongPtrW(made, GWLP_USERDATA, RGB(at.color.red, at.color.green, at.color.blue));
    }

    for (const char* entry : layout::Difficulties) {
        if (SendMessageW(handle(Control::lst1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(entry).c_str())) < 0)
            fail("The list of difficulties could not be filled");
    }

    // Stack the controls top first; Tab follows the same order.
    HWND above = HWND_TOP;
    for (Control next : layout::tabOrder()) {
        SetWindowPos(handle(next), above, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        above = handle(next);
    }
}

} // namespace win32ui
