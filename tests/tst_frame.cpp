// The frameless window's own behaviour: dragging by the header strip, page
// switching from the sidebar, and closing.
#include "app/MainWindow.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

Q_DECLARE_METATYPE(Qt::MouseButton)

namespace {

// A window whose window system answers the request to move it as told, and
// counts the requests.
class SystemMoveWindow : public MainWindow
{
public:
    bool accept = false;
    int requests = 0;

protected:
    bool startSystemMove() override
    {
        ++requests;
        return accept;
    }
};

} // namespace

class FrameTest : public QObject
{
    Q_OBJECT

private:
    static void send(QWidget *target, QEvent::Type type, QPointF local, QPointF global, Qt::MouseButton button,
                     Qt::MouseButtons held)
    {
        QMouseEvent event(type, local, local, global, button, held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void init()
    {
        sim::reset();
    }

    void cleanup()
    {
        QVERIFY(sim::violations().empty());
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()
                    || std::none_of(QApplication::topLevelWidgets().cbegin(), QApplication::topLevelWidgets().cend(),
                                    [](QWidget *w) { return w->isVisible(); }));
    }

    // Each case on a window that was never shown (no window system to ask) and on
    // one shown offscreen, where the window system refuses to move it: either
    // way the window follows the mouse itself.
    void drag_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPointF>("pressLocal");
        QTest::addColumn<QPointF>("pressGlobal");
        QTest::addColumn<QPointF>("moveGlobal");
        QTest::addColumn<QPoint>("expectedShift");

        for (bool shown : {false, true}) {
            const char *const state = shown ? "shown" : "hidden";
            auto row = [&](const char *name) -> QTestData & { return QTest::addRow("%s: %s", state, name) << shown; };
            row("left press at y 49.4 drags")
                << Qt::LeftButton << QPointF(200, 49.4) << QPointF(300, 149.4) << QPointF(340, 129.4) << QPoint(40, -20);
            row("left press at y 49.6 rounds to 50: no drag")
                << Qt::LeftButton << QPointF(200, 49.6) << QPointF(300, 149.6) << QPointF(340, 129.6) << QPoint(0, 0);
            row("left press at the top edge drags")
                << Qt::LeftButton << QPointF(5, 0) << QPointF(105, 100) << QPointF(100, 130) << QPoint(-5, 30);
            row("press below the strip: no drag")
                << Qt::LeftButton << QPointF(200, 300) << QPointF(300, 400) << QPointF(350, 450) << QPoint(0, 0);
            row("right press never drags")
                << Qt::RightButton << QPointF(200, 10) << QPointF(300, 110) << QPointF(350, 150) << QPoint(0, 0);
            row("press left of the primary screen: no move")
                << Qt::LeftButton << QPointF(200, 10) << QPointF(-50, 110) << QPointF(-20, 150) << QPoint(0, 0);
            row("press above the primary screen: no move")
                << Qt::LeftButton << QPointF(200, 10) << QPointF(50, -5) << QPointF(80, 20) << QPoint(0, 0);
        }
    }

    void drag()
    {
        QFETCH(bool, shown);
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPointF, pressLocal);
        QFETCH(QPointF, pressGlobal);
        QFETCH(QPointF, moveGlobal);
        QFETCH(QPoint, expectedShift);

