// The device page's progress bar: whatever rate the worker reports at, the bar
// never repaints synchronously, holds the latest value at once, and paints at
// most once per pacing interval, the last value included.
#include "app/ProgressPacer.h"
#include "device/connection.h"
#include "support/WheelTest.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>

using namespace wheeltest;

namespace {

// Counts the paint events a bar receives, and the value it last painted.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QProgressBar *bar) { bar->installEventFilter(this); }
    int paints = 0;
    int paintedValue = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            paintedValue = static_cast<QProgressBar *>(watched)->value();
        }
        return false;
    }
};

} // namespace

class ProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { sim::reset(); }
    void cleanup()
    {
        vorla::connection::close();
        verifyCleanEnd();
    }

    // The worker's values through the window: a burst of them costs no
    // paint until the event loop runs, and then about one.
    void windowPacesTheBar()
    {
        Session s;
        if (!s.started())
            return;
        auto *bar = s.child<QProgressBar>("pgUpgrade");
        s.child<QPushButton>("pbS4")->click();
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        PaintCounter counter(bar);
        for (int value = 0; value <= 95; ++value) {
            emit s.window->upgradeWorker().progress(value);
            QCOMPARE(bar->value(), value);
        }
        QCOMPARE(counter.paints, 0);
        QTRY_COMPARE(counter.paintedValue, 95);
        QTest::qWait(3 * ProgressPacer::kIntervalMs);
        QVERIFY2(counter.paints <= 2, qPrintable(QString::number(counter.paints)));
        QVERIFY(bar->updatesEnabled());
        emit s.window->upgradeWorker().progress(-1); // a failed run: the box is answered
        QVERIFY(bar->isHidden());
        s.window->hide();
    }

    // Values arriving every `spacing` ms for a while: the paints stay within
    // one per interval (plus the first), and the last value is painted.
    void paintsAtMostOncePerInterval_data()
    {
        QTest::addColumn<int>("spacing");
        QTest::newRow("every ms") << 1;
        QTest::newRow("every 5 ms") << 5;
        QTest::newRow("every 20 ms") << 20;
    }
    void paintsAtMostOncePerInterval()
    {
        QFETCH(int, spacing);
        // Inside a window, as on the device page. A bar that is a window of its
        // own sometimes stops painting for good once its updates have been
        // turned off and on (Qt's offscreen platform under wine, about one
        // run in fifteen); the program's bar never is one.
        QWidget window;
        QProgressBar bar(&window);
        bar.setRange(0, 1000);
        bar.resize(400, 24);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PaintCounter counter(&bar);
        QElapsedTimer clock;
        clock.start();
        int value = 0;
        while (clock.elapsed() < 300) {
            ProgressPacer::of(&bar)->setValue(++value);
            QTest::qWait(spacing);
        }
        const qint64 elapsed = clock.elapsed();
        QVERIFY2(counter.paints <= elapsed / ProgressPacer::kIntervalMs + 2,
                 qPrintable(QString("%1 paints in %2 ms").arg(counter.paints).arg(elapsed)));
        // The last value, held back, still reaches the screen.
        QCOMPARE(bar.value(), value);
        QTRY_COMPARE(counter.paintedValue, value);
        QVERIFY(bar.updatesEnabled());
    }

    // Hidden while a value is held back: the bar is not left blocked, and
    // shows its value when shown again; one pacer per bar.
    void hiddenWhileHeldBack()
    {
        QWidget window;
        QProgressBar bar(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ProgressPacer *pacer = ProgressPacer::of(&bar);
        QCOMPARE(ProgressPacer::of(&bar), pacer);
        pacer->setValue(10);
        pacer->setValue(20);
        QVERIFY(!bar.updatesEnabled());
        bar.hide();
        QVERIFY(bar.updatesEnabled());
        PaintCounter counter(&bar);
        bar.show();
        QTRY_COMPARE(counter.paintedValue, 20);
    }
};

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
