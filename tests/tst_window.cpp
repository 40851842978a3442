#include "support/fixture.h"

#include <QApplication>
#include <QtTest>

// The window as the player first sees it, and the input it takes.
class WindowTest : public QObject, WindowFixture {
    Q_OBJECT

private slots:
    void init()
    {
        makeWindow();
        QVERIFY(showWindow());
    }

    // Font sizes in points; 0 for the window's own font.
    void controlsStandAtTheirPixels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::addColumn<double>("points");
        QTest::newRow("red box") << "pct" << QRect(224, 216, 49, 41) << 0.0;
        QTest::newRow("green box") << "pct3" << QRect(392, 216, 49, 41) << 0.0;
        QTest::newRow("blue box") << "pct2" << QRect(312, 216, 49, 41) << 0.0;
        QTest::newRow("list") << "lst1" << QRect(120, 16, 105, 76) << 13.5;
        QTest::newRow("start") << "cmdStart" << QRect(16, 40, 97, 33) << 0.0;
        QTest::newRow("timer") << "lblTimer" << QRect(608, 8, 41, 33) << 15.75;
        QTest::newRow("verdict") << "lbl1" << QRect(16, 96, 265, 41) << 12.0;
    }
    void controlsStandAtTheirPixels()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QFETCH(double, points);
        auto* control = window->findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
        QVERIFY(control->isVisible());
        QCOMPARE(control->font().pointSizeF(), points > 0 ? points : window->font().pointSizeF());
    }

    // The load handler seeds the random source once, then the rules come in
    // two boxes, all before the window shows.
    void theRulesComeBeforeTheWindow()
    {
        makeWindow();
        QList<int> seedsAtBox;
        runtime.onMessageBox = [&](const FakeRuntime::Box& box) {
            QVERIFY(!window->isVisible());
            QCOMPARE(box.title, QStringLiteral("Zorbleck!"));
            seedsAtBox.append(runtime.seeds);
        };
        window->load();
        QCOMPARE(runtime.prompts(),
            QStringList({ "Click on the boxes as many times as you can. You have 45 seconds.",
                "Red = 1 point, Blue = 2 points, and Green = 3 points" }));
        QCOMPARE(seedsAtBox, QList<int>({ 1, 1 }));
        QCOMPARE(probe().redScore() + probe().blueScore() + probe().greenScore(), 0);
    }

    void windowHasItsCaptionAndClientSize()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Vemmo's Zorbleck!"));
        QCOMPARE(window->size(), QSize(659, 569));
    }

    void boxesKeepTwipsAndPaintTheirExactColour()
    {
        const auto p = probe();
        const QImage shot = window->grab().toImage();
        const std::tuple<platform::ColorBox*, float, QColor> boxes[] = {
            { &p.red(), 3360, QColor(255, 0, 0) },
            { &p.blue(), 4680, QColor(0, 0, 255) },
            { &p.green(), 5880, QColor(0, 192, 0) },
        };
        for (const auto& [box, left, colour] : boxes) {
            QCOMPARE(box->leftTwips(), left);
            QCOMPARE(box->topTwips(), 3240.0f);
            QCOMPARE(box->widthTwips(), 735.0f);
            QCOMPARE(box->heightTwips(), 615.0f);
            const QRect r = box->geometry();
            for (const QPoint corner : { r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(), r.center() })
                QCOMPARE(shot.pixelColor(corner), colour);
            QCOMPARE(shot.pixelColor(r.topLeft() - QPoint(1, 1)), window->palette().color(QPalette::Window));
        }
    }

    void fractionalTwipsAreKeptAndPlacedAtTheNearestPixel()
    {
        auto& box = probe().red();
        box.setLeftTwips(3380.39990234375f);
        box.setTopTwips(37.5f); // 2.5 pixels: a tie, which goes to the even 2
        QCOMPARE(box.leftTwips(), 3380.39990234375f);
        QCOMPARE(box.x(), 225);
        QCOMPARE(box.y(), 2);
        box.setTopTwips(-7.6f);
        QCOMPARE(box.y(), -1);
    }

    void listHoldsTheDifficultiesUnsortedWithNoneSelected()
    {
        auto& list = probe().list();
        QCOMPARE(list.count(), 3);
        QCOMPARE(list.item(0)->text(), QStringLiteral("Slow"));
        QCOMPARE(list.item(1)->text(), QStringLiteral("Average"));
        QCOMPARE(list.item(2)->text(), QStringLiteral("Impossible"));
        QCOMPARE(probe().difficulty(), QString());
        QCOMPARE(probe().timer().text(), QString());
        QCOMPARE(probe().verdict().text(), QString());
    }

    // Giving the list the focus makes a row current without selecting it.
    void aCurrentRowIsNotASelection()
    {
        auto& list = probe().list();
        list.selectionModel()->setCurrentIndex(list.model()->index(1, 0), QItemSelectionModel::NoUpdate);
        QCOMPARE(probe().difficulty(), QString());
        probe().pressStart();
        QCOMPARE(runtime.prompts().first(), QStringLiteral("Select a Difficulty"));

        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(2)).center());
        QCOMPARE(probe().difficulty(), QStringLiteral("Impossible"));
    }

    void startHoldsTheFocusAndTabFollowsTheTabIndex()
    {
        QCOMPARE(QApplication::focusWidget(), &probe().start());
        const QStringList order { "lst1", "pct2", "pct3", "pct", "cmdStart" };
        for (const QString& name : order) {
            QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), name);
        }
    }

    void enterAndSpaceOperateStart_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
        QTest::newRow("space") << int(Qt::Key_Space);
    }
    void enterAndSpaceOperateStart()
    {
        QFETCH(int, key);
        QTest::keyClick(window->windowHandle(), Qt::Key(key));
        QCOMPARE(runtime.boxes.size(), 2); // "Select a Difficulty", then the summary
        QCOMPARE(runtime.boxes.at(0).title, QStringLiteral("Zorbleck"));
    }

    void theKeyboardNeverClicksABox()
    {
        probe().blue().setFocus();
        QCOMPARE(QApplication::focusWidget(), &probe().blue());
        for (Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter })
            QTest::keyClick(window->windowHandle(), key);
        QCOMPARE(probe().blueScore(), 0);
        QVERIFY(runtime.boxes.isEmpty());
    }

    // A box that moves over a label covers it, and a click there scores.
    void labelsLieBeneathEverything()
    {
        auto& box = probe().green();
        box.setLeftTwips(9120);
        box.setTopTwips(120);
        QCOMPARE(window->childAt(box.geometry().center()), &box);
        probe().click(box);
        QCOMPARE(probe().greenScore(), 4);

        // Children are kept bottom to top.
        const QWidgetList stack = window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(QSet<QString>({ stack.at(0)->objectName(), stack.at(1)->objectName() }),
            QSet<QString>({ "lbl1", "lblTimer" }));
    }

    void clicksOnTheBackgroundAndLabelsDoNothing()
    {
        probe().click(probe().verdict());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, QPoint(600, 500));
        QVERIFY(runtime.boxes.isEmpty());
        QCOMPARE(probe().redScore() + probe().blueScore() + probe().greenScore(), 0);
    }

    void selectingADifficultyChangesNothingElse()
    {
        const QImage before = window->grab(QRect(0, 100, 659, 469)).toImage();
        probe().select(QStringLiteral("Average"));
        QCOMPARE(window->grab(QRect(0, 100, 659, 469)).toImage(), before);
        QVERIFY(runtime.boxes.isEmpty());
    }

    // The label keeps the standard face colour whatever the window's colour.
    void labelsStayOpaqueOnAFlashingBackground()
    {
        const QColor face = probe().timer().palette().color(QPalette::Window);
        QPalette red = window->palette();
        red.setColor(QPalette::Window, Qt::red);
        window->setPalette(red);
        probe().timer().setText(QStringLiteral("  7"));
        const QImage shot = window->grab().toImage();
        QCOMPARE(shot.pixelColor(probe().timer().geometry().bottomRight()), face);
        QCOMPARE(shot.pixelColor(QPoint(600, 500)), QColor(Qt::red));
    }

    // A label's text starts at its top; a verdict too long for one line goes
    // on to a second. Rows of the label that hold any text:
    void labelTextStartsAtTheTopAndWraps()
    {
        QLabel& label = probe().verdict();
        const auto inkedRows = [&](const QString& text) {
            label.setText(text);
            const QImage shot = label.grab().toImage();
            const QColor face = shot.pixelColor(0, 0);
            QList<int> rows;
            for (int y = 0; y < shot.height(); ++y)
                for (int x = 0; x < shot.width(); ++x)
                    if (shot.pixelColor(x, y) != face) {
                        rows.append(y);
                        break;
                    }
            return rows;
        };
        const int middle = label.height() / 2;
        QVERIFY(inkedRows(QStringLiteral("  45")).last() < middle);
        QVERIFY(inkedRows(QStringLiteral("You have to admit, you're pretty bad at this game.")).last() > middle + 2);
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
