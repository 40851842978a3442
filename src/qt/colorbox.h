#pragma once

#include <QColor>
#include <QWidget>

namespace qtui {

// A plain rectangle of one colour that reports a click the moment the primary
// button goes down on it. Its place is kept in twips exactly as written
// (fractional twips included) and shown at the nearest logical pixel.
class ColorBox final : public QWidget {
    Q_OBJECT

public:
    ColorBox(const QColor& color, float left, float top, float width, float height, QWidget* parent);

    float leftTwips() const { return twips.left; }
    float topTwips() const { return twips.top; }
    float widthTwips() const;
    float heightTwips() const;
    void setLeftTwips(float left);
    void setTopTwips(float top);

    QColor color() const { return fill; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void place();

    const QColor fill;
    // Where the game last put it.
    struct {
        float left;
        float top;
    } twips;
};

} // namespace qtui
