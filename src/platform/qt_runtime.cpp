#include "platform/qt_runtime.h"

#include "platform/twips.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>
#include <QWidget>

namespace platform {

double QtRuntime::clock()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - m_epoch).count();
}

void QtRuntime::seedRandom()
{
    // Nanoseconds since the epoch: two runs started at different moments
    // draw different sequences.
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const auto ns = static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
    std::seed_seq seed { static_cast<std::uint32_t>(ns), static_cast<std::uint32_t>(ns >> 32) };
    m_generator.seed(seed);
}

float QtRuntime::random()
{
    return unitFloat(static_cast<std::uint32_t>(m_generator()));
}

// The greeting comes before the window is shown: a box is only tied to a
// window the player can see.
void QtRuntime::messageBox(QWidget* parent, const QString& prompt, const QString& title)
{
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? QCoreApplication::applicationName() : title, prompt,
        QMessageBox::Ok, parent && parent->isVisible() ? parent : nullptr);
    // Ctrl+C copies the box's title and text, as message boxes do elsewhere:
    // a player can paste a score, and a test can read a box.
    const QShortcut copy(QKeySequence::Copy, &box, [&box] {
        const QString rule = QStringLiteral("---------------------------\n");
        QGuiApplication::clipboard()->setText(
            rule + box.windowTitle() + u'\n' + rule + box.text() + u'\n' + rule + QStringLiteral("OK\n") + rule);
    });
    box.exec();
}

void QtRuntime::pumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

QSizeF QtRuntime::outerSize(const QWidget& window)
{
    // frameGeometry() is the client size where the window has no frame.
    const QSize outer = window.frameGeometry().size();
    return { pixelsToTwips(outer.width()), pixelsToTwips(outer.height()) };
}

} // namespace platform
