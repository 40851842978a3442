#include "bench_runtime.h"
#include "sections.h"
#include "xinput.h"

#include <cmath>
#include <csignal>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using namespace std::chrono_literals;

constexpr const char* BoxTitle = "Zorbleck!";
constexpr const char* WindowTitle = "Vemmo's Zorbleck!";
constexpr const char* SummaryTitle = "Zorbleck";
constexpr int StartupRuns = 10;
constexpr double ScriptedPlaySeconds = 6;

double secondsSince(SteadyClock::time_point start)
{
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// Starts a program on our Xvfb with Qt on its X11 platform; `out`, when
// given, becomes its standard output.
pid_t spawn(const std::vector<std::string>& command, const std::string& display, int out = -1, bool quiet = false)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view var = *e;
        if (!var.starts_with("DISPLAY=") && !var.starts_with("QT_QPA_PLATFORM=")
            && !var.starts_with("WAYLAND_DISPLAY="))
            env.emplace_back(var);
    }
    env.push_back("DISPLAY=" + display);
    env.emplace_back("QT_QPA_PLATFORM=xcb");
    const auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> p;
        for (std::string& s : strings)
            p.push_back(s.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<std::string> args = command;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    if (quiet)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, pointers(args).data(), pointers(env).data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Waits up to `seconds` for the process to end, then kills it; returns its
// peak resident memory in MiB.
double reap(pid_t pid, double seconds)
{
    rusage usage {};
    int status = 0;
    const auto start = SteadyClock::now();
    while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (secondsSince(start) > seconds) {
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    return static_cast<double>(usage.ru_maxrss) / 1024;
}

// Everything the process has written to `fd` until it closes.
std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

// A private X server for the run, with a black root (see xin_find). It
// takes the first free display, telling of each busy one on stderr: quiet.
struct Xvfb {
    pid_t pid = -1;
    std::string display;

    Xvfb()
    {
        int pipe[2];
        if (pipe2(pipe, O_CLOEXEC) != 0)
            return;
        pid = spawn({ "Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-br", "-nolisten", "tcp" }, "",
            pipe[1], true);
        close(pipe[1]);
        std::string number;
        for (char c; read(pipe[0], &c, 1) == 1 && c != '\n';)
            number += c;
        close(pipe[0]);
        if (!number.empty())
            display = ":" + number;
    }
    ~Xvfb()
    {
        if (pid > 0) {
            kill(pid, SIGTERM);
            reap(pid, 5);
        }
    }
};

// Percent of one core the process used while `during` ran.
double cpuPercent(pid_t pid, const std::function<void()>& during)
{
    const double cpu = cpuSeconds(pid);
    const auto start = SteadyClock::now();
    during();
    return 100 * (cpuSeconds(pid) - cpu) / secondsSince(start);
}

unsigned long waitForWindow(Display* x, const char* title, double seconds)
{
    const auto start = SteadyClock::now();
    for (; secondsSince(start) < seconds; std::this_thread::sleep_for(1ms))
        if (const unsigned long window = xin_find(x, title, 1))
            return window;
    return 0;
}

// From the process's start to its first message box painted on screen.
double startupMs(Display* x, const std::string& display, const char* program)
{
    const auto start = SteadyClock::now();
    const pid_t pid = spawn({ program }, display);
    const bool shown = pid > 0 && waitForWindow(x, BoxTitle, 20);
    const double ms = 1000 * secondsSince(start);
    kill(pid, SIGKILL);
    reap(pid, 5);
    return shown ? ms : NAN;
}

struct ScriptedRun {
    double idleCpu = NAN, gameCpu = NAN, peakMiB = NAN;
    double summarySeconds = NAN; // from the Start key to the summary painted
};

// Plays as a person would: answers the boxes, leaves the window idle, picks
// Impossible and starts with the keyboard, and clicks the red box about every
// 100 ms. A whole game ends with its summary; a short one by closing the
// window. The floor gets the same script and ignores it.
ScriptedRun script(Display* x, const std::string& display, const char* program, bool wholeGame)
{
    ScriptedRun run;
    const pid_t pid = spawn({ program }, display);
    unsigned long window = 0, answered = 0;
    for (const auto start = SteadyClock::now(); pid > 0 && !window && secondsSince(start) < 20;) {
        const unsigned long box = xin_find(x, BoxTitle, 1);
        if (box && box != answered) {
            xin_focus(x, box);
            xin_key(x, "Return", 0);
            answered = box;
        } else if (!box) {
            window = xin_find(x, WindowTitle, 1);
        }
        std::this_thread::sleep_for(1ms);
    }
    if (window) {
        std::this_thread::sleep_for(500ms);
        run.idleCpu = cpuPercent(pid, [] { std::this_thread::sleep_for(3s); });
        xin_focus(x, window);
        xin_key(x, "Tab", 0);
        xin_key(x, "End", 0);
        xin_key(x, "Tab", 1);
        xin_key(x, "Return", 0);
        const auto pressed = SteadyClock::now();
        unsigned long summary = 0;
        run.gameCpu = cpuPercent(pid, [&] {
            for (int tick = 0; secondsSince(pressed) < (wholeGame ? GameSeconds + 5 : ScriptedPlaySeconds); ++tick) {
                if (wholeGame && (summary = xin_find(x, SummaryTitle, 1))) {
                    run.summarySeconds = secondsSince(pressed);
                    break;
                }
                int left = 0, top = 0;
                if (tick % 10 == 0 && xin_find_colour(x, window, 0xff0000, &left, &top)) {
                    xin_move(x, left + 24, top + 20);
                    xin_button(x, 1);
                    xin_button(x, 0);
                }
                std::this_thread::sleep_for(10ms);
            }
        });
        if (summary) {
            xin_focus(x, summary);
            xin_key(x, "Return", 0);
        }
        xin_close_window(x, window);
    }
    run.peakMiB = reap(pid, 5);
    return run;
}

// The XTest click delays, measured by this program run as a child on Xvfb.
std::map<std::string, std::vector<double>> xtestDelays(const std::string& display)
{
    std::map<std::string, std::vector<double>> values;
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        return values;
    const pid_t pid = spawn({ "/proc/self/exe", "--xtest-child" }, display, pipe[1]);
    close(pipe[1]);
    std::istringstream lines(readAll(pipe[0]));
    close(pipe[0]);
    if (pid > 0)
        reap(pid, 30);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string key;
        words >> key;
        for (double v; words >> v;)
            values[key].push_back(v);
    }
    return values;
}

} // namespace

