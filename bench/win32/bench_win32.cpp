// Figures for the Windows front end: the real window and the game's own
// pause, on Windows or under Wine. Prints them for bench/report.py; asserts
// nothing.
//
// usage: zorbleck_bench.exe [zorbleck.exe]   (its size is printed too)

#include "game/pauses.h"
#include "report.h"
#include "support/probe.h"
#include "win32/win32_window.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using game::Control;

// The window with every clock reading and every pump the game makes
// counted, and a hook after each pump.
class Measured final : public win32ui::Win32Window {
public:
    using Win32Window::Win32Window;

    double clock() override
    {
        lastReading = Win32Window::clock();
        if (firstReading < 0)
            firstReading = lastReading;
        return lastReading;
    }
    void pumpEvents() override
    {
        Win32Window::pumpEvents();
        ++pumps;
        if (afterPump)
            afterPump();
    }

    double firstReading = -1;
    double lastReading = 0;
    long pumps = 0;
    std::function<void()> afterPump;
};

std::string milliseconds(double seconds)
{
    return std::to_string(std::lround(seconds * 1000)) + " ms";
}

void pauses(Measured& window, const ZorbleckProbe& game, Report& report)
{
    // 200 pauses of the shortest, 30 of the others.
    for (const game::Pause& pause : game::Pauses) {
        const double duration = pause.seconds;
        std::vector<double> overshoots;
        std::vector<double> pumpCounts;
        std::vector<double> passCosts;
        for (int i = 0; i < (duration < 0.1 ? 200 : 30); ++i) {
            window.firstReading = -1;
            window.pumps = 0;
            game.timeOut(duration);
            const double took = window.lastReading - window.firstReading;
            overshoots.push_back((took - duration) * 1e6);
            pumpCounts.push_back(static_cast<double>(window.pumps));
            passCosts.push_back(took * 1e6 / static_cast<double>(std::max(window.pumps, 1L)));
        }
        const std::string name = "pause " + milliseconds(duration);
        report.add(name + ": TimeOut overshoot", "us", overshoots).asDelays().atMost(Goal::Median, 50);
        report.add(name + ": pumps per pause", "pumps", pumpCounts);
        report.add(name + ": one pass (clock + pump)", "us", passCosts);
    }
}

void emptyPumps(win32ui::Win32Window& window, Report& report)
{
    std::vector<double> costs;
    for (int i = 0; i < 2000; ++i) {
        const double start = window.Win32Window::clock();
        window.Win32Window::pumpEvents();
        costs.push_back((window.Win32Window::clock() - start) * 1e6);
    }
    report.add("a pump with nothing waiting", "us", costs);
}

// A second thread posts presses on the red box, as the system queues a
// player's, at irregular gaps; the delay runs to the pump after which the
// game's red counter has risen.
void clicks(Measured& window, const ZorbleckProbe& game, Report& report)
{
    HWND red = window.handle(Control::pct);
    std::mutex lock;
    double postedAt = -1;
    std::vector<double> delays;
    int lastRed = game.redScore();
    window.afterPump = [&] {
        const int now = game.redScore();
        if (now == lastRed)
            return;
        lastRed = now;
        const std::lock_guard held(lock);
        if (postedAt >= 0)
            delays.push_back((window.Win32Window::clock() - postedAt) * 1e6);
        postedAt = -1;
    };
    std::atomic<bool> stop = false;
    std::thread presser([&] {
        std::minstd_rand gaps(7);
        while (!stop) {
            std::this_thread::sleep_for(std::chrono::microseconds(3000 + gaps() % 5000));
            const std::lock_guard held(lock);
            if (postedAt >= 0)
                continue; // the last one is not counted yet
            postedAt = window.Win32Window::clock();
            PostMessageW(red, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            PostMessageW(red, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        }
    });
    for (int i = 0; i < 60; ++i)
        game.timeOut(game::Pauses.back().seconds);
    stop = true;
    presser.join();
    window.afterPump = nullptr;
    report.add("click, posted, to counted: in a game", "us", delays).asDelays();
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    Measured window(GetModuleHandleW(nullptr));
    const ZorbleckProbe game { window.zorbleck() };
    // No greeting: nobody is there to close its boxes.
    window.show(SW_SHOWNOACTIVATE);

    std::printf("Zorbleck on Win32, %u dpi\n", window.dpi());
    Report report;
    if (argc > 1) {
        WIN32_FILE_ATTRIBUTE_DATA file;
        if (GetFileAttributesExW(argv[1], GetFileExInfoStandard, &file))
            report.add("the program", "KB", { file.nFileSizeLow / 1024.0 }).atMost(Goal::Median, 256);
    }
    RECT client;
    GetClientRect(window.window(), &client);
    std::printf("The window: client area %ldx%ld pixels, outer size %.0fx%.0f twips as Windows reports it\n",
        client.right, client.bottom, static_cast<double>(window.outerWidth()),
        static_cast<double>(window.outerHeight()));
    emptyPumps(window, report);
    pauses(window, game, report);
    clicks(window, game, report);
    report.print(stdout);
    return 0;
}
