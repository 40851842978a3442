#include "qt/colorbox.h"

#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPainter>

namespace qtui {

namespace {

    // A click on a box is its whole use, so assistive technology is told it is
    // a button, and pressing it there goes through the same clicked() signal.
    class AccessibleColorBox final : public QAccessibleWidget {
    public:
        explicit AccessibleColorBox(ColorBox* box)
            : QAccessibleWidget(box, QAccessible::Button)
        {
        }

        QStringList actionNames() const override
        {
            QStringList names = QAccessibleWidget::actionNames();
            names.prepend(pressAction());
            return names;
        }

        void doAction(const QString& actionName) override
        {
            if (actionName == pressAction())
                emit static_cast<ColorBox*>(widget())->clicked();
            else
                QAccessibleWidget::doAction(actionName);
        }
    };

    QAccessibleInterface* accessibleColorBox(const QString& className, QObject* object)
    {
        auto* box = qobject_cast<ColorBox*>(object);
        if (box && className == QLatin1String(ColorBox::staticMetaObject.className()))
            return new AccessibleColorBox(box);
        return nullptr;
    }

} // namespace

ColorBox::ColorBox(const QColor& color, QWidget* parent)
    : QWidget(parent)
    , fill(color)
{
    static const bool accessible = (QAccessible::installFactory(accessibleColorBox), true);
    Q_UNUSED(accessible)
    // Every pixel is painted by us: no background fill, no focus frame, no hover tint.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Reachable by Tab like the other controls, but a click does not move the focus.
    setFocusPolicy(Qt::TabFocus);
}

void ColorBox::paintEvent(QPaintEvent* event)
{
    QPainter(this).fillRect(event->rect(), fill);
}

// Counting on the press, not the release: at a move every 35 ms the release
// often comes after the box has jumped away.
void ColorBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit clicked();
}

// Qt sends the second press of a double-click as a double-click event; it is
// still a press, and it counts.
void ColorBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

} // namespace qtui
