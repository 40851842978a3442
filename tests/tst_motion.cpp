#include "support/fixture.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

// How one step moves a box, and how the edges send it back.
class MotionTest : public QObject, WindowFixture {
    Q_OBJECT
    platform::ColorBox& red() const { return probe().red(); }

    void place(platform::ColorBox& box, float left, float top) const
    {
        box.setLeftTwips(left);
        box.setTopTwips(top);
    }

private slots:
    void init()
    {
        makeWindow();
        runtime.outer = QSizeF(90000, 70000); // far edges out of reach unless a test says otherwise
    }

    void headingChoosesTheDirection_data()
    {
        QTest::addColumn<float>("heading");
        QTest::addColumn<float>("dx");
        QTest::addColumn<float>("dy");
        QTest::newRow("100: down right") << 100.0f << 1.0f << 1.0f;
        QTest::newRow("75: down right") << 75.0f << 1.0f << 1.0f;
        QTest::newRow("74: up left") << 74.0f << -1.0f << -1.0f;
        QTest::newRow("50: up left") << 50.0f << -1.0f << -1.0f;
        QTest::newRow("49: right up") << 49.0f << 1.0f << -1.0f;
        QTest::newRow("25: right up") << 25.0f << 1.0f << -1.0f;
        QTest::newRow("24: left down") << 24.0f << -1.0f << 1.0f;
        QTest::newRow("1: left down") << 1.0f << -1.0f << 1.0f;
    }
    void headingChoosesTheDirection()
    {
        QFETCH(float, heading);
        QFETCH(float, dx);
        QFETCH(float, dy);
        place(red(), 5000, 5000);
        probe().moveBox(red(), heading, 1000, 2000, 0.5);
        QCOMPARE(red().leftTwips(), 5000 + 1000 * dx);
        QCOMPARE(red().topTwips(), 5000 + 500 * dy);
    }

    void stepIsComputedInDoubleAndRoundedOnceToSingle_data()
    {
        QTest::addColumn<float>("vertical");
        QTest::addColumn<float>("top");
        QTest::newRow("1000") << 1000.0f << 3258.0f;
        QTest::newRow("7800") << 7800.0f << 3380.39990234375f;
        QTest::newRow("1") << 1.0f << 3240.01806640625f;
    }
    void stepIsComputedInDoubleAndRoundedOnceToSingle()
    {
        QFETCH(float, vertical);
        QFETCH(float, top);
        place(red(), 3360, 3240);
        probe().moveBox(red(), 75, vertical, 1, 0.018);
        QCOMPARE(red().topTwips(), top);
    }

    void eachBoxMovesByItsOwnSpeed_data()
    {
        QTest::addColumn<double>("speed");
        QTest::addColumn<float>("distance");
        QTest::newRow("red") << 0.018 << 18.0f;
        QTest::newRow("blue") << 0.035 << 35.0f;
        QTest::newRow("green") << 0.065 << 65.0f;
    }
    void eachBoxMovesByItsOwnSpeed()
    {
        QFETCH(double, speed);
        QFETCH(float, distance);
        for (float heading : { 100.0f, 60.0f, 30.0f, 10.0f }) {
            place(red(), 4000, 4000);
            probe().moveBox(red(), heading, 1000, 1000, speed);
            QCOMPARE(std::abs(red().leftTwips() - 4000), distance);
            QCOMPARE(std::abs(red().topTwips() - 4000), distance);
        }
    }

    // Outer height 7000, box height 615. The vertical move is by `vertical`
    // twips (speed 1); the horizontal one stays clear of every edge.
    void verticalEdgeRule_data()
    {
        QTest::addColumn<float>("heading");
        QTest::addColumn<float>("top");
        QTest::addColumn<float>("vertical");
        QTest::addColumn<float>("expected");
        QTest::newRow("bottom exactly at the edge stays") << 100.0f << 6384.0f << 1.0f << 6385.0f;
        QTest::newRow("one past the bottom comes back at its height") << 100.0f << 6385.0f << 1.0f << 615.0f;
        QTest::newRow("bottom exactly at the top stays") << 60.0f << -614.0f << 1.0f << -615.0f;
        QTest::newRow("wholly above goes below the window") << 60.0f << -600.0f << 100.0f << 7700.0f;
        QTest::newRow("partly above stays") << 60.0f << 10.0f << 100.0f << -90.0f;
    }
    void verticalEdgeRule()
    {
        QFETCH(float, heading);
        QFETCH(float, top);
        QFETCH(float, vertical);
        QFETCH(float, expected);
        runtime.outer = QSizeF(9000, 7000);
        place(red(), 3000, top);
        probe().moveBox(red(), heading, vertical, 1, 1.0);
        QCOMPARE(red().topTwips(), expected);
    }

