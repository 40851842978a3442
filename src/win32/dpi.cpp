// The window in pixels at its monitor's DPI: sizes, places and fonts.

#include "game/layout.h"
#include "game/twips.h"
#include "win32/text.h"
#include "win32/win32_window.h"

#include <cmath>
#include <cwchar>
#include <string>
#include <utility>

namespace layout = game::layout;
using game::twipsToPixels;

namespace win32ui {

namespace {

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

    // The labels' face, "Cataneo BT", does not ship with Windows: Palatino
    // Linotype, a serif of the same Renaissance pen lettering on every Windows
    // since 2000, stands in; where that is missing too (Wine), the font mapper
    // picks a serif. Windows has "MS Sans Serif", or maps it to its successor.
    LOGFONTW fontFor(const layout::Font& font, unsigned dpi)
    {
        LOGFONTW wanted {};
        // Negative: the character itself, not its cell, is that many points tall.
        wanted.lfHeight = -static_cast<int>(std::lround(font.points * dpi / 72));
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
        if (!SetWindowPos(handle(at.control), nullptr, places.pixelLeft(at.control, currentDpi),
                places.pixelTop(at.control, currentDpi), twipsToPixels(static_cast<float>(at.width), currentDpi),
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
        SendMessageW(handle(at.control), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The controls hold the new fonts now; the old ones can go.
    std::swap(fonts, controlFonts);
    for (HFONT font : fonts)
        DeleteObject(font);
}

} // namespace win32ui
