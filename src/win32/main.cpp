// Zorbleck on Windows: one window, its game, and the message loop.

#include "game/layout.h"
#include "win32/text.h"
#include "win32/win32_window.h"

#include <windows.h>

#include <exception>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int nShowCmd)
{
    try {
        win32ui::Win32Window window(hInstance);
        window.load();
        window.show(nShowCmd);

        // Closing the window posts the quit that ends this loop, once the
        // game's handler that ran (a game, say) has returned.
        MSG message;
        BOOL got = 0;
        while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
            window.dispatch(message);
        return got == 0 ? static_cast<int>(message.wParam) : 1;
    } catch (const std::exception& error) {
        // No window to play in: say why, once.
        MessageBoxW(nullptr, win32ui::widen(error.what()).c_str(),
            win32ui::widen(game::layout::ApplicationName).c_str(), MB_OK);
        return 1;
    }
}
