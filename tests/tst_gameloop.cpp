#include "support/fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QWindow>
#include <QtTest>

#include <cmath>

namespace {

// A random number that makes draw(60) come out as `roll`.
float rollOf(int roll)
{
    return (float(roll) - 0.5f) / 60.0f;
}

// The ten draws of one pass, with the colour roll first.
QList<float> pass(int colorRoll)
{
    QList<float> draws { rollOf(colorRoll) };
    for (int i = 0; i < 9; ++i)
        draws.append(0.5f);
    return draws;
}

} // namespace

// Whole games, driven by a scripted clock in a few milliseconds each.
class GameLoopTest : public QObject, WindowFixture {
    Q_OBJECT

    // Each pumping moves the clock on by 1/256 s: exact in binary, so the
    // number of passes follows from the pause alone.
    static constexpr double PumpStep = 1.0 / 256;

private slots:
    void init()
    {
        makeWindow();
        runtime.now = 50000; // late in the day: the game measures from its own start
        runtime.pumpStep = PumpStep;
        QVERIFY(showWindow());
    }

    // Passes start while less than 46 s have gone by; with a pause of 0.25 s
    // the pass that would start at exactly 46 s does not run.
    void aGameRunsItsPassesFor46Seconds_data()
    {
        QTest::addColumn<QString>("difficulty");
        QTest::addColumn<double>("pause");
        QTest::addColumn<double>("step");
        QTest::newRow("slow") << "Slow" << 0.3 << PumpStep;
        QTest::newRow("average") << "Average" << 0.13 << PumpStep;
        QTest::newRow("impossible") << "Impossible" << 0.035 << PumpStep;
        QTest::newRow("average, the last pass at 45.75 s") << "Average" << 0.13 << 0.125;
    }
    void aGameRunsItsPassesFor46Seconds()
    {
        QFETCH(QString, difficulty);
        QFETCH(double, pause);
        QFETCH(double, step);
        probe().select(difficulty);
        runtime.pumpStep = step;

        QStringList captions;
        runtime.onPump = [&](int) {
            if (captions.isEmpty() || captions.last() != probe().timer().text())
                captions.append(probe().timer().text());
        };
        probe().pressStart();

        // A pause ends at the first pumping that reaches its length.
        const double pauseTaken = std::ceil(pause / step) * step;
        const int passes = int(std::ceil(46 / pauseTaken));
        QCOMPARE(runtime.draws, 10 * passes);
        QCOMPARE(runtime.pumps, passes * int(std::ceil(pause / step)));

        QStringList seconds;
        for (int s = 0; s < 46; ++s)
            seconds.append(QStringLiteral("  %1").arg(s));
        QCOMPARE(captions, seconds);
        QCOMPARE(probe().timer().text(), QStringLiteral(" "));
        QCOMPARE(
            runtime.prompts(), QStringList { "Red: 0 points   Blue: 0 points   Green: 0 points   Total: 0 points." });
        QCOMPARE(runtime.boxes.first().title, QString());
    }

    void theStartControlsHideFromTheFirstPassAndComeBackAfter()
    {
        probe().select(QStringLiteral("Slow"));
        bool hiddenInEveryPause = true;
        runtime.onPump = [&](int) {
            hiddenInEveryPause = hiddenInEveryPause && probe().start().isHidden() && probe().list().isHidden()
                && probe().verdict().isHidden();
        };
        probe().pressStart();
        QVERIFY(runtime.pumps > 0);
        QVERIFY(hiddenInEveryPause);
        QVERIFY(probe().start().isVisible() && probe().list().isVisible() && probe().verdict().isVisible());
    }

    void theBackgroundFlashesOn58And38And18Only()
    {
        probe().select(QStringLiteral("Slow"));
        const int rolls[] = { 57, 58, 1, 38, 60, 18, 17, 59, 19, 37, 39 };
        const QColor expected[]
            = { QColor(), QColor(255, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), QColor(0, 0, 255), QColor(0, 193, 0),
                  QColor(0, 193, 0), QColor(0, 193, 0), QColor(0, 193, 0), QColor(0, 193, 0), QColor(0, 193, 0) };
        const QColor original = probe().background();
        for (int roll : rolls)
            runtime.randoms += pass(roll);

        QList<QColor> seen;
        runtime.onPump = [&](int) {
            if (runtime.draws / 10 > seen.size() && seen.size() < int(std::size(rolls)))
                seen.append(probe().background());
        };
        probe().pressStart();

        QCOMPARE(seen.size(), int(std::size(rolls)));
        QCOMPARE(seen.first(), original);
        for (std::size_t i = 1; i < std::size(rolls); ++i)
            QCOMPARE(seen.at(int(i)), expected[i]);
        QCOMPARE(probe().background(), QColor(230, 230, 213));
    }

