#include "game/layout.h"
#include "qt/fatal.h"
#include "qt/qt_window.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    qtui::reportFatalErrorsPlainly();
    QApplication app(argc, argv);
    qtui::displayOpened();
    // Also the title of the one box that has none of its own: the summary.
    QApplication::setApplicationName(QString::fromUtf8(game::layout::ApplicationName));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zorbleck.ico")));

    qtui::QtWindow window;
    window.load();
    window.show();
    return QApplication::exec();
}
