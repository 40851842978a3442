// Reads a message box of another program, from outside it, as Ctrl+C on a
// box copies it on Windows: title, text and buttons between lines of dashes.
// Wine's message boxes copy nothing, so the end-to-end tests ask this.
//
// usage: boxtext.exe TITLE    (status 1 while no such box is up)

#include "win32/text.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::wstring textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

struct Box {
    std::wstring text;
    std::wstring buttons;
};

BOOL CALLBACK collect(HWND child, LPARAM into)
{
    auto& box = *reinterpret_cast<Box*>(into);
    wchar_t kind[16] {};
    GetClassNameW(child, kind, 16);
    const std::wstring text = textOf(child);
    if (text.empty())
        return TRUE;
    if (lstrcmpiW(kind, L"Static") == 0)
        box.text += text;
    else if (lstrcmpiW(kind, L"Button") == 0)
        box.buttons += (box.buttons.empty() ? L"" : L"   ") + text;
    return TRUE;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc != 2)
        return 2;
    // The dialog class of message boxes.
    HWND found = FindWindowW(L"#32770", argv[1]);
    if (!found || !IsWindowVisible(found))
        return 1;
    Box box;
    EnumChildWindows(found, collect, reinterpret_cast<LPARAM>(&box));
    const std::wstring rule = L"---------------------------\n";
    const std::string copied
        = win32ui::narrow(rule + textOf(found) + L"\n" + rule + box.text + L"\n" + rule + box.buttons + L"\n" + rule);
    std::fwrite(copied.data(), 1, copied.size(), stdout);
    return 0;
}