        ModalAnswerer answerer;
        MainWindow window;
        window.move(100, 100);
        if (shown) {
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QVERIFY(window.windowHandle());
        }
        const QPoint start = window.pos();
        send(&window, QEvent::MouseButtonPress, pressLocal, pressGlobal, button, button);
        // The move holds the left button in every case: only the press decides.
        send(&window, QEvent::MouseMove, pressLocal, moveGlobal, Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos() - start, expectedShift);
    }

    void releaseEndsDrag()
    {
        ModalAnswerer answerer;
        MainWindow window;
        window.move(100, 100);
        send(&window, QEvent::MouseButtonPress, QPointF(20, 20), QPointF(120, 120), Qt::LeftButton, Qt::LeftButton);
        send(&window, QEvent::MouseMove, QPointF(20, 20), QPointF(130, 125), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos(), QPoint(110, 105));
        // A release of any button ends the drag; later moves do nothing.
        send(&window, QEvent::MouseButtonRelease, QPointF(20, 20), QPointF(130, 125), Qt::RightButton, Qt::LeftButton);
        send(&window, QEvent::MouseMove, QPointF(20, 20), QPointF(200, 200), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos(), QPoint(110, 105));
    }

    // Where the window system moves the window, the window leaves the mouse to
    // it and never moves itself as well.
    void systemMove_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPointF>("pressLocal");
        QTest::addColumn<int>("requests");

        QTest::newRow("left press in the strip asks") << Qt::LeftButton << QPointF(200, 49.4) << 1;
        QTest::newRow("left press at y 49.6 does not ask") << Qt::LeftButton << QPointF(200, 49.6) << 0;
        QTest::newRow("press below the strip does not ask") << Qt::LeftButton << QPointF(200, 300) << 0;
        QTest::newRow("right press does not ask") << Qt::RightButton << QPointF(200, 10) << 0;
    }

    void systemMove()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPointF, pressLocal);
        QFETCH(int, requests);

        ModalAnswerer answerer;
        SystemMoveWindow window;
        window.accept = true;
        window.move(100, 100);
        send(&window, QEvent::MouseButtonPress, pressLocal, pressLocal + QPointF(100, 100), button, button);
        QCOMPARE(window.requests, requests);
        send(&window, QEvent::MouseMove, pressLocal, QPointF(350, 150), Qt::NoButton, Qt::LeftButton);
        send(&window, QEvent::MouseMove, pressLocal, QPointF(380, 190), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos(), QPoint(100, 100));
    }

    // A drag whose release never came (the window system took the mouse, or
    // the release went elsewhere) must not live on into the next press.
    void pressEndsEarlierDrag_data()
    {
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<QPointF>("pressLocal");
        QTest::addColumn<QPointF>("pressGlobal");
        QTest::addColumn<bool>("systemMoves");
        QTest::addColumn<QPoint>("expectedShift");

        QTest::newRow("then a press below the strip") << Qt::LeftButton << QPointF(200, 300) << QPointF(300, 400)
                                                      << false << QPoint(0, 0);
        QTest::newRow("then a right press in the strip") << Qt::RightButton << QPointF(200, 10) << QPointF(300, 110)
                                                         << false << QPoint(0, 0);
        QTest::newRow("then a press the window system takes")
            << Qt::LeftButton << QPointF(200, 10) << QPointF(300, 110) << true << QPoint(0, 0);
        // The new drag starts where the mouse is now: no jump by the old origin.
        QTest::newRow("then a press elsewhere in the strip")
            << Qt::LeftButton << QPointF(600, 30) << QPointF(700, 130) << false << QPoint(10, 20);
    }

    void pressEndsEarlierDrag()
    {
        QFETCH(Qt::MouseButton, button);
        QFETCH(QPointF, pressLocal);
        QFETCH(QPointF, pressGlobal);
        QFETCH(bool, systemMoves);
        QFETCH(QPoint, expectedShift);

        ModalAnswerer answerer;
        SystemMoveWindow window;
        window.move(100, 100);
        send(&window, QEvent::MouseButtonPress, QPointF(20, 20), QPointF(120, 120), Qt::LeftButton, Qt::LeftButton);
        send(&window, QEvent::MouseMove, QPointF(20, 20), QPointF(125, 120), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos(), QPoint(105, 100));

        window.accept = systemMoves;
        send(&window, QEvent::MouseButtonPress, pressLocal, pressGlobal, button, button | Qt::LeftButton);
        send(&window, QEvent::MouseMove, pressLocal, pressGlobal + QPointF(10, 20), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(window.pos() - QPoint(105, 100), expectedShift);
    }

    void moveWithoutLeftButtonDoesNothing()
    {
        ModalAnswerer answerer;
        MainWindow window;
        window.move(100, 100);
        send(&window, QEvent::MouseButtonPress, QPointF(20, 20), QPointF(120, 120), Qt::LeftButton, Qt::LeftButton);
        send(&window, QEvent::MouseMove, QPointF(20, 20), QPointF(160, 160), Qt::NoButton, Qt::RightButton);
        QCOMPARE(window.pos(), QPoint(100, 100));
    }

    void startsOnInputsPage()
    {
        ModalAnswerer answerer;
        MainWindow window;
        auto *stack = window.findChild<QStackedWidget *>("stackedWidget");
        QCOMPARE(stack->currentIndex(), 0);
        QVERIFY(window.findChild<QPushButton *>("pbS1")->isChecked());
        QVERIFY(window.findChild<QWidget *>("lbUpgrade")->isHidden());
        QVERIFY(window.findChild<QWidget *>("pgUpgrade")->isHidden());
    }

    void sidebar_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<int>("page");

        QTest::newRow("RGB") << QStringList{"pbS2"} << 1;
        QTest::newRow("PADDLES") << QStringList{"pbS3"} << 2;
        QTest::newRow("DEVICE") << QStringList{"pbS4"} << 3;
        QTest::newRow("ABOUT") << QStringList{"pbS5"} << 4;
        QTest::newRow("back to INPUTS") << QStringList{"pbS5", "pbS1"} << 0;
        QTest::newRow("click on the checked button keeps it") << QStringList{"pbS3", "pbS3"} << 2;
        QTest::newRow("click on the start button keeps it") << QStringList{"pbS1"} << 0;
    }

    void sidebar()
    {
        QFETCH(QStringList, clicks);
        QFETCH(int, page);

        ModalAnswerer answerer;
        MainWindow window;
        for (const QString &name : clicks)
            QTest::mouseClick(window.findChild<QPushButton *>(name), Qt::LeftButton);

        QCOMPARE(window.findChild<QStackedWidget *>("stackedWidget")->currentIndex(), page);
        for (int i = 1; i <= 5; ++i) {
            auto *button = window.findChild<QPushButton *>(QStringLiteral("pbS%1").arg(i));
            QCOMPARE(button->isChecked(), i == page + 1);
        }
    }

    void closeButtonClosesWindow()
    {
        ModalAnswerer answerer;
        MainWindow window;
        window.show();
        QTRY_COMPARE(sim::openCount(), 1);
        QTest::mouseClick(window.findChild<QPushButton *>("pbClose"), Qt::LeftButton);
        QVERIFY(!window.isVisible());
        QVERIFY(answerer.messages().isEmpty());
    }
};

QTEST_MAIN(FrameTest)
#include "tst_frame.moc"
