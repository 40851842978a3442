// Measures the game on the real window and the real Qt event loop, each
// figure beside the reference that gives it meaning, and prints a table. See
// BENCHMARKS.md.

#include "bench_window.h"
#include "game/layout.h"
#include "measurements.h"
#include "support/probe.h"

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <QWindow>

#include <cstring>
#include <fstream>
#include <thread>

namespace {

std::string firstLine(const char* path, const std::string& prefix = {})
{
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with(prefix))
            return line.substr(line.find_first_not_of(" \t:", prefix.size()));
    return {};
}

QtMessageHandler qtHandler = nullptr;

// The offscreen platform says this for every message box; nothing to act on.
void quietSizeHints(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (!text.contains(QLatin1String("propagateSizeHints")) && qtHandler)
        qtHandler(type, context, text);
}

void progress(const char* text)
{
    std::fprintf(stderr, "bench: %s\n", text);
}

} // namespace

int main(int argc, char* argv[])
{
    const bool full = argc > 1 && std::strcmp(argv[1], "--full") == 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt wants a runtime folder; one of the bench's own goes with it.
    const QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    qtHandler = qInstallMessageHandler(quietSizeHints);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(game::layout::ApplicationName));

    BenchWindow window;
    const ZorbleckProbe probe { window.zorbleck() };
    window.show();
    while (!window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();

    const std::string started = QDateTime::currentDateTime().toString(Qt::ISODate).toStdString();
    const auto load = [] {
        const std::string all = firstLine("/proc/loadavg");
        return all.substr(0, all.find(' ')); // the last minute's
    };
    const std::string loadBefore = load();
    Report report;
    // The soak goes first, so that no earlier peak of memory can hide growth.
    progress("soak: 200 short games (about a minute)");
    soak(probe, window, report);
    progress("pauses (about three minutes)");
    const double bareCpu = measurePauses(probe, window, report);
    progress(full ? "clicks and whole games (about two and a half minutes)" : "clicks and games");
    measureGames(probe, window, full, bareCpu, report);

    report.print(stdout);
    std::printf("\n%s run started %s; %u CPUs, %s; load average %s at the start, %s at the end\n",
        full ? "full" : "routine", started.c_str(), std::thread::hardware_concurrency(),
        firstLine("/proc/cpuinfo", "model name").c_str(), loadBefore.c_str(), load().c_str());
    return 0;
}
