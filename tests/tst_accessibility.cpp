#include "support/fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QtTest>

// What assistive technology reads from the window, and what it may do there.
class AccessibilityTest : public QObject, WindowFixture {
    Q_OBJECT

    QAccessibleInterface* accessible(const QString& name) const
    {
        auto* control = window->findChild<QWidget*>(name);
        return control ? QAccessible::queryAccessibleInterface(control) : nullptr;
    }

    static void row(
        const char* tag, const char* control, QAccessible::Role role, const char* name, const char* description)
    {
        QTest::newRow(tag) << QString::fromLatin1(control) << int(role) << QString::fromLatin1(name)
                           << QString::fromLatin1(description);
    }

private slots:
    void init()
    {
        makeWindow();
        QVERIFY(showWindow());
    }

    void controlsAreNamedAndDescribed_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        row("list", "lst1", QAccessible::List, "Difficulty", "");
        row("start", "cmdStart", QAccessible::Button, "Start", "");
        row("red box", "pct", QAccessible::Button, "Red box", "1 point per click");
        row("blue box", "pct2", QAccessible::Button, "Blue box", "3 points per click");
        row("green box", "pct3", QAccessible::Button, "Green box", "4 points per click");
        row("timer", "lblTimer", QAccessible::StaticText, "", "Elapsed seconds");
        row("verdict", "lbl1", QAccessible::StaticText, "", "Verdict");
    }
    void controlsAreNamedAndDescribed()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QAccessibleInterface* iface = accessible(control);
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), name);
        QCOMPARE(iface->text(QAccessible::Description), description);
        QVERIFY(!iface->state().invisible);
        QCOMPARE(iface->parent()->object(), window.get());
    }

    // A label's name is what it shows, so the seconds and the verdict are read.
    void labelsAreReadAsTheyChange()
    {
        probe().showElapsed(7.4f);
        QCOMPARE(accessible("lblTimer")->text(QAccessible::Name).trimmed(), QStringLiteral("7"));
        probe().select(QStringLiteral("Slow"));
        probe().setScores(10, 9, 8);
        probe().showVerdict();
        QCOMPARE(accessible("lbl1")->text(QAccessible::Name), QStringLiteral("How is it possible to do that bad?"));
    }

    void theWindowIsReadByItsCaption()
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window.get());
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Vemmo's Zorbleck!"));
        QCOMPARE(iface->childCount(), 7);
    }

    // Pressing a box from assistive technology is a click: it scores as one,
    // once, and only for that box.
    void pressingABoxScoresLikeAClick()
    {
        const auto p = probe();
        const std::tuple<QString, std::int16_t*, std::int16_t> boxes[] = {
            { "pct", &p.redScore(), 1 },
            { "pct2", &p.blueScore(), 3 },
            { "pct3", &p.greenScore(), 4 },
        };
        for (const auto& [name, score, points] : boxes) {
            QAccessibleActionInterface* actions = accessible(name)->actionInterface();
            QVERIFY(actions);
            QCOMPARE(actions->actionNames().first(), QAccessibleActionInterface::pressAction());
            actions->doAction(QAccessibleActionInterface::pressAction());
            QCOMPARE(*score, points);
        }
        QCOMPARE(p.redScore() + p.blueScore() + p.greenScore(), 8);

        // Its other action is the widget's own: focus, without a point.
        accessible("pct2")->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
        QCOMPARE(QApplication::focusWidget(), &p.blue());
        QCOMPARE(p.blueScore(), 3);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
