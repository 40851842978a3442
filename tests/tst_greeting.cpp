#include "support/fake_runtime.h"
#include "support/probe.h"

#include "platform/qt_runtime.h"

#include <QtTest>

#include <thread>

// What the player meets before the window: the rules, and a fresh game.
class GreetingTest : public QObject {
    Q_OBJECT

private slots:
    void theRulesComeInTwoBoxesBeforeTheWindow()
    {
        FakeRuntime runtime;
        Zorbleck window(runtime);
        bool windowShown = false;
        int seedsBeforeFirstBox = -1;
        runtime.onMessageBox = [&](const FakeRuntime::Box&) {
            windowShown = windowShown || window.isVisible();
            if (seedsBeforeFirstBox < 0)
                seedsBeforeFirstBox = runtime.seeds;
        };
        window.load();

        QCOMPARE(runtime.boxes.size(), 2);
        QCOMPARE(runtime.boxes.at(0).prompt,
            QStringLiteral("Click on the boxes as many times as you can. You have 45 seconds."));
        QCOMPARE(runtime.boxes.at(1).prompt, QStringLiteral("Red = 1 point, Blue = 2 points, and Green = 3 points"));
        QCOMPARE(runtime.boxes.at(0).title, QStringLiteral("Zorbleck!"));
        QCOMPARE(runtime.boxes.at(1).title, QStringLiteral("Zorbleck!"));
        QCOMPARE(seedsBeforeFirstBox, 1);
        QCOMPARE(runtime.seeds, 1);
        QVERIFY(!windowShown);
        QCOMPARE(ZorbleckProbe { window }.redScore() + ZorbleckProbe { window }.greenScore(), 0);
    }

    // Runs started at different moments must not replay the same boxes.
    void seedingsAtDifferentMomentsDrawDifferently()
    {
        platform::QtRuntime runtime;
        const auto sequence = [&] {
            runtime.seedRandom();
            QList<float> numbers;
            for (int i = 0; i < 16; ++i)
                numbers.append(runtime.random());
            return numbers;
        };
        const QList<float> first = sequence();
        std::this_thread::sleep_for(std::chrono::microseconds(10));
        const QList<float> second = sequence();
        QVERIFY(first != second);
        for (float r : first + second)
            QVERIFY(r >= 0.0f && r < 1.0f);
    }

    void theClockIsMonotonicAndFine()
    {
        platform::QtRuntime runtime;
        double last = runtime.clock();
        double smallestStep = 1;
        for (int i = 0; i < 10000; ++i) {
            const double now = runtime.clock();
            QVERIFY(now >= last);
            if (now > last)
                smallestStep = std::min(smallestStep, now - last);
            last = now;
        }
        QVERIFY(smallestStep < 1e-5);
    }
};

QTEST_MAIN(GreetingTest)
#include "tst_greeting.moc"
