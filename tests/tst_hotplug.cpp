// The wheel pulled out and plugged back in while the window is open, and a
// wheel this user may not open: the window shows that it waits, locks what
// would send, and reads the wheel afresh when it is back.
#include "device/connection.h"
#include "device/leds.h"
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <algorithm>

using namespace wheeltest;

namespace {

// What refuses the wheel differs: Linux a missing udev rule, Windows another
// program holding the wheel.
#ifdef Q_OS_WIN
const QString kPermission = QStringLiteral(
    "Error/The wheel is connected, but it may not be opened: another program may be using it. Close that "
    "program and plug the wheel in again.");
#else
const QString kPermission = QStringLiteral(
    "Error/The wheel is connected, but this user may not open it. Install the udev rule 60-vorla-z-arc.rules "
    "(see README) and plug the wheel in again.");
#endif

// A palette unlike the factory one. Slots 12-23 are three LEDs to a button
// (12/14/16, 13/15/17, 18/20/22, 19/21/23), which share a colour.
vorla::LedBlock otherColours()
{
    vorla::LedColors colours{};
    for (std::size_t slot = 0; slot < vorla::kLedCount; ++slot) {
        const std::size_t key = slot >= 12 && slot < 24 ? (slot < 18 ? 12 : 18) + slot % 2 : slot;
        colours[slot] = {vorla::kLevelTable[key % 16], vorla::kLevelTable[(key + 5) % 16], vorla::kLevelTable[(key + 9) % 16]};
    }
    return vorla::packLedBlock(colours, true);
}

} // namespace

class HotplugTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<Session> s;
    QTemporaryDir dir;

    QWidget *banner() const { return s->child<QWidget>("disconnectedBanner"); }
    bool controlsEnabled(bool enabled) const
    {
        return s->sendingControlsEnabled(enabled);
    }
    // The window waiting for the wheel: the banner shown, nothing to send with, no handle.
    bool away() const { return banner()->isVisible() && controlsEnabled(false) && !vorla::connection::isOpen(); }
    bool back() const { return !banner()->isVisible() && controlsEnabled(true) && vorla::connection::isOpen(); }

    bool startShown()
    {
        if (!s->started())
            return false;
        s->window->show();
        return QTest::qWaitForWindowExposed(s->window.get());
    }

    // The wheel comes back storing something else; the window shows that.
    void verifyReadAfresh()
    {
        QTRY_VERIFY(back());
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 80);
        QCOMPARE(s->child<QLabel>("lbVersion")->text(), QStringLiteral("Firmware Version:2.0.0"));
        // A save now reaches the wheel: what it stores is what it was read with.
        s->child<QPushButton>("pbSave")->click();
        QTRY_VERIFY(s->answerer.messages().contains("Success/LED colors saved."));
        QVERIFY(sim::storedLeds() == otherColours());
    }

    void changeWhileAway()
    {
        sim::setStoredLeds(otherColours());
        sim::setStoredPaddle(80);
        sim::setVersion("2.0.0");
    }

