// The floor the game's start-up and memory are measured against: the least a
// Qt Widgets program can do to look like it. One message box, then a window
// with the same seven controls in the same places, and nothing behind them.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

namespace {

void place(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(left, top, width, height);
}

void addBox(QWidget* window, Qt::GlobalColor colour, int left)
{
    auto* box = new QWidget(window);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, colour);
    box->setPalette(palette);
    box->setAutoFillBackground(true);
    place(box, left, 216, 49, 41);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);

    QMessageBox(QMessageBox::NoIcon, QStringLiteral("Zorbleck!"),
        QStringLiteral("Click on the boxes as many times as you can. You have 45 seconds."), QMessageBox::Ok)
        .exec();

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vemmo's Zorbleck!"));
    window.setFixedSize(659, 569);
    addBox(&window, Qt::red, 224);
    addBox(&window, Qt::green, 392);
    addBox(&window, Qt::blue, 312);
    auto* list = new QListWidget(&window);
    list->addItems({ QStringLiteral("Slow"), QStringLiteral("Average"), QStringLiteral("Impossible") });
    place(list, 120, 16, 105, 76);
    place(new QPushButton(QStringLiteral("Start"), &window), 16, 40, 97, 33);
    place(new QLabel(&window), 608, 8, 41, 33);
    place(new QLabel(&window), 16, 96, 265, 41);
    window.show();
    return QApplication::exec();
}
