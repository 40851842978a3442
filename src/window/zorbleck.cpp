#include "window/zorbleck.h"

#include "platform/colorbox.h"
#include "platform/errors.h"
#include "platform/runtime.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using platform::ColorBox;
using platform::twipsToPixels;

namespace {

void placeTwips(QWidget* control, int left, int top, int width, int height)
{
    control->setGeometry(twipsToPixels(static_cast<float>(left)), twipsToPixels(static_cast<float>(top)),
        twipsToPixels(static_cast<float>(width)), twipsToPixels(static_cast<float>(height)));
}

QFont typeface(const char* family, double points)
{
    // Where the face is missing, fontconfig quietly stands in another.
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    return font;
}

QLabel* makeLabel(QWidget* parent, const QFont& font)
{
    auto* label = new QLabel(parent);
    label->setFont(font);
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

Zorbleck::Zorbleck(platform::Runtime& rt, QWidget* parent)
    : QWidget(parent)
    , runtime(rt)
{
    setObjectName(QStringLiteral("zorbleck"));
    setWindowTitle(QStringLiteral("Vemmo's Zorbleck!"));
    setFixedSize(twipsToPixels(9885), twipsToPixels(8535));

    // Created in this order; Qt stacks later siblings above earlier ones.
    pct = new ColorBox(QColor(255, 0, 0), 3360, 3240, 735, 615, this);
    pct->setObjectName(QStringLiteral("pct"));
    pct3 = new ColorBox(QColor(0, 192, 0), 5880, 3240, 735, 615, this);
    pct3->setObjectName(QStringLiteral("pct3"));
    pct2 = new ColorBox(QColor(0, 0, 255), 4680, 3240, 735, 615, this);
    pct2->setObjectName(QStringLiteral("pct2"));

    lst1 = new QListWidget(this);
    lst1->setObjectName(QStringLiteral("lst1"));
    lst1->setFont(typeface("MS Sans Serif", 13.5));
    lst1->setSelectionMode(QAbstractItemView::SingleSelection);
    lst1->addItems({ QStringLiteral("Slow"), QStringLiteral("Average"), QStringLiteral("Impossible") });
    placeTwips(lst1, 1800, 240, 1575, 1140);

    cmdStart = new QPushButton(QStringLiteral("Start"), this);
    cmdStart->setObjectName(QStringLiteral("cmdStart"));
    // Enter operates the button as Space does, though this is no dialog.
    cmdStart->setAutoDefault(true);
    placeTwips(cmdStart, 240, 600, 1455, 495);

    lblTimer = makeLabel(this, typeface("Cataneo BT", 15.75));
    lblTimer->setObjectName(QStringLiteral("lblTimer"));
    placeTwips(lblTimer, 9120, 120, 615, 495);
    lbl1 = makeLabel(this, typeface("Cataneo BT", 12));
    lbl1->setObjectName(QStringLiteral("lbl1"));
    placeTwips(lbl1, 240, 1440, 3975, 615);

    // Labels lie beneath everything: a box that moves over one covers it.
    lblTimer->lower();
    lbl1->lower();

    // What a screen reader says; nothing on screen changes. A label's name
    // stays its text, the seconds or the verdict, which a fixed name would hide.
    lst1->setAccessibleName(QStringLiteral("Difficulty"));
    cmdStart->setAccessibleName(QStringLiteral("Start"));
    lblTimer->setAccessibleDescription(QStringLiteral("Elapsed seconds"));
    lbl1->setAccessibleDescription(QStringLiteral("Verdict"));
    pct->setAccessibleName(QStringLiteral("Red box"));
    pct->setAccessibleDescription(QStringLiteral("1 point per click"));
    pct2->setAccessibleName(QStringLiteral("Blue box"));
    pct2->setAccessibleDescription(QStringLiteral("3 points per click"));
    pct3->setAccessibleName(QStringLiteral("Green box"));
    pct3->setAccessibleDescription(QStringLiteral("4 points per click"));

    setTabOrder(cmdStart, lst1);
    setTabOrder(lst1, pct2);
    setTabOrder(pct2, pct3);
    setTabOrder(pct3, pct);
    cmdStart->setFocus();

    // The five events that have a handler; nothing else is wired.
    connect(cmdStart, &QPushButton::clicked, this, [this] {
        // A hidden button that still holds the focus would take Space.
        if (!cmdStart->isHidden())
            handle(&Zorbleck::cmdStartClick);
    });
    connect(pct, &ColorBox::clicked, this, [this] { handle(&Zorbleck::pctClick); });
    connect(pct2, &ColorBox::clicked, this, [this] { handle(&Zorbleck::pct2Click); });
    connect(pct3, &ColorBox::clicked, this, [this] { handle(&Zorbleck::pct3Click); });
}

void Zorbleck::load()
{
    handle(&Zorbleck::zorbleckLoad);
}

template <typename Handler>
void Zorbleck::handle(Handler handler)
{
    platform::guarded(runtime, this, [this, handler] { (this->*handler)(); });
}

void Zorbleck::zorbleckLoad()
{
    runtime.seedRandom();
    runtime.messageBox(this, QStringLiteral("Click on the boxes as many times as you can. You have 45 seconds."),
        QStringLiteral("Zorbleck!"));
    runtime.messageBox(
        this, QStringLiteral("Red = 1 point, Blue = 2 points, and Green = 3 points"), QStringLiteral("Zorbleck!"));
}

void Zorbleck::closeEvent(QCloseEvent* event)
{
    closed = true;
    event->accept();
}

QString Zorbleck::lst1Text() const
{
    // The selected entry, not the current row: focus alone makes a row current.
    const QList<QListWidgetItem*> selected = lst1->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void Zorbleck::setBackColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, color);
    setPalette(p);
}