private slots:
    void init()
    {
        sim::reset();
        sim::setRebootDuration(std::chrono::milliseconds(100));
        s.reset(new Session);
    }

    void cleanup()
    {
        if (s->window)
            s->window->close();
        s.reset();
        vorla::connection::close();
        verifyCleanEnd();
    }

    void unplugWhileIdle_data()
    {
        QTest::addColumn<int>("page");
        for (int page = 0; page < 5; ++page)
            QTest::newRow(qPrintable(QStringLiteral("page %1").arg(page + 1))) << page;
    }

    // Pulled out on any page: the banner over the header says so and every
    // sending control is locked; plugged back: read afresh, unlocked.
    void unplugWhileIdle()
    {
        QFETCH(int, page);
        if (!startShown())
            return;
        s->child<QPushButton>(qPrintable(QStringLiteral("pbS%1").arg(page + 1)))->click();
        QCOMPARE(s->child<QStackedWidget>("stackedWidget")->currentIndex(), page);
        QVERIFY(!banner()->isVisible());
        const std::size_t before = sim::received().size();
        sim::setPresent(false);
        QTRY_VERIFY(away());
        QCOMPARE(banner()->property("text").toString(),
                 QStringLiteral("The wheel is disconnected. Waiting for it to be plugged in again ..."));
        QCOMPARE(sim::received().size(), before); // noticed without a report
        changeWhileAway();
        sim::setPresent(true);
        verifyReadAfresh();
        QCOMPARE(s->answerer.messages(), QStringList{"Success/LED colors saved."});
    }

    // The wheel goes at the very moment of a preview (a colour pick, a slider
    // move): the failed report turns into the disconnected state, not silence.
    void unplugAtAPreview_data()
    {
        QTest::addColumn<QString>("control");
        QTest::newRow("colour pick") << "pbB1";
        QTest::newRow("slider move") << "hsBite";
    }

    void unplugAtAPreview()
    {
        QFETCH(QString, control);
        if (!startShown())
            return;
        sim::setPresenceListener({}); // nothing tells the window but the failed report
        sim::vanishAtReport(int(sim::received().size()) + 1);
        if (control == "pbB1") {
            s->answerer.chooseColor(QColor(255, 0, 0));
            s->child<QPushButton>("pbB1")->click();
        } else {
            s->child<QSlider>("hsBite")->setValue(s->child<QSlider>("hsBite")->value() + 7);
        }
        QTRY_VERIFY(away());
        QCOMPARE(s->answerer.messages(), QStringList{});
    }

    // A save that fails because the wheel left: the error box, then the wait.
    void unplugAtASave()
    {
        if (!startShown())
            return;
        sim::vanishAtReport(int(sim::received().size()) + 1, std::chrono::milliseconds(300));
        s->child<QPushButton>("pbSaveP")->click();
        QTRY_COMPARE(s->answerer.messages(), QStringList{"Error/Can not save setting."});
        QTRY_VERIFY(away());
        changeWhileAway();
        QTRY_VERIFY_WITH_TIMEOUT(back(), 5000);
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 80);
    }

    // Plugged back in but not ours to open: the box that says what to do,
    // and the window waits on; once the user may open it, it is read. (When
    // the box comes, and that it comes once: tst_session.)
    void permissionDeniedOnReturn()
    {
        if (!startShown())
            return;
        sim::setPresent(false);
        QTRY_VERIFY(away());
        emit s->window->wheelSession().permissionDenied();
        QTRY_COMPARE(s->answerer.messages(), QStringList{kPermission});
        QVERIFY(away());
        changeWhileAway();
        sim::setPresent(true);
        verifyReadAfresh();
    }

    // A transfer is left alone by the watcher; the wheel leaving in its middle
    // fails it (no finish report), and the window then waits for the wheel.
    void unplugDuringTransfer()
    {
        if (!startShown())
            return;
        s->window->upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(5));
        const QString path = writeImage(dir.filePath(QStringLiteral("fw.bin")), 1600);
        sim::vanishAtReport(int(sim::received().size()) + 40);
        s->answerer.chooseQuestionButton(QMessageBox::Yes);
        s->child<QLineEdit>("lePath")->setText(path);
        s->child<QPushButton>("pbUpgrade")->click();
        QTRY_VERIFY(away());
        QCOMPARE(s->answerer.messages().mid(1), QStringList{"Error/Upgrade firmware failed."});
        const std::vector<sim::ReceivedReport> all = sim::received();
        QVERIFY(std::none_of(all.begin(), all.end(), [](const sim::ReceivedReport &r) {
            return r.kind == sim::ReportKind::FeatureSend && r.bytes[1] == 0x10;
        }));
        QCOMPARE(sim::firmwareWrites(), 0);
        changeWhileAway();
        sim::setPresent(true);
        verifyReadAfresh();
    }

    // At start-up a wheel that may not be opened is told as such, and the
    // program ends as without a wheel. (Last: it ends the event loop.)
    void permissionDeniedAtStartup()
    {
        sim::setPermissionDenied(true);
        s->window = std::make_unique<MainWindow>();
        s->window->show();
        QTimer::singleShot(10000, s->window.get(), [] { QCoreApplication::exit(99); }); // safety
        QCOMPARE(QCoreApplication::exec(), 0);
        QCOMPARE(s->answerer.messages(), QStringList{kPermission});
        QCOMPARE(sim::openCount(), 0);
    }
};

QTEST_MAIN(HotplugTest)
#include "tst_hotplug.moc"
