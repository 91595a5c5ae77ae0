// The paddle page against the simulated wheel: the stored value shown at
// start-up, previews while the bite point moves, and storing the setting.
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

using namespace wheeltest;

namespace {

// Paddle setting reports: 02 0A value marker, then sixteen zeros; marker 0x00
// previews, 0xEF stores.
QStringList paddleReports(const QList<int> &values, std::uint8_t marker = 0x00)
{
    std::vector<Bytes> reports;
    for (int value : values) {
        reports.push_back({0x02, 0x0A, std::uint8_t(value), marker});
        reports.back().resize(20);
    }
    return hex(reports);
}

const QString kSaved = QStringLiteral("Success/Paddle status saved.");

} // namespace

class PaddleTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> s;

    QCheckBox *combined() const { return s->child<QCheckBox>("cbPaddle"); }
    QSlider *bite() const { return s->child<QSlider>("hsBite"); }
    void clickSave() { s->child<QPushButton>("pbSaveP")->click(); }

private slots:
    void init()
    {
        sim::reset();
        s.reset(new Session);
    }

    void cleanup()
    {
        s.reset();
        verifyCleanEnd();
    }

    void startupAndMoves_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QList<int>>("startupPreview");
        QTest::addColumn<bool>("firstLost");
        QTest::newRow("255: off, slider stays at 50") << 255 << QList<int>{} << false;
        QTest::newRow("101: off") << 101 << QList<int>{} << false;
        QTest::newRow("100: on at 100, previewed once") << 100 << QList<int>{100} << false;
        QTest::newRow("50: on, the slider does not move, no preview") << 50 << QList<int>{} << false;
        QTest::newRow("50, first move's preview lost: no box, the rest go on") << 50 << QList<int>{} << true;
    }

    // After start-up the check box is switched over and back, which sends
    // nothing by itself; then the slider is set to 80, moved left with a key,
    // dragged over 70, 65, 65, 66 and let go. With combined mode on, each value
    // change is previewed and the release once more; with it off, nothing.
    void startupAndMoves()
    {
        QFETCH(int, stored);
        QFETCH(QList<int>, startupPreview);
        QFETCH(bool, firstLost);
        const bool on = stored <= 100;
        sim::setStoredPaddle(std::uint8_t(stored));
        if (!s->started())
            return;
        QCOMPARE(combined()->isChecked(), on);
        QCOMPARE(bite()->value(), on ? stored : 50); // 50: where the form puts it
        QCOMPARE(hex(featureReports(0x0A)), paddleReports(startupPreview));

        if (firstLost)
            sim::failReport(int(sim::received().size()) + 1);
        sim::clearReceived();
        combined()->click();
        combined()->click();
        QCOMPARE(combined()->isChecked(), on);
        bite()->setValue(80);
        QTest::keyClick(bite(), Qt::Key_Left);
        bite()->setSliderDown(true);
        for (int position : {70, 65, 65, 66})
            bite()->setSliderPosition(position);
        bite()->setSliderDown(false);
        QCOMPARE(bite()->value(), 66);

        const QList<int> previewed = on ? QList<int>{80, 79, 70, 65, 66, 66} : QList<int>{};
        QCOMPARE(hex(sim::received(sim::ReportKind::FeatureSend)), paddleReports(previewed));
        QCOMPARE(int(sim::received().size()), previewed.size());
        QCOMPARE(!sim::received().empty() && !sim::received().front().accepted, firstLost);
        QCOMPARE(int(sim::shownPaddle()), on ? 66 : stored);
        QCOMPARE(int(sim::storedPaddle()), stored);
        QVERIFY(s->answerer.boxes().isEmpty());
    }

    void save_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("lost");
        QTest::newRow("off, slider at 30: stores 255") << false << 30 << 255 << false;
        QTest::newRow("on at 75") << true << 75 << 75 << false;
        QTest::newRow("on at 20, store lost") << true << 20 << 20 << true;
        QTest::newRow("off, store lost") << false << 20 << 255 << true;
    }

    // One store report. When it does not go through: an error box, the wheel
    // keeps its value, and the next save works. Changed on screen only after
    // that, the page shows the stored setting again after a new start-up read.
    void save()
    {
        QFETCH(bool, checked);
        QFETCH(int, slider);
        QFETCH(int, value);
        QFETCH(bool, lost);
        if (!s->started())
            return;
        bite()->setValue(slider);
        combined()->setChecked(checked);
        if (lost)
            sim::failReport(int(sim::received().size()) + 1);
        sim::clearReceived();
        clickSave();
        // A store that went through is read back: the paddle query, sent and read.
        QStringList sent = paddleReports({value}, 0xEF);
        Bytes query{0x02, 0x0B, 0x0A};
        query.resize(20);
        if (!lost)
            sent << hex(query);
        QCOMPARE(hex(sim::received(sim::ReportKind::FeatureSend)), sent);
        QCOMPARE(sim::received().size(), std::size_t(lost ? 1 : 3));
        QCOMPARE(s->answerer.messages(), QStringList{lost ? QStringLiteral("Error/Can not save setting.") : kSaved});
        QCOMPARE(s->answerer.boxes().last().kind, QLatin1String(lost ? "critical" : "information"));
        QCOMPARE(int(sim::storedPaddle()), lost ? int(sim::kDefaultPaddle) : value);
        if (lost) {
            clickSave();
            QCOMPARE(s->answerer.messages().last(), kSaved);
            QCOMPARE(int(sim::storedPaddle()), value);
        }

        combined()->setChecked(!checked);
        bite()->setValue(77);
        sim::clearReceived();
        QMetaObject::invokeMethod(s->window.get(), "onInit");
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(combined()->isChecked(), checked);
        QCOMPARE(bite()->value(), checked ? slider : 77);
        QCOMPARE(hex(featureReports(0x0A)), paddleReports(checked ? QList<int>{slider} : QList<int>{}));
    }
};

QTEST_MAIN(PaddleTest)
#include "tst_paddle.moc"
