// The paddle page against the simulated wheel: the stored value shown at
// start-up, previews while the bite point moves, and storing the setting.
#include "app/MainWindow.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// 02 0A value marker, then sixteen zeros.
Bytes paddleReport(int value, int marker)
{
    Bytes report(20, 0);
    report[0] = 0x02;
    report[1] = 0x0A;
    report[2] = std::uint8_t(value);
    report[3] = std::uint8_t(marker);
    return report;
}

std::vector<Bytes> previews(const QList<int> &values)
{
    std::vector<Bytes> reports;
    for (int value : values)
        reports.push_back(paddleReport(value, 0x00));
    return reports;
}

// The paddle setting reports the wheel received since reset() or clearReceived().
std::vector<Bytes> paddleReports()
{
    std::vector<Bytes> reports;
    for (const Bytes &report : sim::received(sim::ReportKind::FeatureSend))
        if (report.size() > 1 && report[1] == 0x0A)
            reports.push_back(report);
    return reports;
}

QStringList hex(const std::vector<Bytes> &reports)
{
    QStringList list;
    for (const Bytes &report : reports)
        list << QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(report.data()), int(report.size())).toHex(' '));
    return list;
}

} // namespace

class PaddleTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<MainWindow> window;
    QCheckBox *combined = nullptr;
    QSlider *bite = nullptr;

    void startWindow()
    {
        window.reset(new MainWindow);
        combined = window->findChild<QCheckBox *>("cbPaddle");
        bite = window->findChild<QSlider *>("hsBite");
        QVERIFY(combined && bite);
        QTRY_VERIFY(!window->findChild<QLabel *>("lbVersion")->text().isEmpty());
    }

    void clickSave() { window->findChild<QPushButton *>("pbSaveP")->click(); }

    // Drags the handle through `positions` and lets go, as the mouse would:
    // the slider tracks, so each new position is a value change.
    void drag(const QList<int> &positions)
    {
        bite->setSliderDown(true);
        for (int position : positions)
            bite->setSliderPosition(position);
        bite->setSliderDown(false);
    }

