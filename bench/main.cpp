// Measures the game on the real window and the real Qt event loop, each
// figure beside the reference that gives it meaning; prints a table, then
// the same as JSON. See BENCHMARKS.md.

#include "bench_runtime.h"
#include "probe.h"
#include "sections.h"

#include <QApplication>
#include <QDateTime>
#include <QWindow>

#include <cstring>
#include <fstream>
#include <thread>

#include <unistd.h>

namespace {

std::string firstLine(const char* path, const std::string& prefix = {})
{
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(prefix))
            return line.substr(line.find_first_not_of(" \t:", prefix.size()));
    return {};
}

std::string about(bool full, const std::string& loadBefore)
{
    return "\"date\": " + jsonString(QDateTime::currentDateTime().toString(Qt::ISODate).toStdString()) + ", \"mode\": "
        + jsonString(full ? "full" : "routine") + ", \"nproc\": " + std::to_string(std::thread::hardware_concurrency())
        + ", \"cpu\": " + jsonString(firstLine("/proc/cpuinfo", "model name")) + ", \"loadavg_before\": "
        + jsonString(loadBefore) + ", \"loadavg_after\": " + jsonString(firstLine("/proc/loadavg"));
}

void progress(const char* text)
{
    std::fprintf(stderr, "bench: %s\n", text);
}

} // namespace

int main(int argc, char* argv[])
{
    bool full = false, xtestChildRun = false;
    for (int i = 1; i < argc; ++i) {
        full |= std::strcmp(argv[i], "--full") == 0;
        xtestChildRun |= std::strcmp(argv[i], "--xtest-child") == 0;
    }
    // The parent's window never needs a screen; the child's is on Xvfb.
    if (!xtestChildRun)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt falls back to this directory anyway; naming it spares this process
    // and every child a warning.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", "/tmp/runtime-" + QByteArray::number(getuid()));
    QApplication app(argc, argv);

    BenchRuntime runtime;
    Zorbleck window(runtime);
    ZorbleckProbe probe { window };
    runtime.seedRandom();
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    if (xtestChildRun)
        return xtestChild(probe, runtime);

    const std::string loadBefore = firstLine("/proc/loadavg");
    Report report;
    progress("pauses (about three minutes)");
    measurePauses(probe, runtime, report);
    progress(full ? "clicks and whole games (about two and a half minutes)" : "clicks and games");
    measureGames(probe, runtime, full, report);
    progress("Xvfb: XTest clicks, start-up, memory, CPU");
    measureOnXvfb(full, report);

    report.printTable(stdout);
    std::printf("\n");
    report.printJson(stdout, about(full, loadBefore));
    return 0;
}
