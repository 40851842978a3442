#include "qt/qt_window.h"

#include "game/layout.h"
#include "game/twips.h"
#include "qt/colorbox.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

namespace layout = game::layout;
using game::Control;
using game::pixelsToTwips;
using game::twipsToPixels;

namespace qtui {

namespace {

    void place(QWidget* control, const layout::ControlLayout& at)
    {
        control->setObjectName(QString::fromLatin1(at.name));
        control->setGeometry(twipsToPixels(static_cast<float>(at.left)), twipsToPixels(static_cast<float>(at.top)),
            twipsToPixels(static_cast<float>(at.width)), twipsToPixels(static_cast<float>(at.height)));
        // A label has no name of its own: a screen reader says its text.
        control->setAccessibleName(QString::fromUtf8(at.accessibleName));
        control->setAccessibleDescription(QString::fromUtf8(at.description));
        if (at.font.face) {
            // Where the face is missing, fontconfig quietly stands in another.
            QFont font(QString::fromLatin1(at.font.face));
            font.setPointSizeF(at.font.points);
            font.setWeight(QFont::Normal);
            control->setFont(font);
        }
    }

    ColorBox* makeBox(QWidget* parent, Control control)
    {
        const layout::ControlLayout& at = layout::of(control);
        auto* box = new ColorBox(QColor(at.color.red, at.color.green, at.color.blue), parent);
        place(box, at);
        return box;
    }

    QLabel* makeLabel(QWidget* parent, Control control)
    {
        auto* label = new QLabel(parent);
        place(label, layout::of(control));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        // Opaque in the standard face colour, whatever colour the window takes.
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, palette.color(QPalette::Window));
        label->setPalette(palette);
        label->setAutoFillBackground(true);
        return label;
    }

} // namespace

QtWindow::QtWindow(std::unique_ptr<game::RandomSource> chance)
    : game(*this, std::move(chance))
{
    setObjectName(QStringLiteral("zorbleck"));
    setWindowTitle(QString::fromUtf8(layout::Caption));
    setFixedSize(twipsToPixels(layout::ClientWidth), twipsToPixels(layout::ClientHeight));

    // Created in this order; Qt stacks later siblings above earlier ones.
    pct = makeBox(this, Control::pct);
    pct3 = makeBox(this, Control::pct3);
    pct2 = makeBox(this, Control::pct2);

    lst1 = new QListWidget(this);
    place(lst1, layout::of(Control::lst1));
    lst1->setSelectionMode(QAbstractItemView::SingleSelection);
    for (const char* entry : layout::Difficulties)
        lst1->addItem(QString::fromUtf8(entry));

    cmdStart = new QPushButton(QString::fromUtf8(layout::StartCaption), this);
    place(cmdStart, layout::of(Control::cmdStart));
    // Enter operates the button as Space does, though this is no dialog.
    cmdStart->setAutoDefault(true);

    lblTimer = makeLabel(this, Control::lblTimer);
    lbl1 = makeLabel(this, Control::lbl1);
    // Labels lie beneath everything: a box that moves over one covers it.
    lblTimer->lower();
    lbl1->lower();

    // Tab goes from control to control by tab index; labels never take the focus.
    const std::array<Control, 7> order = layout::tabOrder();
    for (std::size_t i = 1; i < order.size() && layout::of(order.at(i)).kind != layout::Kind::Label; ++i)
        setTabOrder(widget(order.at(i - 1)), widget(order.at(i)));
    widget(order.front())->setFocus();

    for (const layout::ControlLayout& at : layout::Controls) {
        const auto press = [this, control = at.control] { game.pressed(control); };
        if (auto* box = qobject_cast<ColorBox*>(widget(at.control)))
            connect(box, &ColorBox::clicked, this, press);
        else if (auto* button = qobject_cast<QPushButton*>(widget(at.control)))
            connect(button, &QPushButton::clicked, this, press);
    }
}

void QtWindow::load()
{
    game.loaded();
}

void QtWindow::closeEvent(QCloseEvent* event)
{
    game.closed();
    event->accept();
}

QWidget* QtWindow::widget(Control control) const
{
    const std::array<QWidget*, 7> controls { pct, pct3, pct2, lst1, cmdStart, lblTimer, lbl1 };
    return controls.at(static_cast<std::size_t>(control));
}

// frameGeometry() is the client size where the window has no frame.
float QtWindow::outerWidth()
{
    return pixelsToTwips(frameGeometry().width());
}

float QtWindow::outerHeight()
{
    return pixelsToTwips(frameGeometry().height());
}

void QtWindow::setBackColor(game::Color color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(color.red, color.green, color.blue));
    setPalette(p);
}

float QtWindow::width(Control control)
{
    return pixelsToTwips(widget(control)->width());
}

float QtWindow::height(Control control)
{
    return pixelsToTwips(widget(control)->height());
}

void QtWindow::moveControl(Control control)
{
    widget(control)->move(places.pixelLeft(control), places.pixelTop(control));
}

bool QtWindow::visible(Control control)
{
    return !widget(control)->isHidden();
}

void QtWindow::setVisible(Control control, bool visible)
{
    widget(control)->setVisible(visible);
}

void QtWindow::setCaption(Control control, const std::string& text)
{
    const QString caption = QString::fromStdString(text);
    if (auto* label = qobject_cast<QLabel*>(widget(control)))
        label->setText(caption);
    else if (auto* button = qobject_cast<QPushButton*>(widget(control)))
        button->setText(caption);
}

std::string QtWindow::text(Control control)
{
    if (auto* list = qobject_cast<QListWidget*>(widget(control))) {
        // The selected entry, not the current row: focus alone makes a row current.
        const QList<QListWidgetItem*> selected = list->selectedItems();
        return selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
    }
    if (auto* label = qobject_cast<QLabel*>(widget(control)))
        return label->text().toStdString();
    return {};
}

double QtWindow::clock()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - epoch).count();
}

// The greeting comes before the window is shown: a box is only tied to a
// window the player can see.
void QtWindow::messageBox(const std::string& prompt, const std::string& title)
{
    QMessageBox box(QMessageBox::NoIcon,
        title.empty() ? QCoreApplication::applicationName() : QString::fromStdString(title),
        QString::fromStdString(prompt), QMessageBox::Ok, isVisible() ? this : nullptr);
    // Ctrl+C copies the box's title and text, as message boxes do elsewhere:
    // a player can paste a score, and a test can read a box.
    const QShortcut copy(QKeySequence::Copy, &box, [&box] {
        const QString rule = QStringLiteral("---------------------------\n");
        QGuiApplication::clipboard()->setText(
            rule + box.windowTitle() + u'\n' + rule + box.text() + u'\n' + rule + QStringLiteral("OK\n") + rule);
    });
    // A frame that centres its title between its buttons (KDE's Breeze) cuts
    // the title of a short box: room for the title and three buttons either side.
    const QFontMetrics titleFont(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    const int titleWidth = titleFont.horizontalAdvance(box.windowTitle()) + 6 * (titleFont.height() * 3 / 2);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth, 0), grid->rowCount(), 0, 1, grid->columnCount());
    box.exec();
}

void QtWindow::pumpEvents()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace qtui
