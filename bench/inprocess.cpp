#include "bench_runtime.h"
#include "clicker.h"
#include "probe.h"
#include "sections.h"
#include "xinput.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {

using namespace std::chrono_literals;

constexpr double ScaledSeconds = 4;

SteadyClock::time_point post(QWindow* window, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    auto* event = new QMouseEvent(type, at, at, Qt::LeftButton, held, Qt::NoModifier);
    const auto now = SteadyClock::now();
    QCoreApplication::postEvent(window, event);
    return now;
}

// Runs the event loop the way an idle window waits, blocked until something
// arrives, until `done` or the time is up.
void waitIdle(double seconds, const std::function<bool()>& done, const std::function<void()>& watch = {})
{
    QTimer tick; // bounds each wait
    tick.start(50);
    const auto end = SteadyClock::now() + std::chrono::duration<double>(seconds);
    do {
        if (watch)
            watch();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    } while (!done() && SteadyClock::now() < end);
}

struct GameRun {
    double length; // game clock, from the press to the end of the last pass
    double realSeconds; // of it actually played
    long passes;
};

// Picks a difficulty, presses Start and returns once the summary is up. Only
// the game's last `realSeconds` are played: the clock jumps over the rest.
GameRun play(const ZorbleckProbe& probe, BenchRuntime& runtime, const Difficulty& difficulty, double realSeconds)
{
    probe.difficulties().setCurrentRow(difficulty.row, QItemSelectionModel::ClearAndSelect);
    const double skip = GameSeconds - realSeconds;
    runtime.skipAfterNextReading(skip);
    const long draws = runtime.draws;
    const long boxes = runtime.boxes;
    const QPoint start = probe.startButton().geometry().center();
    post(probe.window.windowHandle(), QEvent::MouseButtonPress, start);
    post(probe.window.windowHandle(), QEvent::MouseButtonRelease, start);
    waitIdle(GameSeconds + 10, [&] { return runtime.boxes != boxes; });
    const double length = runtime.readingBeforeBox - runtime.gameStart;
    return { length, length - skip, (runtime.draws - draws) / 10 };
}

struct ClickDelays {
    std::vector<double> idle;
    std::vector<double> game;
};

// Presses on the idle window for two seconds (the reference), then while
// `games` plays, where the game's own pumps deliver them.
ClickDelays clickDelays(Clicker& clicker, BenchRuntime& runtime, const std::function<void()>& games)
{
    ClickDelays delays;
    clicker.start();
    waitIdle(
        2, [] { return false; }, [&] { clicker.watch(); });
    clicker.stop();
    delays.idle = clicker.takeDelays();
    runtime.afterPump = [&] { clicker.watch(); };
    clicker.start();
    games();
    clicker.stop();
    runtime.afterPump = nullptr;
    delays.game = clicker.takeDelays();
    return delays;
}

std::string ms(double pause)
{
    return std::to_string(std::lround(pause * 1000)) + " ms";
}

// CPU and wall time summed over many stretches.
struct Load {
    double cpu = 0, wall = 0;
    template <typename Body>
    void over(BenchRuntime& runtime, Body body)
    {
        const double cpu0 = cpuSeconds(), wall0 = runtime.clock();
        body();
        wall += runtime.clock() - wall0;
        cpu += cpuSeconds() - cpu0;
    }
    double percent() const { return 100 * cpu / wall; }
};

} // namespace

