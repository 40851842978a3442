#pragma once

// What a message box of any program says, read from outside it: the text of
// its static children, and its buttons' captions.

#include <windows.h>

#include <string>

namespace boxtext {

inline std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct Box {
    std::wstring text;
    std::wstring buttons;
};

inline Box read(HWND found)
{
    Box box;
    EnumChildWindows(
        found,
        [](HWND child, LPARAM into) -> BOOL {
            auto& seen = *reinterpret_cast<Box*>(into);
            wchar_t kind[16] {};
            GetClassNameW(child, kind, 16);
            const std::wstring text = textOf(child);
            if (!text.empty() && lstrcmpiW(kind, L"Static") == 0)
                seen.text += text;
            else if (!text.empty() && lstrcmpiW(kind, L"Button") == 0)
                seen.buttons += (seen.buttons.empty() ? L"" : L"   ") + text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    return box;
}

} // namespace boxtext
