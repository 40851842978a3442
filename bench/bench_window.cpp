#include "bench_window.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <ctime>
#include <functional>

namespace {

// The game's own random source, seeded from the clock, telling the window of
// each draw.
class CountingRandom final : public game::RandomSource {
public:
    explicit CountingRandom(std::function<void()> tell)
        : onDraw(std::move(tell))
    {
        seedFromClock();
    }
    float next() override
    {
        onDraw();
        return RandomSource::next();
    }

private:
    std::function<void()> onDraw;
};

} // namespace

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

BenchWindow::BenchWindow()
    : QtWindow(std::make_unique<CountingRandom>([this] { drawn(); }))
{
}

void BenchWindow::drawn()
{
    if (drawsSincePump++ == 0)
        passTop = recent[1];
    ++draws;
}

double BenchWindow::clock()
{
    const double now = QtWindow::clock();
    recent = { now, recent[0] };
    if (pendingSkip >= 0) {
        gameStart = now;
        skip = pendingSkip;
        pendingSkip = -1;
        return lastReading = now;
    }
    return lastReading = now + skip;
}

void BenchWindow::skipAfterNextReading(double seconds)
{
    skip = 0;
    pendingSkip = seconds;
}

namespace {

// Accepts the modal box once it is up, trying again until it is.
void acceptBox()
{
    if (auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
        box->accept();
    else
        QTimer::singleShot(1, acceptBox);
}

} // namespace

void BenchWindow::messageBox(const std::string& prompt, const std::string& title)
{
    readingBeforeBox = lastReading;
    drawsSincePump = 0;
    QTimer::singleShot(0, acceptBox);
    QtWindow::messageBox(prompt, title);
}

void BenchWindow::pumpEvents()
{
    if (drawsSincePump > 0) {
        const double start = QtWindow::clock();
        QtWindow::pumpEvents();
        const double end = QtWindow::clock();
        passUs.push_back((start - passTop) * 1e6);
        repaintUs.push_back((end - start) * 1e6);
        drawsSincePump = 0;
    } else {
        QtWindow::pumpEvents();
    }
    ++pumps;
    if (afterPump)
        afterPump();
}

void BenchWindow::play(const char* difficulty)
{
    auto* list = static_cast<QListWidget*>(widget(game::Control::lst1));
    list->findItems(QString::fromLatin1(difficulty), Qt::MatchExactly).first()->setSelected(true);
    static_cast<QPushButton*>(widget(game::Control::cmdStart))->click();
}

QPoint BenchWindow::redCentre() const
{
    return widget(game::Control::pct)->geometry().center();
}
