#include "support/fixture.h"

#include "platform/twips.h"

#include <QtTest>

#include <cmath>
#include <functional>

// The window at the scale factor ctest gives it (QT_SCALE_FACTOR): the layout
// stays in logical pixels, and the boxes cover exactly their scaled place.
class HiDpiTest : public QObject, WindowFixture {
    Q_OBJECT

    static double scale()
    {
        bool ok = false;
        const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
        return ok ? factor : 1.0;
    }

    // The first pixel in `area` that fails `good`, described; empty if none.
    static QString firstBad(const QImage& shot, const QRect& area, const std::function<bool(QColor)>& good)
    {
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                if (!good(c))
                    return QStringLiteral("(%1, %2) is rgb(%3, %4, %5)")
                        .arg(x)
                        .arg(y)
                        .arg(c.red())
                        .arg(c.green())
                        .arg(c.blue());
            }
        }
        return {};
    }

private slots:
    void init()
    {
        makeWindow();
        QVERIFY(showWindow());
    }

    void theWindowTakesQtsScaleAndKeepsItsLogicalSize()
    {
        QCOMPARE(window->devicePixelRatioF(), scale());
        QCOMPARE(window->size(), QSize(659, 569));
        const QPixmap shot = window->grab();
        QCOMPARE(shot.devicePixelRatio(), scale());
        QCOMPARE(shot.size(), (QSizeF(659, 569) * scale()).toSize());
        qInfo("scale %g: logical 659x569, device %dx%d", scale(), shot.width(), shot.height());
    }

    // Offsets in twips; at 1.25 most of them put an edge inside a device pixel.
    void boxesCoverExactlyTheirScaledPlace_data()
    {
        QTest::addColumn<float>("dx");
        QTest::addColumn<float>("dy");
        QTest::newRow("where they start") << 0.0f << 0.0f;
        QTest::newRow("one pixel on") << 15.0f << 15.0f;
        QTest::newRow("two pixels on") << 30.0f << 30.0f;
        QTest::newRow("three pixels back") << -45.0f << -45.0f;
        QTest::newRow("fractional twips") << 20.4f << -7.6f;
    }
    void boxesCoverExactlyTheirScaledPlace()
    {
        QFETCH(float, dx);
        QFETCH(float, dy);
        const auto p = probe();
        const std::tuple<platform::ColorBox*, float, QColor> boxes[] = {
            { &p.red(), 3360, QColor(255, 0, 0) },
            { &p.blue(), 4680, QColor(0, 0, 255) },
            { &p.green(), 5880, QColor(0, 192, 0) },
        };
        for (const auto& [box, left, colour] : boxes) {
            box->setLeftTwips(left + dx);
            box->setTopTwips(3240 + dy);
        }
        const QImage shot = window->grab().toImage();
        const QColor background = window->palette().color(QPalette::Window);
        const double r = scale();

        for (const auto& [box, left, colour] : boxes) {
            // Twips stay twips, and the logical place is what it is at scale 1.
            QCOMPARE(box->leftTwips(), left + dx);
            QCOMPARE(box->topTwips(), 3240 + dy);
            QCOMPARE(box->widthTwips(), 735.0f);
            QCOMPARE(box->heightTwips(), 615.0f);
            const QRect logical(platform::twipsToPixels(left + dx), platform::twipsToPixels(3240 + dy), 49, 41);
            QCOMPARE(box->geometry(), logical);

            // Device pixels wholly inside are the colour; those just outside
            // are the background; the ones an edge cuts are one or the other.
            const QRectF device(logical.x() * r, logical.y() * r, logical.width() * r, logical.height() * r);
            const QRect inner(QPoint(int(std::ceil(device.left())), int(std::ceil(device.top()))),
                QPoint(int(std::floor(device.right())) - 1, int(std::floor(device.bottom())) - 1));
            const QRect outer(QPoint(int(std::floor(device.left())) - 1, int(std::floor(device.top())) - 1),
                QPoint(int(std::ceil(device.right())), int(std::ceil(device.bottom()))));
            QVERIFY(shot.rect().contains(outer));

            QString bad = firstBad(shot, inner, [&c = colour](QColor px) { return px == c; });
            QVERIFY2(bad.isEmpty(), qPrintable(box->objectName() + QStringLiteral(" inside: ") + bad));
            for (const QRect& ring : { QRect(outer.topLeft(), QPoint(outer.right(), outer.top())),
                     QRect(QPoint(outer.left(), outer.bottom()), outer.bottomRight()),
                     QRect(outer.topLeft(), QPoint(outer.left(), outer.bottom())),
                     QRect(QPoint(outer.right(), outer.top()), outer.bottomRight()) }) {
                bad = firstBad(shot, ring, [&](QColor px) { return px == background; });
                QVERIFY2(bad.isEmpty(), qPrintable(box->objectName() + QStringLiteral(" outside: ") + bad));
            }
            const QColor inside = colour;
            bad = firstBad(
                shot, outer.adjusted(1, 1, -1, -1), [&](QColor px) { return px == inside || px == background; });
            QVERIFY2(bad.isEmpty(), qPrintable(box->objectName() + QStringLiteral(" on an edge: ") + bad));
        }
    }
};

QTEST_MAIN(HiDpiTest)
#include "tst_hidpi.moc"
