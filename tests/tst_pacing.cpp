#include "support/fixture.h"

#include "platform/qt_runtime.h"

#include <QtTest>

#include <cmath>
#include <thread>

// The pause, the elapsed-seconds caption, the random draws and their source.
class PacingTest : public QObject, WindowFixture {
    Q_OBJECT

private slots:
    void init() { makeWindow(); }

    void pauseEndsAtTheFirstReadingPastItsLength_data()
    {
        QTest::addColumn<double>("duration");
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("pumps");
        QTest::addColumn<double>("endsAt");
        QTest::newRow("zero never pumps") << 0.0 << 0.125 << 0 << 0.125;
        QTest::newRow("negative never pumps") << -1.0 << 0.125 << 0 << 0.125;
        QTest::newRow("reading exactly at the end") << 0.25 << 0.125 << 1 << 0.25;
        QTest::newRow("clock coarser than the pause") << 0.035 << 0.0625 << 0 << 0.0625;
        QTest::newRow("fine clock") << 0.035 << 0.001953125 << 17 << 0.03515625;
    }
    void pauseEndsAtTheFirstReadingPastItsLength()
    {
        QFETCH(double, duration);
        QFETCH(double, step);
        QFETCH(int, pumps);
        QFETCH(double, endsAt);
        runtime.now = 1000;
        runtime.readStep = step;
        window->TimeOut(duration);
        QCOMPARE(runtime.pumps, pumps);
        // The last reading taken is the one that ended the pause.
        QCOMPARE(runtime.now - runtime.readStep, 1000 + endsAt);
    }

    // Time spent in handlers run by the pumping counts towards the pause.
    void handlersRunInsideThePauseCountTowardsIt()
    {
        runtime.onPump = [this](int) { runtime.now += 0.1; };
        window->TimeOut(0.3);
        QCOMPARE(runtime.pumps, 3);
    }

    void elapsedShowsWholeSecondsAfterTwoBlanks_data()
    {
        QTest::addColumn<float>("elapsed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("0.2") << 0.2f << "  0";
        QTest::newRow("12.7") << 12.7f << "  12";
        QTest::newRow("45.99") << 45.99f << "  45";
        QTest::newRow("46.01") << 46.01f << "  46";
        QTest::newRow("negative") << -0.5f << "  -1";
    }
    void elapsedShowsWholeSecondsAfterTwoBlanks()
    {
        QFETCH(float, elapsed);
        QFETCH(QString, caption);
        probe().showElapsed(elapsed);
        QCOMPARE(probe().timer().text(), caption);
    }

    // The largest r below 1 draws n. A product rounded to single precision
    // can round up across a whole number (0.13f * 100 to 13) and draw one too
    // many, though never n + 1; the draw keeps to the exact product.
    void drawsStayWithinOneToN_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<float>("at013"); // what 0.13f draws
        QTest::newRow("60") << 60 << 8.0f;
        QTest::newRow("100") << 100 << 13.0f;
        QTest::newRow("7800") << 7800 << 1014.0f;
        QTest::newRow("9800") << 9800 << 1274.0f;
    }
    void drawsStayWithinOneToN()
    {
        QFETCH(int, n);
        QFETCH(float, at013);
        runtime.randoms = { 0.0f, std::nextafter(1.0f, 0.0f), 0.5f, std::nextafter(0.5f, 0.0f) };
        QCOMPARE(probe().draw(n), 1.0f);
        QCOMPARE(probe().draw(n), float(n));
        const int half = n / 2; // rounded down, as draw() floors
        QCOMPARE(probe().draw(n), float(half + 1));
        QCOMPARE(probe().draw(n), float(half));
        runtime.randoms = { 0.13f };
        QCOMPARE(probe().draw(n), at013);
    }

    void theRandomSourceNeverReachesOne()
    {
        QCOMPARE(platform::unitFloat(0), 0.0f);
        QVERIFY(platform::unitFloat(0xFFFFFFFFu) < 1.0f);
        QCOMPARE(platform::unitFloat(0x80000000u), 0.5f);
    }

    // Runs started at different moments must not replay the same boxes.
    void seedingsAtDifferentMomentsDrawDifferently()
    {
        platform::QtRuntime real;
        const auto sequence = [&] {
            real.seedRandom();
            QList<float> numbers;
            for (int i = 0; i < 16; ++i)
                numbers.append(real.random());
            return numbers;
        };
        const QList<float> first = sequence();
        std::this_thread::sleep_for(std::chrono::microseconds(10));
        const QList<float> second = sequence();
        QVERIFY(first != second);
        for (float r : first + second)
            QVERIFY(r >= 0.0f && r < 1.0f);
    }
};

QTEST_MAIN(PacingTest)
#include "tst_pacing.moc"
