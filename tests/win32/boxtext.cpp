// Reads a message box of another program, from outside it, as Ctrl+C on a
// box copies it on Windows: title, text and buttons between lines of dashes.
// Wine's message boxes copy nothing, so the end-to-end tests ask this.
//
// usage: boxtext.exe TITLE    (status 1 while no such box is up)

#include "boxtext.h"
#include "win32/text.h"

#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t* argv[])
{
    if (argc != 2)
        return 2;
    // The dialog class of message boxes.
    HWND found = FindWindowW(L"#32770", argv[1]);
    if (!found || !IsWindowVisible(found))
        return 1;
    const boxtext::Box box = boxtext::read(found);
    const std::wstring rule = L"---------------------------\n";
    const std::string copied = win32ui::narrow(
        rule + boxtext::textOf(found) + L"\n" + rule + box.text + L"\n" + rule + box.buttons + L"\n" + rule);
    std::fwrite(copied.data(), 1, copied.size(), stdout);
    return 0;
}