private slots:
    void init()
    {
        sim::reset();
        answerer.reset(new ModalAnswerer);
    }

    void cleanup()
    {
        const std::vector<std::string> violations = sim::violations();
        window.reset();
        answerer.reset();
        combined = nullptr;
        bite = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName()));
        for (const std::string &v : violations)
            QVERIFY2(false, v.c_str());
    }

    void startup_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("slider");
        QTest::addColumn<QList<int>>("previewed");
        QTest::newRow("255: off, slider stays at 50") << 255 << false << 50 << QList<int>{};
        QTest::newRow("101: off, slider stays at 50") << 101 << false << 50 << QList<int>{};
        QTest::newRow("100: on at 100, previewed once") << 100 << true << 100 << QList<int>{100};
        QTest::newRow("50: on at 50, slider does not move, no preview") << 50 << true << 50 << QList<int>{};
        QTest::newRow("0: on at 0, previewed once") << 0 << true << 0 << QList<int>{0};
        QTest::newRow("60: on at 60, previewed once") << 60 << true << 60 << QList<int>{60};
    }

    void startup()
    {
        QFETCH(int, stored);
        QFETCH(bool, checked);
        QFETCH(int, slider);
        QFETCH(QList<int>, previewed);
        sim::setStoredPaddle(std::uint8_t(stored));
        startWindow();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(combined->isChecked(), checked);
        QCOMPARE(bite->value(), slider);
        QCOMPARE(hex(paddleReports()), hex(previews(previewed)));
        QCOMPARE(int(sim::storedPaddle()), stored);
        QCOMPARE(int(sim::shownPaddle()), stored);
        QVERIFY(answerer->boxes().isEmpty());
    }

    // Combined mode off: neither the slider nor the check box sends anything.
    void uncheckedSendsNothing()
    {
        sim::setStoredPaddle(255);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(!combined->isChecked());
        sim::clearReceived();

        bite->setValue(70);
        drag({60, 40, 41});
        QTest::keyClick(bite, Qt::Key_Right);
        QCOMPARE(bite->value(), 42);
        combined->click();
        QVERIFY(combined->isChecked());
        combined->click();
        QVERIFY(!combined->isChecked());

        QVERIFY(sim::received().empty());
        QCOMPARE(int(sim::shownPaddle()), 255);
    }

    // Combined mode on: every value change previews, and letting go of the
    // handle previews the final value once more.
    void checkedPreviews()
    {
        sim::setStoredPaddle(50);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(combined->isChecked());
        sim::clearReceived();

        bite->setValue(80);
        QTest::keyClick(bite, Qt::Key_Left);
        QCOMPARE(bite->value(), 79);
        drag({70, 65, 65, 66});
        QCOMPARE(bite->value(), 66);

        QCOMPARE(hex(paddleReports()), hex(previews({80, 79, 70, 65, 66, 66})));
        QCOMPARE(sim::received().size(), std::size_t(6));
        QCOMPARE(int(sim::shownPaddle()), 66);
        QCOMPARE(int(sim::storedPaddle()), 50);
        QVERIFY(answerer->boxes().isEmpty());
    }

    // Switching combined mode on sends nothing by itself; the next move does.
    void checkingAloneSendsNothing()
    {
        sim::setStoredPaddle(200);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        sim::clearReceived();
        combined->click();
        QVERIFY(combined->isChecked());
        QVERIFY(sim::received().empty());
        bite->setValue(51);
        QCOMPARE(hex(paddleReports()), hex(previews({51})));
    }

    void save_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("value");
        QTest::newRow("off, slider at 30: stores 255") << 40 << false << 30 << 255;
        QTest::newRow("off, slider at 100: stores 255") << 40 << false << 100 << 255;
        QTest::newRow("on at 75") << 255 << true << 75 << 75;
        QTest::newRow("on at 0") << 255 << true << 0 << 0;
        QTest::newRow("on at 100") << 40 << true << 100 << 100;
    }

    void save()
    {
        QFETCH(int, stored);
        QFETCH(bool, checked);
        QFETCH(int, slider);
        QFETCH(int, value);
        sim::setStoredPaddle(std::uint8_t(stored));
        startWindow();
        if (QTest::currentTestFailed())
            return;
        bite->setValue(slider);
        combined->setChecked(checked);
        sim::clearReceived();

        clickSave();

        QCOMPARE(hex(paddleReports()), hex({paddleReport(value, 0xEF)}));
        QCOMPARE(sim::received().size(), std::size_t(1));
        QCOMPARE(answerer->messages(), QStringList{"Success/Paddle status saved."});
        QCOMPARE(answerer->boxes().last().kind, QStringLiteral("information"));
        QCOMPARE(int(sim::storedPaddle()), value);
    }

    void failedSave_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::newRow("combined on") << true;
        QTest::newRow("combined off") << false;
    }

    // The store does not go through: an error box, the wheel keeps its value,
    // and the next save works.
    void failedSave()
    {
        QFETCH(bool, checked);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const int before = sim::storedPaddle();
        bite->setValue(20);
        combined->setChecked(checked);
        const int wanted = checked ? 20 : 255;
        QVERIFY(wanted != before);

        sim::failReport(int(sim::received().size()) + 1);
        clickSave();
        QCOMPARE(answerer->messages(), QStringList{"Error/Can not save setting."});
        QCOMPARE(answerer->boxes().last().kind, QStringLiteral("critical"));
        QCOMPARE(int(sim::storedPaddle()), before);

        clickSave();
        QCOMPARE(answerer->messages(), (QStringList{"Error/Can not save setting.", "Success/Paddle status saved."}));
        QCOMPARE(int(sim::storedPaddle()), wanted);
    }

    void failedPreviewIsSilent()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        QVERIFY(combined->isChecked());
        sim::failReport(int(sim::received().size()) + 1);
        sim::clearReceived();
        bite->setValue(70);
        QCOMPARE(int(sim::shownPaddle()), int(sim::kDefaultPaddle));
        bite->setValue(71);
        QVERIFY(answerer->boxes().isEmpty());
        QCOMPARE(hex(paddleReports()), hex(previews({70, 71})));
        QVERIFY(!sim::received().front().accepted);
        QCOMPARE(int(sim::shownPaddle()), 71);
    }

    void storedSettingReadBack_data()
    {
        QTest::addColumn<bool>("checked");
        QTest::addColumn<int>("slider");
        QTest::addColumn<int>("sliderAfter"); // where the slider stands after the re-read
        QTest::addColumn<QList<int>>("previewed"); // during the re-read
        QTest::newRow("on at 33") << true << 33 << 33 << QList<int>{33};
        QTest::newRow("on at 77, slider already there") << true << 77 << 77 << QList<int>{};
        QTest::newRow("off: slider stays where it was moved") << false << 33 << 77 << QList<int>{};
    }

    // Store, change the page without storing, read the wheel again: the page
    // shows what was stored.
    void storedSettingReadBack()
    {
        QFETCH(bool, checked);
        QFETCH(int, slider);
        QFETCH(int, sliderAfter);
        QFETCH(QList<int>, previewed);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        bite->setValue(slider);
        combined->setChecked(checked);
        clickSave();
        QCOMPARE(answerer->messages(), QStringList{"Success/Paddle status saved."});

        combined->setChecked(!checked);
        bite->setValue(77);
        sim::clearReceived();
        QMetaObject::invokeMethod(window.get(), "onInit");
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(combined->isChecked(), checked);
        QCOMPARE(bite->value(), sliderAfter);
        QCOMPARE(hex(paddleReports()), hex(previews(previewed)));
        QCOMPARE(answerer->messages().size(), 1);
    }
};

QTEST_MAIN(PaddleTest)
#include "tst_paddle.moc"
