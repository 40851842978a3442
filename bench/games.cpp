#include "bench_window.h"
#include "clicker.h"
#include "measurements.h"
#include "support/probe.h"

#include <QApplication>
#include <QTimer>
#include <QWindow>

#include <cmath>
#include <set>

#include <sys/resource.h>

namespace {

// Seconds played of each game in a routine run; milliseconds of each soak game.
constexpr double ScaledSeconds = 6;
constexpr int SoakGames = 200, SoakMs = 250;

double secondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// The share of a core the window's thread used while `body` ran.
template <typename Body>
double cpuPercent(Body body)
{
    const double cpu = threadCpuSeconds();
    const auto start = SteadyClock::now();
    body();
    return 100 * (threadCpuSeconds() - cpu) / secondsSince(start);
}

struct GameRun {
    double length; // game clock, from the press to the end of the last pass
    double realSeconds; // of it actually played
    long passes;
};

// Picks the difficulty and clicks Start, which returns once the game is over.
// Only its last `realSeconds` are played: the clock jumps over the rest.
GameRun play(BenchWindow& window, const Pause& pause, double realSeconds)
{
    const double skip = game::GameLength - realSeconds;
    window.skipAfterNextReading(skip);
    const long draws = window.draws;
    window.play(pause.difficulty);
    const double length = window.readingBeforeBox - window.gameStart;
    return { length, length - skip, (window.draws - draws) / 10 };
}

// Two seconds of presses on the idle window, whose event loop sleeps until
// an event comes.
std::vector<double> idleDelays(Clicker& clicker)
{
    QTimer tick; // ends the last wait
    tick.start(50);
    clicker.start();
    for (const auto start = SteadyClock::now(); secondsSince(start) < 2;) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        clicker.watch();
    }
    clicker.stop();
    return clicker.takeDelays();
}

// Every QObject reachable from the application object, the top-level widgets
// (hidden ones too) and the windows, each counted once.
double liveObjects()
{
    std::set<const QObject*> seen;
    const auto add = [&seen](const QObject* root) {
        seen.insert(root);
        for (const QObject* child : root->findChildren<QObject*>())
            seen.insert(child);
    };
    add(qApp);
    for (const QWidget* widget : QApplication::topLevelWidgets())
        add(widget);
    for (const QWindow* window : QGuiApplication::allWindows())
        add(window);
    return static_cast<double>(seen.size());
}

double peakRssMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

} // namespace

void soak(const ZorbleckProbe& probe, BenchWindow& window, Report& report)
{
    Clicker clicker(probe, window);
    window.afterPump = [&clicker] { clicker.watch(); };
    clicker.start();
    const double objectsBefore = liveObjects();
    double peakAfter10 = NAN;
    std::size_t counted = 0;
    for (int game = 1; game <= SoakGames; ++game) {
        play(window, Pauses.at(game % Pauses.size()), SoakMs / 1000.0);
        // What the bench itself records must not grow from game to game.
        window.passUs.clear();
        window.repaintUs.clear();
        counted += clicker.takeDelays().size();
        if (game == 10)
            peakAfter10 = peakRssMiB();
    }
    clicker.stop();
    window.afterPump = nullptr;

    report.add("soak: peak RSS after game 200", "MiB", { peakRssMiB() }).atMost(Goal::Median, peakAfter10 + 1);
    report.reference("after game 10", "MiB", { peakAfter10 });
    report.add("soak: live QObjects after game 200", "objects", { liveObjects() })
        .atMost(Goal::Median, objectsBefore)
        .atLeast(Goal::Median, objectsBefore);
    report.reference("before game 1", "objects", { objectsBefore });
    report.note("soak: " + std::to_string(SoakGames) + " games, the last " + std::to_string(SoakMs)
        + " ms of each played, " + std::to_string(counted) + " presses on the red box counted");
}

void measureGames(const ZorbleckProbe& probe, BenchWindow& window, bool full, double bareCpu, Report& report)
{
    Clicker clicker(probe, window);
    const std::vector<double> idleClicks = idleDelays(clicker);

    // The same presses through three games, delivered by their pauses.
    const double played = full ? game::GameLength : ScaledSeconds;
    std::vector<GameRun> runs;
    window.passUs.clear();
    window.repaintUs.clear();
    window.afterPump = [&clicker] { clicker.watch(); };
    clicker.start();
    const double gameCpu = cpuPercent([&] {
        for (const Pause& p : Pauses)
            runs.push_back(play(window, p, played));
    });
    clicker.stop();
    window.afterPump = nullptr;

    // Between games the window waits for Start in the real event loop.
    const double idleCpu = cpuPercent([] {
        QEventLoop idle;
        QTimer::singleShot(3000, &idle, &QEventLoop::quit);
        idle.exec();
    });

    report.add("click, posted, to counted: in a game", "us", clicker.takeDelays())
        .asDelays()
        .atMost(Goal::Median, 200)
        .atMost(Goal::P90, 500);
    report.reference("the same on the idle window", "us", idleClicks).asDelays();
    std::vector<double> passAndRepaint = window.passUs;
    for (std::size_t i = 0; i < passAndRepaint.size(); ++i)
        passAndRepaint[i] += window.repaintUs[i];
    report.add("pass: top to first pump of its pause", "us", window.passUs).asDelays().atMost(Goal::Median, 150);
    report.add("repaint after the moves (that pump)", "us", window.repaintUs).asDelays();
    report.add("pass with its repaint", "us", passAndRepaint).asDelays().atMost(Goal::Median, 1000);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Pause& p = Pauses.at(i);
        const double perGame = static_cast<double>(runs[i].passes) * game::GameLength / runs[i].realSeconds;
        report.add(std::string("passes per 46 s, ") + p.difficulty, "passes", { perGame })
            .atLeast(Goal::Median, 0.98 * game::GameLength / p.seconds);
        report.reference("ideal: 46 s / pause", "passes", { game::GameLength / p.seconds });
        report
            .add(std::string("game length past 46 s, ") + p.difficulty, "ms",
                { 1000 * (runs[i].length - game::GameLength) })
            .atMost(Goal::Median, 1000 * p.seconds);
        report.reference("one pause", "ms", { 1000 * p.seconds });
    }
    report.add("CPU during a game, window's thread", "%core", { gameCpu });
    report.reference("bare busy-wait, same thread", "%core", { bareCpu });
    report.add("CPU idle between games, window's thread", "%core", { idleCpu }).atMost(Goal::Median, 1);
    report.note("posted presses not counted within 200 ms (the box moved off, or a summary box was up): "
        + std::to_string(clicker.missed()));
    if (!full)
        report.note("passes and game lengths come from each game's last " + std::to_string(int(played))
            + " s; the clock jumps over the rest (--full plays whole games)");
}