void measurePauses(ZorbleckProbe& probe, BenchRuntime& runtime, Report& report)
{
    // 200 pauses of each length and as many bare waits, interleaved in chunks
    // of ten so both kinds meet the same load on the machine.
    constexpr int Rounds = 20, Chunk = 10;
    struct Series {
        std::vector<double> overshoot, bare, pumps;
    } series[std::size(Difficulties)];
    std::vector<double> pass, repaint, passAndRepaint;
    Load inPauses, inBareWaits;

    probe.showControls(false);
    for (int round = 0; round < Rounds; ++round) {
        for (std::size_t i = 0; i < std::size(Difficulties); ++i) {
            const double pause = Difficulties[i].pause;
            for (int k = 0; k < Chunk; ++k) {
                const auto passStart = SteadyClock::now();
                probe.pass();
                pass.push_back(microseconds(SteadyClock::now() - passStart));
                const long pumps = runtime.pumps;
                runtime.timeNextPump = true;
                double start = 0, end = 0;
                inPauses.over(runtime, [&] {
                    start = runtime.clock();
                    probe.window.TimeOut(pause);
                    end = runtime.clock();
                });
                series[i].overshoot.push_back((end - start - pause) * 1e6);
                series[i].pumps.push_back(static_cast<double>(runtime.pumps - pumps));
                repaint.push_back(runtime.lastTimedPumpUs);
                passAndRepaint.push_back(pass.back() + repaint.back());
            }
            for (int k = 0; k < Chunk; ++k) {
                double start = 0, end = 0;
                inBareWaits.over(runtime, [&] {
                    start = runtime.clock();
                    while (runtime.clock() - start < pause) { }
                    end = runtime.clock();
                });
                series[i].bare.push_back((end - start - pause) * 1e6);
            }
        }
    }
    probe.showControls(true);

    for (std::size_t i = 0; i < std::size(Difficulties); ++i) {
        const std::string name = "pause " + ms(Difficulties[i].pause);
        report.add(name + ": TimeOut overshoot", "us", series[i].overshoot).asDelays().atMost(Goal::Median, 10);
        report.reference("bare busy-wait on the same clock", "us", series[i].bare).asDelays();
        report.add(name + ": pumps per pause", "pumps", series[i].pumps);
    }
    report.add("CPU over the TimeOut pauses", "%core", { inPauses.percent() });
    report.reference("over the bare busy-waits", "%core", { inBareWaits.percent() });
    report.add("pass: draws, moves, recolour", "us", pass).asDelays().atMost(Goal::Median, 150);
    report.add("repaint after the moves (first pump)", "us", repaint).asDelays();
    report.add("pass with its repaint", "us", passAndRepaint).asDelays().atMost(Goal::Median, 1000);
}

void measureGames(ZorbleckProbe& probe, BenchRuntime& runtime, bool full, Report& report)
{
    QWindow* window = probe.window.windowHandle();
    Clicker clicker(
        probe, [window](QPoint at) { return post(window, QEvent::MouseButtonPress, at); },
        [window](QPoint at) { post(window, QEvent::MouseButtonRelease, at); });

    const double played = full ? GameSeconds : ScaledSeconds;
    std::vector<GameRun> runs;
    const ClickDelays clicks = clickDelays(clicker, runtime, [&] {
        for (const Difficulty& d : Difficulties)
            runs.push_back(play(probe, runtime, d, played));
    });

    report.add("click, posted, to counted: in a game", "us", clicks.game)
        .asDelays()
        .atMost(Goal::Median, 200)
        .atMost(Goal::P90, 500);
    report.reference("the same on the idle window", "us", clicks.idle).asDelays();
    report.note("posted clicks missed (box gone when delivered): " + std::to_string(clicker.missed()));
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const double ideal = GameSeconds / Difficulties[i].pause;
        const double perGame = static_cast<double>(runs[i].passes) * GameSeconds / runs[i].realSeconds;
        report.add(std::string("passes per 46 s, ") + Difficulties[i].name, "passes", { perGame })
            .atLeast(Goal::Median, 0.98 * ideal);
        report.reference("ideal: 46 s / pause", "passes", { ideal });
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const double pause = 1000 * Difficulties[i].pause;
        report
            .add(std::string("game length past 46 s, ") + Difficulties[i].name, "ms",
                { 1000 * (runs[i].length - GameSeconds) })
            .atMost(Goal::Median, pause);
        report.reference("one pause", "ms", { pause });
    }
    if (!full)
        report.note("passes and game lengths come from each game's last " + std::to_string(int(played))
            + " s; the clock jumps over the rest (--full plays whole games)");
}

// Runs in a child process on Xvfb: real pointer input through XTest, counted
// by the window; prints the delays for the parent to report.
int xtestChild(ZorbleckProbe& probe, BenchRuntime& runtime)
{
    Display* x = xin_open(nullptr);
    if (!x)
        return 1;
    const QPoint origin = probe.window.mapToGlobal(QPoint(0, 0));
    Clicker clicker(
        probe,
        [x, origin](QPoint at) {
            xin_move(x, origin.x() + at.x(), origin.y() + at.y());
            std::this_thread::sleep_for(2ms); // the motion is handled before the press
            const auto now = SteadyClock::now();
            xin_button(x, 1);
            return now;
        },
        [x](QPoint) { xin_button(x, 0); });
    const ClickDelays clicks
        = clickDelays(clicker, runtime, [&] { play(probe, runtime, Difficulties[0], ScaledSeconds); });
    const auto print = [](const char* key, const std::vector<double>& values) {
        std::printf("%s", key);
        for (const double v : values)
            std::printf(" %.3f", v);
        std::printf("\n");
    };
    print("game", clicks.game);
    print("idle", clicks.idle);
    std::printf("missed %d\n", clicker.missed());
    xin_close(x);
    return 0;
}
