#include "game/layout.h"
#include "qt/qt_window.h"
#include "support/named.h"
#include "support/probe.h"
#include "support/scripted_platform.h"
#include "window_rules.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QWindow>
#include <QtTest>

#include <memory>
#include <vector>

using game::Control;

namespace {

// The real window and widgets; only time, chance, boxes and pumping scripted.
struct TestWindow final : ScriptedRuntime, qtui::QtWindow {
    TestWindow()
        : qtui::QtWindow(std::make_unique<ScriptedRandom>(*this))
    {
    }
    double clock() override { return read(); }
    void messageBox(const std::string& prompt, const std::string& title) override { showBox(prompt, title); }
    void pumpEvents() override
    {
        pump();
        QCoreApplication::processEvents();
    }
};

} // namespace

// What the Qt front end adds to the game: widgets at their pixels, fonts,
// focus, stacking, press-not-release and what a screen reader is told.
class QtFrontEndTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestWindow> window;

    QWidget& widget(Control c) const { return *window->widget(c); }
    void click(Control c) const
    {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget(c).geometry().center());
    }
    void select(int row) const
    {
        auto& list = static_cast<QListWidget&>(widget(Control::lst1));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
    }

private slots:
    void init()
    {
        window = std::make_unique<TestWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

    // Every control at its pixels in its font, every pixel of a box in its
    // colour, and the outer size in twips: the frame's, or the client area
    // where no window manager draws one. The caption and the client area are
    // read from outside, in the whole game.
    void opensAsLaidOut()
    {
        const QImage shot = window->grab().toImage();
        for (const rules::Control& c : rules::Controls) {
            const QWidget& w = widget(named(c.name));
            QCOMPARE(w.objectName(), QLatin1String(c.name));
            const auto [x, y, width, height] = c.pixels;
            QCOMPARE(w.geometry(), QRect(x, y, width, height));
            QVERIFY(w.isVisible());
            QCOMPARE(w.font().pointSizeF(), c.points > 0 ? c.points : window->font().pointSizeF());
            QCOMPARE(window->left(named(c.name)), float(x * 15));
            QCOMPARE(window->top(named(c.name)), float(y * 15));
        }
        for (const rules::Box& b : rules::Boxes) {
            const QRect r = widget(named(b.name)).geometry();
            QCOMPARE(window->height(named(b.name)), float(r.height() * 15));
            for (const QPoint corner : { r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(), r.center() })
                QCOMPARE(shot.pixelColor(corner), QColor(b.colour[0], b.colour[1], b.colour[2]));
            QCOMPARE(shot.pixelColor(r.topLeft() - QPoint(1, 1)), window->palette().color(QPalette::Window));
        }
        QCOMPARE(window->outerWidth(), float(window->frameGeometry().width() * 15));
        QCOMPARE(window->outerHeight(), float(window->frameGeometry().height() * 15));
    }

    // Twips are kept as written, fractions included, and shown at the
    // nearest pixel, ties to even.
    void aBoxKeepsItsTwipsAndShowsAtTheNearestPixel()
    {
        window->setLeft(Control::pct, 3380.39990234375f);
        window->setTop(Control::pct, 37.5f); // 2.5 pixels: a tie, which goes to the even 2
        QCOMPARE(window->left(Control::pct), 3380.39990234375f);
        QCOMPARE(widget(Control::pct).pos(), QPoint(225, 2));
        window->setTop(Control::pct, -7.6f);
        QCOMPARE(widget(Control::pct).y(), -1);
    }

    // Giving the list the focus makes a row current without selecting it.
    void theListHoldsTheDifficultiesUnsortedWithNoneSelected()
    {
        auto& list = static_cast<QListWidget&>(widget(Control::lst1));
        QCOMPARE(list.count(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(list.item(row)->text(), QString::fromLatin1(rules::Difficulties.at(std::size_t(row))));
        QCOMPARE(window->text(Control::lst1), std::string());
        QCOMPARE(static_cast<QLabel&>(widget(Control::lblTimer)).text(), QString());
        list.selectionModel()->setCurrentIndex(list.model()->index(1, 0), QItemSelectionModel::NoUpdate);
        QCOMPARE(window->text(Control::lst1), std::string());
        const QImage before = window->grab(QRect(0, 100, 659, 469)).toImage();
        select(2);
        QCOMPARE(window->text(Control::lst1), std::string("Impossible"));
        QCOMPARE(window->grab(QRect(0, 100, 659, 469)).toImage(), before);
        QVERIFY(window->boxes.empty());
    }

    // Start holds the focus at first: Enter and Space on it are played from outside.
    void tabFollowsTheTabIndex()
    {
        for (std::size_t i = 1; i <= rules::TabOrder.size(); ++i) {
            QTest::keyClick(window->windowHandle(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(rules::TabOrder.at(i % 5)));
        }
    }

    // Return and Space on Start are played from outside; the keypad's Enter
    // is here.
    void keysOperateStartButNeverABox()
    {
        QTest::keyClick(window->windowHandle(), Qt::Key_Enter);
        QCOMPARE(window->prompts(), (std::vector<std::string> { rules::Select, rules::summary(0, 0, 0) }));
        window->boxes.clear();
        widget(Control::pct2).setFocus();
        for (const Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter })
            QTest::keyClick(window->windowHandle(), key);
        QVERIFY(window->boxes.empty());
        click(Control::pct2);
        click(Control::cmdStart);
        QCOMPARE(window->prompts().back(), rules::summary(0, 3, 0));
    }

    // A box that moves over a label covers it, and a click there scores (a
    // click on a label or the background alone is played from outside).
    void labelsLieBeneathEverything()
    {
        window->setLeft(Control::pct3, 9120);
        window->setTop(Control::pct3, 120);
        QCOMPARE(window->childAt(widget(Control::pct3).geometry().center()), &widget(Control::pct3));
        click(Control::pct3);
        click(Control::cmdStart);
        QCOMPARE(window->prompts().back(), rules::summary(0, 0, 4));
    }

    // The label keeps the standard face colour whatever the window's colour;
    // its text starts at its top, and a verdict too long for a line wraps.
    void labelsStayOpaqueStartAtTheTopAndWrap()
    {
        auto& timer = static_cast<QLabel&>(widget(Control::lblTimer));
        const QColor face = timer.palette().color(QPalette::Window);
        window->setBackColor({ 255, 0, 0 });
        window->setCaption(Control::lblTimer, "  7");
        QImage shot = window->grab().toImage();
        QCOMPARE(shot.pixelColor(timer.geometry().bottomRight()), face);
        QCOMPARE(shot.pixelColor(QPoint(600, 500)), QColor(Qt::red));

        auto& label = static_cast<QLabel&>(widget(Control::lbl1));
        const auto lastInkedRow = [&](const std::string& text) {
            window->setCaption(Control::lbl1, text);
            const QImage image = label.grab().toImage();
            int last = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixelColor(x, y) != image.pixelColor(0, 0))
                        last = y;
            return last;
        };
        QVERIFY(lastInkedRow("  45") < label.height() / 2);
        QVERIFY(lastInkedRow("You have to admit, you're pretty bad at this game.") > label.height() / 2 + 2);
    }

    // The press counts: the box may have jumped away before the release.
    void aClickCountsOnThePressAndADoubleClickTwice()
    {
        const QPoint centre = widget(Control::pct).geometry().center();
        QTest::mousePress(window->windowHandle(), Qt::LeftButton, {}, centre);
        window->setLeft(Control::pct, 7000);
        QTest::mouseRelease(window->windowHandle(), Qt::LeftButton, {}, centre);
        window->setLeft(Control::pct, 3360);
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, centre);
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, centre);
        QTest::mouseClick(window->windowHandle(), Qt::MiddleButton, {}, centre);
        click(Control::cmdStart);
        QCOMPARE(window->prompts().back(), rules::summary(3, 0, 0));
    }

    // A screen reader names every control, says what a click on a box scores,
    // and pressing the box there scores just that.
    void aScreenReaderPressScoresWhatItSays()
    {
        QSet<QString> names;
        for (const auto& at : game::layout::Controls) {
            QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&widget(at.control));
            QVERIFY2(!(iface->text(QAccessible::Name) + iface->text(QAccessible::Description)).isEmpty(), at.name);
            if (at.kind != game::layout::Kind::Box)
                continue;
            names.insert(iface->text(QAccessible::Name));
            const int points = iface->text(QAccessible::Description).section(u' ', 0, 0).toInt();
            window->boxes.clear();
            iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            click(Control::cmdStart);
            QVERIFY(window->prompts().back().find("Total: " + std::to_string(points) + " ") != std::string::npos);
        }
        QCOMPARE(names.size(), 3);
    }

    // Space and Enter go to whatever holds the focus while the start controls
    // are hidden: a second game must not begin inside the first. A press and
    // release queued with a repaint count once; closing the window ends the
    // game at once, silently.
    void inAGame()
    {
        select(0);
        widget(Control::cmdStart).setFocus();
        window->pumpStep = 1.0 / 256;
        window->onPump = [&](int pump) {
            if (pump % 50 == 1) {
                for (const Qt::Key key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab })
                    QTest::keyClick(window->windowHandle(), key);
                click(Control::cmdStart);
            }
            if (pump == 5) {
                const QPointF at = widget(Control::pct).geometry().center();
                const QPointF global = window->mapToGlobal(at);
                QCoreApplication::postEvent(window->windowHandle(),
                    new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, {}));
                window->update();
                QCoreApplication::postEvent(window->windowHandle(),
                    new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, {}));
            }
            if (pump == 2000)
                window->close();
        };
        QTest::keyClick(window->windowHandle(), Qt::Key_Space);
        QCOMPARE(window->pumps, 2000);
        QCOMPARE(window->draws, 10 * 26);
        QVERIFY(window->boxes.empty());
        QVERIFY(!window->isVisible());
        QCOMPARE(ZorbleckProbe { window->zorbleck() }.redScore(), 1);
    }
};

QTEST_MAIN(QtFrontEndTest)
#include "tst_qt.moc"
