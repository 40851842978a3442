#include "support/fixture.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

// One box in one pass: its three draws, where it stands before the pass and
// where the player sees it during the pause (left, top in twips).
struct Step {
    int heading;
    int vertical;
    int horizontal;
    QPointF from;
    QPointF to;
};

// The random number that makes a draw from 1 to n come out as `value`, taken
// near the top of its range so that a draw from a wider range shows.
float randomFor(int value, int n)
{
    return (float(value) - 0.01f) / float(n);
}

} // namespace

Q_DECLARE_METATYPE(Step)

// Where one pass of a game puts the boxes, and how the edges send them back.
class MotionTest : public QObject, WindowFixture {
    Q_OBJECT
    platform::ColorBox& red() const { return probe().red(); }

    static void place(platform::ColorBox& box, QPointF at)
    {
        box.setLeftTwips(float(at.x()));
        box.setTopTwips(float(at.y()));
    }

private slots:
    void init()
    {
        makeWindow();
        runtime.outer = QSizeF(9000, 7000);
        QVERIFY(showWindow());
    }

    // Speeds: red 0.018, blue 0.035, green 0.065 twips per unit drawn. Boxes
    // are 735 x 615; the window's outer size is 9000 x 7000.
    void onePassMovesEachBoxByItsOwnDraws_data()
    {
        QTest::addColumn<Step>("red");
        QTest::addColumn<Step>("blue");
        QTest::addColumn<Step>("green");
        const QPointF redStart(3360, 3240), blueStart(4680, 3240), greenStart(5880, 3240);
        QTest::newRow("down right, up left, right up")
            << Step { 100, 7800, 9800, redStart, { 3536.39990234375, 3380.39990234375 } }
            << Step { 50, 6000, 8000, blueStart, { 4400, 3030 } }
            << Step { 25, 4000, 9000, greenStart, { 6465, 2980 } };
        QTest::newRow("up left, right up, left down") << Step { 74, 1, 5000, redStart, { 3270, 3239.98193359375 } }
                                                      << Step { 49, 4000, 6000, blueStart, { 4890, 3100 } }
                                                      << Step { 24, 6000, 5000, greenStart, { 5555, 3630 } };
        QTest::newRow("right up, left down, down right")
            << Step { 26, 5000, 7000, redStart, { 3486, 3150 } } << Step { 1, 7000, 5000, blueStart, { 4505, 3485 } }
            << Step { 75, 7000, 8000, greenStart, { 6400, 3695 } };
        QTest::newRow("left down, down right, up left")
            << Step { 24, 6000, 8000, redStart, { 3216, 3348 } } << Step { 75, 5000, 9000, blueStart, { 4995, 3415 } }
            << Step { 74, 5000, 6000, greenStart, { 5490, 2915 } };
        QTest::newRow("bottom at the edge stays, past it comes back; top at the edge stays")
            << Step { 80, 500, 1000, { 3000, 6376 }, { 3018, 6385 } }
            << Step { 99, 200, 2000, { 4000, 6379 }, { 4070, 615 } }
            << Step { 60, 200, 1000, { 6000, -602 }, { 5935, -615 } };
        QTest::newRow("wholly above goes below the window; partly above stays; past the left keeps the margin")
            << Step { 60, 5000, 1000, { 3000, -600 }, { 2982, 7690 } }
            << Step { 40, 2000, 1000, { 4000, 10 }, { 4035, -60 } }
            << Step { 10, 1000, 1000, { 30, 3000 }, { 6825, 3065 } };
        QTest::newRow("left at 0 and at the outer width stay; past the outer width comes back")
            << Step { 10, 1000, 1000, { 18, 3000 }, { 0, 3018 } }
            << Step { 30, 2000, 2000, { 8930, 3000 }, { 9000, 2930 } }
            << Step { 90, 1000, 1000, { 8936, 3000 }, { 735, 3065 } };
        QTest::newRow("a box put back still makes its other move")
            << Step { 90, 500, 1000, { 3000, 6377 }, { 3018, 615 } }
            << Step { 55, 2000, 1000, { 20, 3000 }, { 6825, 2930 } }
            << Step { 35, 1000, 1000, { 8950, -560 }, { 735, 7625 } };
    }
    void onePassMovesEachBoxByItsOwnDraws()
    {
        QFETCH(Step, red);
        QFETCH(Step, blue);
        QFETCH(Step, green);
        const auto p = probe();
        const std::pair<platform::ColorBox*, Step> boxes[]
            = { { &p.red(), red }, { &p.blue(), blue }, { &p.green(), green } };
        for (const auto& [box, step] : boxes)
            place(*box, step.from);
        // The colour roll first, then the three headings, then each box's
        // vertical and horizontal value.
        runtime.randoms = { randomFor(1, 60) };
        for (const Step* step : { &red, &blue, &green })
            runtime.randoms.append(randomFor(step->heading, 100));
        for (const Step* step : { &red, &blue, &green })
            runtime.randoms += { randomFor(step->vertical, 7800), randomFor(step->horizontal, 9800) };

        // Where the boxes stand each time the game looks at the window's size,
        // which it does after each move to apply the edge rule.
        QList<QList<QPointF>> looks;
        runtime.onOuterSize = [&] {
            QList<QPointF> at;
            for (const auto& [box, step] : boxes)
                at.append(QPointF(box->leftTwips(), box->topTwips()));
            looks.append(at);
        };
        QList<QPointF> seen;
        runtime.onPump = [&](int) {
            for (const auto& [box, step] : boxes)
                seen.append(QPointF(box->leftTwips(), box->topTwips()));
            runtime.now += 100; // the pause and the game are over
        };
        p.select(QStringLiteral("Slow"));
        p.pressStart();

        QCOMPARE(runtime.draws, 10);
        QCOMPARE(seen.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const Step& step = boxes[i].second;
            QCOMPARE(seen.at(i), step.to);
            // Headings from 50 up move vertically first, the others horizontally.
            const auto firstMove = std::find_if(
                looks.cbegin(), looks.cend(), [&](const QList<QPointF>& at) { return at.at(i) != step.from; });
            QVERIFY(firstMove != looks.cend());
            if (step.heading >= 50)
                QCOMPARE(firstMove->at(i).x(), step.from.x());
            else
                QCOMPARE(firstMove->at(i).y(), step.from.y());
        }
    }

    void aBoxSentBelowComesBackOnTheNextPass()
    {
        place(red(), { 3000, -600 });
        probe().moveBox(red(), 60, 100, 1, 1.0);
        QCOMPARE(red().topTwips(), 7700.0f);
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 615.0f);
    }

    // Every edge test reads the window's size anew: a window that changed size
    // between two steps is seen at once.
    void theOuterSizeIsReadOnEveryStep()
    {
        place(red(), { 3000, 6385 });
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 615.0f);
        runtime.outer = QSizeF(9000, 8000);
        place(red(), { 3000, 6385 });
        probe().moveBox(red(), 90, 1, 1, 1.0);
        QCOMPARE(red().topTwips(), 6386.0f);
    }

    void aPositionNoFloatHoldsIsAnError()
    {
        place(red(), { 3.4e38, 0 });
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
