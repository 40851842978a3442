#include "game/layout.h"
#include "qt/fatal.h"
#include "qt/qt_window.h"

#include <QApplication>
#include <QIcon>

namespace {

// GNOME frames no Wayland client, and Qt 6.4 draws only its fallback title
// bar there, which cuts a box's title short and lets GNOME stand a box in a
// corner of the screen. Through XWayland GNOME frames the window itself and
// stands each box over it. Sway and KDE frame Wayland clients themselves, so
// elsewhere, or where the player named a platform, the game leaves Qt's own
// choice; Wayland stays the fallback should XWayland not answer.
void chooseRoad()
{
    const bool wayland = qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
    if (!wayland || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    if (qgetenv("XDG_CURRENT_DESKTOP").split(':').contains("GNOME"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
}

} // namespace

int main(int argc, char* argv[])
{
    qtui::reportFatalErrorsPlainly();
    chooseRoad();
    QApplication app(argc, argv);
    qtui::displayOpened();
    // Also the title of the one box that has none of its own: the summary.
    QApplication::setApplicationName(QString::fromUtf8(game::layout::ApplicationName));
    // The installed desktop file (data/), by which a Wayland desktop shows the
    // game's name and icon; on X11 its StartupWMClass names the program.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zorbleck.Zorbleck"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zorbleck.ico")));

    qtui::QtWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