    // Outer width 9000, box width 735.
    void horizontalEdgeRule_data()
    {
        QTest::addColumn<float>("heading");
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("expected");
        QTest::newRow("left side at 0 stays") << 10.0f << 1.0f << 0.0f;
        QTest::newRow("one past the left edge keeps the margin") << 10.0f << 0.0f << 6825.0f;
        QTest::newRow("left side at the outer width stays") << 30.0f << 8999.0f << 9000.0f;
        QTest::newRow("one past the outer width comes back at its width") << 30.0f << 9000.0f << 735.0f;
        QTest::newRow("between client and outer width stays out of view") << 30.0f << 8000.0f << 8001.0f;
    }
    void horizontalEdgeRule()
    {
        QFETCH(float, heading);
        QFETCH(float, left);
        QFETCH(float, expected);
        runtime.outer = QSizeF(9000, 7000);
        place(red(), left, 3000);
        probe().moveBox(red(), heading, 1, 1, 1.0);
        QCOMPARE(red().leftTwips(), expected);
    }

    // A box put back by the first rule of a step still makes the second move.
    void theSecondMoveFollowsACorrection()
    {
        runtime.outer = QSizeF(9000, 7000);
        place(red(), 0, 3000); // case 4: left past the edge, then down
        probe().moveBox(red(), 10, 100, 1, 1.0);
        QCOMPARE(red().leftTwips(), 6825.0f);
        QCOMPARE(red().topTwips(), 3100.0f);

        place(red(), 3000, 6385); // case 1: down past the edge, then right
        probe().moveBox(red(), 90, 1, 100, 1.0);
        QCOMPARE(red().topTwips(), 615.0f);
        QCOMPARE(red().leftTwips(), 3100.0f);
    }

    void aBoxSentBelowComesBackOnTheNextPass()
    {
        runtime.outer = QSizeF(9000, 7000);
        place(red(), 3000, -600);
        probe().moveBox(red(), 60, 100, 1, 1.0);
        QCOMPARE(red().topTwips(), 7700.0f);
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 615.0f);
    }

    // Every edge test reads the window's size anew: a window that changed size
    // between two steps is seen at once.
    void theOuterSizeIsReadOnEveryStep()
    {
        runtime.outer = QSizeF(9000, 7000);
        place(red(), 3000, 6385);
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 615.0f);
        runtime.outer = QSizeF(9000, 8000);
        place(red(), 3000, 6385);
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 6386.0f);
    }

    void aPositionNoFloatHoldsIsAnError()
    {
        place(red(), 3.4e38f, 0);
        QVERIFY_THROWS_EXCEPTION(std::range_error, probe().moveBox(red(), 30, 1, 9800, 1e35));
        QCOMPARE(red().leftTwips(), 3.4e38f);
    }

    // Thousands of random steps in random windows: positions stay finite and
    // no box is lost out of view for good.
    void boxesAlwaysComeBackIntoView()
    {
        QRandomGenerator random(20261207);
        const std::pair<platform::ColorBox*, double> boxes[]
            = { { &probe().red(), 0.018 }, { &probe().blue(), 0.035 }, { &probe().green(), 0.065 } };
        for (int trial = 0; trial < 20; ++trial) {
            const QSizeF client(random.bounded(1500, 15000), random.bounded(1500, 12000));
            runtime.outer = client + QSizeF(120, 510);
            for (const auto& [box, speed] : boxes) {
                int outOfView = 0;
                for (int step = 0; step < 2000; ++step) {
                    probe().moveBox(*box, float(random.bounded(1, 101)), float(random.bounded(1, 7801)),
                        float(random.bounded(1, 9801)), speed);
                    QVERIFY(std::isfinite(box->leftTwips()) && std::isfinite(box->topTwips()));
                    const QRectF rect(box->leftTwips(), box->topTwips(), 735, 615);
                    outOfView = rect.intersects(QRectF(QPointF(0, 0), client)) ? 0 : outOfView + 1;
                    QVERIFY2(outOfView < 400, qPrintable(QStringLiteral("lost at step %1").arg(step)));
                }
            }
        }
    }
};

QTEST_MAIN(MotionTest)
#include "tst_motion.moc"