void measureOnXvfb(bool full, Report& report)
{
    const Xvfb server;
    Display* x = server.display.empty() ? nullptr : xin_open(server.display.c_str());
    if (!x) {
        report.note("Xvfb did not start: the XTest, start-up, memory and CPU figures are missing");
        return;
    }

    auto xtest = xtestDelays(server.display);
    report.add("click, XTest, to counted: in a game", "us", xtest["game"]).asDelays().atMost(Goal::Median, 500);
    report.reference("the same on the idle window", "us", xtest["idle"]).asDelays();
    report.note("XTest clicks missed: " + std::to_string(xtest["missed"].empty() ? -1 : int(xtest["missed"][0])));

    // One unmeasured start of each warms the caches; then they alternate.
    std::vector<double> startup[2];
    const char* const programs[2] = { ZORBLECK_APP, ZORBLECK_FLOOR };
    for (int run = -1; run < StartupRuns; ++run)
        for (int p = 0; p < 2; ++p)
            if (const double ms = startupMs(x, server.display, programs[p]); run >= 0)
                startup[p].push_back(ms);
    const ScriptedRun game = script(x, server.display, ZORBLECK_APP, full);
    const ScriptedRun floor = script(x, server.display, ZORBLECK_FLOOR, full);
    xin_close(x);

    report.add("start-up to first box painted, zorbleck", "ms", startup[0]);
    report.reference("floor program", "ms", startup[1]);
    report.add("start-up, zorbleck / floor (medians)", "x", { median(startup[0]) / median(startup[1]) })
        .atMost(Goal::Median, 1.2);
    report.add("peak RSS over a scripted game, zorbleck", "MiB", { game.peakMiB });
    report.reference("floor program, same script", "MiB", { floor.peakMiB });
    report.add("peak RSS, zorbleck / floor", "x", { game.peakMiB / floor.peakMiB }).atMost(Goal::Median, 1.2);
    report.add("CPU idle between games, zorbleck", "%core", { game.idleCpu }).atMost(Goal::Median, 1);
    report.reference("floor program", "%core", { floor.idleCpu });
    report.add("CPU during a game, zorbleck", "%core", { game.gameCpu });
    report.reference("floor program, same script", "%core", { floor.gameCpu });
    if (full) {
        report.add("whole game on Xvfb: Start key to summary painted", "s", { game.summarySeconds });
        report.reference("46 s + one pause", "s", { GameSeconds + Difficulties[0].pause });
    } else {
        report.note("the scripted game is closed after " + std::to_string(int(ScriptedPlaySeconds))
            + " s of play (--full plays it to its summary)");
    }
}
