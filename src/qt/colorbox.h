#pragma once

#include <QColor>
#include <QWidget>

namespace qtui {

// A plain rectangle of one colour that reports a click the moment the primary
// button goes down on it.
class ColorBox final : public QWidget {
    Q_OBJECT

public:
    ColorBox(const QColor& color, QWidget* parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const QColor fill;
};

} // namespace qtui
