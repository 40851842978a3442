#include "platform/fatal.h"
#include "platform/qt_runtime.h"
#include "window/zorbleck.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    platform::reportFatalErrorsPlainly();
    QApplication app(argc, argv);
    platform::displayOpened();
    // Also the title of the one box that has none of its own: the summary.
    QApplication::setApplicationName(QStringLiteral("Zorbleck"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zorbleck.ico")));

    platform::QtRuntime runtime;
    Zorbleck window(runtime);
    window.load();
    window.show();
    return QApplication::exec();
}
