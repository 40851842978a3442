#include "support/fixture.h"

#include <QAccessible>
#include <QtTest>

#include <cmath>

// Clicks on the boxes, the counters' 16-bit limits and how an overflow is told.
class ScoringTest : public QObject, WindowFixture {
    Q_OBJECT

    bool overflowReported() const
    {
        return !runtime.boxes.isEmpty()
            && runtime.boxes.last().prompt
            == QStringLiteral("Overflow: a score went past its limit of 32767 points. The score that overflowed "
                              "keeps its last value.");
    }

private slots:
    void init()
    {
        makeWindow();
        QVERIFY(showWindow());
    }

    void eachColourScoresItsOwnPoints()
    {
        probe().click(probe().red());
        probe().click(probe().blue());
        probe().click(probe().green());
        QCOMPARE(probe().redScore(), 1);
        QCOMPARE(probe().blueScore(), 3);
        QCOMPARE(probe().greenScore(), 4);

        probe().setScores(0, 0, 0);
        for (int i = 0; i < 10; ++i)
            probe().click(probe().blue());
        for (int i = 0; i < 7; ++i)
            probe().click(probe().green());
        QCOMPARE(probe().blueScore(), 30);
        QCOMPARE(probe().greenScore(), 28);
    }

    // The press counts: the box may have jumped away before the release.
    void aClickCountsOnThePressAndADoubleClickTwice()
    {
        auto& red = probe().red();
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, red.geometry().center());
        QCOMPARE(probe().redScore(), 1);
        red.setLeftTwips(7000);
        QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, QPoint(240, 230));
        QCOMPARE(probe().redScore(), 1);

        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, red.geometry().center());
        QCOMPARE(probe().redScore(), 3);

        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, red.geometry().center());
        QTest::mouseClick(window->windowHandle(), Qt::MiddleButton, {}, red.geometry().center());
        QCOMPARE(probe().redScore(), 3);
    }

    // A screen reader names every control, says what a click on a box
    // scores, and pressing the box there scores just that.
    void aScreenReaderPressScoresWhatItSays()
    {
        for (QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(!(iface->text(QAccessible::Name) + iface->text(QAccessible::Description)).isEmpty(),
                qPrintable(control->objectName()));
        }
        const auto p = probe();
        QSet<QString> names;
        for (platform::ColorBox* box : { &p.red(), &p.blue(), &p.green() }) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
            QVERIFY(!iface->text(QAccessible::Name).isEmpty());
            names.insert(iface->text(QAccessible::Name));
            const int points = iface->text(QAccessible::Description).section(u' ', 0, 0).toInt();
            const int before = p.redScore() + p.blueScore() + p.greenScore();
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(p.redScore() + p.blueScore() + p.greenScore(), before + points);
        }
        QCOMPARE(names.size(), 3);
        QCOMPARE(p.redScore() * 100 + p.blueScore() * 10 + p.greenScore(), 134);
    }

    void theClickPastTheLimitOverflows_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("lastGood");
        QTest::addColumn<int>("afterIt");
        QTest::newRow("red") << "pct" << 32766 << 32767;
        QTest::newRow("blue") << "pct2" << 32764 << 32767;
        QTest::newRow("green") << "pct3" << 32763 << 32767;
    }
    void theClickPastTheLimitOverflows()
    {
        QFETCH(QString, box);
        QFETCH(int, lastGood);
        QFETCH(int, afterIt);
        auto* control = window->findChild<platform::ColorBox*>(box);
        std::int16_t& score = box == "pct" ? probe().redScore()
            : box == "pct2"                ? probe().blueScore()
                                           : probe().greenScore();

        score = std::int16_t(lastGood);
        probe().click(*control);
        QCOMPARE(int(score), afterIt);
        QVERIFY(runtime.boxes.isEmpty());

        // Every value that would go past 32767 is refused, and kept.
        for (int start = lastGood + 1; start <= 32767; ++start) {
            score = std::int16_t(start);
            probe().click(*control);
            QCOMPARE(int(score), start);
            QVERIFY(overflowReported());
            QCOMPARE(runtime.boxes.last().title, QString()); // the program's name
        }

        // The window goes on: the next click of another colour still counts.
        probe().click(&probe().red() == control ? probe().blue() : probe().red());
        QCOMPARE(probe().redScore() + probe().blueScore() + probe().greenScore(), 32767 + (box == "pct" ? 3 : 1));
    }

    // An overflow inside a game's pause is told at once; the game goes on.
    void anOverflowDuringAPauseLeavesTheGameRunning()
    {
        probe().select(QStringLiteral("Impossible"));
        runtime.pumpStep = 1.0 / 256;
        runtime.onPump = [&](int pump) {
            if (pump == 10) {
                probe().greenScore() = 32764;
                probe().click(probe().green());
            }
            if (pump == 11)
                probe().click(probe().red());
        };
        probe().pressStart();
        QCOMPARE(runtime.boxes.size(), 2);
        QVERIFY(runtime.boxes.at(0).prompt.contains(QStringLiteral("Overflow")));
        QCOMPARE(runtime.boxes.at(1).prompt,
            QStringLiteral("Red: 1 points   Blue: 0 points   Green: 32764 points   Total: 32765 points."));
        QCOMPARE(runtime.draws, 10 * int(std::ceil(46 / (9.0 / 256))));
    }

    // The summary's total overflows: the window is put back to idle, but no
    // summary or verdict is shown and the counters are left for the next Start.
    void aTotalPastTheLimitStopsTheSummary()
    {
        probe().setScores(32000, 700, 100);
        probe().verdict().setText(QStringLiteral("old"));
        probe().pressStart();

        QCOMPARE(runtime.boxes.size(), 2);
        QCOMPARE(runtime.boxes.at(0).prompt, QStringLiteral("Select a Difficulty"));
        // No score changed: the words say so, unlike a click's overflow.
        QCOMPARE(runtime.boxes.at(1).prompt,
            QStringLiteral("Overflow: the total of the scores went past 32767 points, so there is no summary and no "
                           "verdict."));
        QCOMPARE(probe().verdict().text(), QStringLiteral(" "));
        QVERIFY(probe().start().isVisible());
        QCOMPARE(probe().background(), QColor(230, 230, 213));
        QCOMPARE(probe().redScore(), 32000);

        // The next game runs whole, counts its clicks and gives its verdict.
        probe().select(QStringLiteral("Average"));
        runtime.pumpStep = 1.0 / 64;
        runtime.onPump = [&](int pump) {
            if (pump == 3)
                probe().click(probe().blue());
        };
        probe().pressStart();
        QCOMPARE(runtime.boxes.size(), 3);
        QCOMPARE(runtime.prompts().last(),
            QStringLiteral("Red: 0 points   Blue: 3 points   Green: 0 points   Total: 3 points."));
        QCOMPARE(runtime.draws, 10 * int(std::ceil(46 / (9.0 / 64))));
        QCOMPARE(probe().verdict().text(), QStringLiteral("How is it possible to do that bad?"));
    }
};

QTEST_MAIN(ScoringTest)
#include "tst_scoring.moc"