    // The closing steps have all run when the summary shows; the verdict
    // comes after it, the cleared counters last.
    void theClosingStepsComeInOrder()
    {
        probe().select(QStringLiteral("Average"));
        runtime.onPump = [&](int pump) {
            if (pump == 1) {
                probe().click(probe().red());
                probe().click(probe().blue());
                probe().click(probe().green());
            }
        };
        bool checked = false;
        runtime.onMessageBox = [&](const FakeRuntime::Box&) {
            const auto p = probe();
            for (const auto& [box, left] :
                { std::pair(&p.red(), 3480.0f), { &p.blue(), 4680.0f }, { &p.green(), 5880.0f } }) {
                QCOMPARE(box->leftTwips(), left);
                QCOMPARE(box->topTwips(), 3240.0f);
            }
            QCOMPARE(probe().timer().text(), QStringLiteral(" "));
            QCOMPARE(probe().verdict().text(), QStringLiteral(" "));
            QVERIFY(probe().verdict().isVisible());
            QCOMPARE(probe().background(), QColor(230, 230, 213));
            QCOMPARE(probe().redScore(), 1);
            checked = true;
        };
        probe().pressStart();
        QVERIFY(checked);
        QCOMPARE(runtime.prompts().last(),
            QStringLiteral("Red: 1 points   Blue: 3 points   Green: 4 points   Total: 8 points."));
        QCOMPARE(probe().verdict().text(), QStringLiteral("How is it possible to do that bad?"));
        QCOMPARE(probe().redScore() + probe().blueScore() + probe().greenScore(), 0);
    }

    void startWithoutADifficultyAsksForOneThenSumsUpIdleClicks()
    {
        for (int i = 0; i < 3; ++i)
            probe().click(probe().red());
        probe().pressStart();
        QCOMPARE(runtime.boxes.size(), 2);
        QCOMPARE(runtime.boxes.at(0).prompt, QStringLiteral("Select a Difficulty"));
        QCOMPARE(runtime.boxes.at(0).title, QStringLiteral("Zorbleck"));
        QCOMPARE(runtime.boxes.at(1).prompt,
            QStringLiteral("Red: 3 points   Blue: 0 points   Green: 0 points   Total: 3 points."));
        QCOMPARE(runtime.draws, 0);
        QCOMPARE(probe().red().leftTwips(), 3480.0f);
        QCOMPARE(probe().verdict().text(), QStringLiteral(" "));
        QCOMPARE(probe().redScore(), 0);
    }

    void aGameStartsFromZeroWhateverWasClickedBefore()
    {
        for (platform::ColorBox* box : { &probe().red(), &probe().blue(), &probe().green() })
            probe().click(*box);
        probe().select(QStringLiteral("Impossible"));
        probe().pressStart();
        QCOMPARE(runtime.prompts().last(),
            QStringLiteral("Red: 0 points   Blue: 0 points   Green: 0 points   Total: 0 points."));
    }

    // Space and Enter go to whatever holds the focus while the start
    // controls are hidden: a second game must not begin inside the first.
    void nothingStartsASecondGameWhileOneRuns()
    {
        probe().select(QStringLiteral("Slow"));
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        runtime.onPump = [&](int pump) {
            if (pump % 50 == 1) {
                for (Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab })
                    QTest::keyClick(window->windowHandle(), key);
                probe().click(probe().start());
            }
        };
        QTest::keyClick(window->windowHandle(), Qt::Key_Space);
        QCOMPARE(runtime.draws, 10 * int(std::ceil(46 / (77 * PumpStep))));
        QCOMPARE(runtime.boxes.size(), 1);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY(focus && focus->isVisible());
    }

    void clicksDuringAPauseCountInIt()
    {
        probe().select(QStringLiteral("Impossible"));
        int blueSeen = -1;
        runtime.onPump = [&](int pump) {
            if (pump == 3)
                probe().click(probe().blue());
            if (pump == 4)
                blueSeen = probe().blueScore();
        };
        probe().pressStart();
        QCOMPARE(blueSeen, 3);
    }

    // The window outlives the handler; the game stops at the next pumping
    // and nothing more is shown. Here the close comes from code, inside a pause.
    void closingTheWindowEndsTheGameSilently()
    {
        probe().select(QStringLiteral("Slow"));
        QElapsedTimer sinceClose;
        runtime.onPump = [&](int pump) {
            if (pump == 100) {
                sinceClose.start();
                window->close();
            }
        };
        probe().pressStart();
        qInfo("the game returned %lld us after close()", static_cast<long long>(sinceClose.nsecsElapsed() / 1000));
        QCOMPARE(runtime.pumps, 100);
        QVERIFY(runtime.boxes.isEmpty());
        QVERIFY(!window->isVisible());
    }

    // A press and release that wait in the same pumping as a repaint of the
    // window and the box count once, no more.
    void aClickQueuedWithARepaintCountsOnce()
    {
        probe().select(QStringLiteral("Impossible"));
        QList<std::int16_t> redAfterPump;
        runtime.onPump = [&](int pump) {
            redAfterPump.append(probe().redScore());
            if (pump != 5)
                return;
            QWindow* handle = window->windowHandle();
            const QPointF at = probe().red().geometry().center();
            const QPointF global = window->mapToGlobal(at);
            QCoreApplication::postEvent(
                handle, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {}));
            window->update();
            probe().red().update();
            QCoreApplication::postEvent(
                handle, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {}));
        };
        probe().pressStart();
        QCOMPARE(redAfterPump.at(4), 0);
        QCOMPARE(redAfterPump.at(5), 1);
        QCOMPARE(runtime.prompts().last(),
            QStringLiteral("Red: 1 points   Blue: 0 points   Green: 0 points   Total: 1 points."));
    }
};

QTEST_MAIN(GameLoopTest)
#include "tst_gameloop.moc"
