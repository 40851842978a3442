#include "support/fixture.h"

#include <QtTest>

namespace {
const QString Amazing = QStringLiteral("Amazing!");
const QString Great = QStringLiteral("Great job! Almost there... ");
const QString Good = QStringLiteral("Good job, but you still need some practice.");
const QString Average = QStringLiteral("Completely average. Do better.");
const QString Pathetic = QStringLiteral("That was pretty pathetic. Do better next time.");
const QString Bad = QStringLiteral("You have to admit, you're pretty bad at this game.");
const QString Worst = QStringLiteral("How is it possible to do that bad?");
}

// The verdict for a total: every threshold at and just past its boundary.
class VerdictTest : public QObject, WindowFixture {
    Q_OBJECT

private slots:
    void init()
    {
        makeWindow();
        probe().verdict().setText(QStringLiteral(" "));
    }

    void totalsChooseTheirVerdict_data()
    {
        QTest::addColumn<QString>("difficulty");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("verdict");
        const struct {
            const char* difficulty;
            int thresholds[6];
        } rows[] = { { "Slow", { 400, 320, 270, 200, 100, 50 } }, { "Average", { 250, 200, 150, 100, 50, 25 } },
            { "Impossible", { 150, 100, 60, 40, 20, 5 } } };
        const QString texts[] = { Amazing, Great, Good, Average, Pathetic, Bad, Worst };
        for (const auto& row : rows) {
            for (int i = 0; i < 6; ++i) {
                const int t = row.thresholds[i];
                QTest::addRow("%s %d", row.difficulty, t + 1) << row.difficulty << t + 1 << texts[i];
                QTest::addRow("%s %d", row.difficulty, t) << row.difficulty << t << texts[i + 1];
            }
            QTest::addRow("%s 0", row.difficulty) << row.difficulty << 0 << Worst;
            QTest::addRow("%s -300", row.difficulty) << row.difficulty << -300 << Worst;
            QTest::addRow("%s 32767", row.difficulty) << row.difficulty << 32767 << Amazing;
        }
    }
    void totalsChooseTheirVerdict()
    {
        QFETCH(QString, difficulty);
        QFETCH(int, total);
        QFETCH(QString, verdict);
        probe().select(difficulty);
        // Spread over the three counters, so the verdict adds them up itself.
        const int red = total / 3;
        probe().setScores(std::int16_t(red), std::int16_t(total - 2 * red), std::int16_t(red));
        probe().showVerdict();
        QCOMPARE(probe().verdict().text(), verdict);
    }

    void theWorkedGameOnAverage()
    {
        probe().select(QStringLiteral("Average"));
        probe().setScores(10, 30, 40);
        probe().showVerdict();
        QCOMPARE(probe().verdict().text(), Pathetic);
    }

    void noDifficultyWritesNothingAndAddsNothing()
    {
        probe().setScores(32767, 32767, 32767);
        probe().showVerdict(); // a sum it made would overflow
        QCOMPARE(probe().verdict().text(), QStringLiteral(" "));
    }

    void aTotalPastTheLimitIsAnError()
    {
        probe().select(QStringLiteral("Slow"));
        probe().setScores(32767, 0, 1);
        QVERIFY_THROWS_EXCEPTION(std::overflow_error, probe().showVerdict());
        QCOMPARE(probe().verdict().text(), QStringLiteral(" "));
    }
};

QTEST_MAIN(VerdictTest)
#include "tst_verdict.moc"
