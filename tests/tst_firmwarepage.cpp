// The device page: choosing and checking a firmware image, the question
// before writing it, what the page shows while the worker streams it,
// transfers that end early, what stays locked and closing during a transfer,
// the reconnect once the wheel restarted, and another instance upgrading.
#include "device/connection.h"
#include "device/imagecheck.h"
#include "device/upgradelock.h"
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QCryptographicHash>
#include <QLockFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <functional>

using namespace wheeltest;

namespace {

const QString kUploading = QStringLiteral("Uploading ...");
const QString kWriting = QStringLiteral("Writing ...");
const QString kWaiting = QStringLiteral("Waiting for the wheel ...");
const QString kDone = QStringLiteral("Notify/Upgrade firmware done.");
const QString kFailed = QStringLiteral("Error/Upgrade firmware failed.");
const QString kNotFirmware = QStringLiteral("Error/Not a valid firmware.");
const QString kAsked = QStringLiteral("Upgrade firmware");

// The transfer values of the first `chunks` 16-byte chunks of an image:
// floor(offset * 96 / size), only when it changes.
QList<int> transferValues(int size, int chunks = INT_MAX)
{
    QList<int> values;
    for (qint64 offset = 0; offset < size && offset / 16 < chunks; offset += 16)
        if (values.isEmpty() || values.last() != int(offset * 96 / size))
            values << int(offset * 96 / size);
    return values;
}

// What the page shows right after each of `values`: label and bar at the
// value while it transfers or the wheel writes, nothing once the run is over.
QStringList pageStates(const QList<int> &values)
{
    QStringList states;
    for (int v : values)
        states << (v == 100 || v < 0 ? QStringLiteral("%1: hidden").arg(v)
                                     : QStringLiteral("%1: %2 %1").arg(v).arg(v > 96 ? kWriting : kUploading));
    return states;
}

bool isFirmware(const sim::ReceivedReport &r)
{
    return r.kind == sim::ReportKind::FeatureSend && ((r.bytes[1] & 0x80) || r.bytes[1] == 0x10);
}

} // namespace

class FirmwarePageTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> s;
    QTemporaryDir dir;
    QStringList states;               // "value: what the page showed right after it"
    std::function<void(int)> onValue; // run after each state is noted

    VorlaUpgrade &worker() const { return s->window->upgradeWorker(); }
    QLabel *label() const { return s->child<QLabel>("lbUpgrade"); }
    QProgressBar *bar() const { return s->child<QProgressBar>("pgUpgrade"); }
    bool controlsEnabled(bool enabled) const
    {
        return s->sendingControlsEnabled(enabled);
    }

    // The window after its start-up read, its worker writing in 5 ms steps.
    // This connection comes after the window's own, so each value reaches it
    // right after onProgress.
    bool start()
    {
        if (!s->started())
            return false;
        worker().setWritingStepDuration(std::chrono::milliseconds(5));
        // Every value comes while this instance holds the upgrade lock.
        s->answerer.chooseQuestionButton(QMessageBox::Yes);
        connect(&worker(), &VorlaUpgrade::progress, s->window.get(), [this](int value) {
            QVERIFY(vorla::upgradelock::heldHere());
            QString shown = label()->isHidden() ? QStringLiteral("hidden") : label()->text();
            if (!bar()->isHidden())
                shown += QStringLiteral(" %1").arg(bar()->value());
            states << QStringLiteral("%1: %2%3").arg(value).arg(shown, controlsEnabled(false) ? "" : " unlocked");
            if (onValue)
                onValue(value);
        });
        return true;
    }

    void upgrade(const QString &path)
    {
        s->child<QLineEdit>("lePath")->setText(path);
        s->child<QPushButton>("pbUpgrade")->click();
    }

    // The transfer over and the wheel open (opened `opens` times in all), the
    // page idle with its controls back, the upgrade lock given back.
    bool settled(int opens)
    {
        return QTest::qWaitFor([&] {
            return !worker().isRunning() && sim::openCount() == opens && vorla::connection::isOpen()
                   && label()->isHidden() && controlsEnabled(true) && !vorla::upgradelock::heldHere();
        }, 5000);
    }

    // What the boxes said, but for the question before each upgrade
    // (confirmation checks that).
    QStringList said() const
    {
        return s->answerer.messages().filter(QRegularExpression(QStringLiteral("^(?!") + kAsked + QStringLiteral("/)")));
    }

private slots:
    void init()
    {
        sim::reset();
        sim::setRebootDuration(std::chrono::milliseconds(100));
        states.clear();
        onValue = nullptr;
        s.reset(new Session);
    }

    void cleanup()
    {
        s.reset();
        vorla::connection::close();
        verifyCleanEnd();
    }

    // What onUpgrade lets through: a readable regular file named "*.bin"
    // (case-sensitive) of 1 to 0x38000 bytes that is plainly nothing else.
    void pathCheck_data()
    {
        QTest::addColumn<QString>("name");  // empty: lePath stays empty
        QTest::addColumn<QString>("entry"); // "file", "zip", "unreadable", "directory" or none
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("refusal"); // empty: accepted
        QTest::newRow("accepted: 229,376 bytes") << "max.bin" << "file" << 0x38000 << "";
        QTest::newRow("accepted: 1 byte") << "one.bin" << "file" << 1 << "";
        QTest::newRow("rejected: 229,377 bytes") << "over.bin" << "file" << 0x38001 << kNotFirmware;
        QTest::newRow("rejected: upper-case .BIN") << "fw.BIN" << "file" << 10 << kNotFirmware;
        QTest::newRow("rejected: blank after .bin") << "fw.bin " << "file" << 10 << kNotFirmware;
        QTest::newRow("rejected: empty path") << "" << "" << 0 << kNotFirmware;
        QTest::newRow("rejected: missing file") << "missing.bin" << "" << 0 << kNotFirmware;
        QTest::newRow("rejected: directory") << "folder.bin" << "directory" << 0 << kNotFirmware;
        QTest::newRow("rejected: empty file") << "empty.bin" << "file" << 0 << kNotFirmware;
        QTest::newRow("rejected: unreadable file") << "locked.bin" << "unreadable" << 10 << kNotFirmware;
        QTest::newRow("rejected: a ZIP archive")
            << "archive.bin" << "zip" << 100 << "Error/" + vorla::notAnImageMessage(vorla::ImageContent::ZipArchive);
    }

    void pathCheck()
    {
        QFETCH(QString, name);
        QFETCH(QString, entry);
        QFETCH(int, size);
        QFETCH(QString, refusal);
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (entry == "file" || entry == "unreadable")
            QCOMPARE(writeImage(path, size), path);
        if (entry == "zip")
            QCOMPARE(writeBytes(path, "PK\x03\x04" + imageBytes(size)), path);
        if (name.endsWith(' ')) // for a page that would trim the path
            QVERIFY(!writeImage(dir.filePath(name.trimmed()), size).isEmpty());
        if (entry == "directory")
            QVERIFY(QDir(dir.path()).mkpath(name));
        if (entry == "unreadable" && (!QFile::setPermissions(path, {}) || QFileInfo(path).isReadable()))
            QSKIP("this user reads files without read permission");
        if (!start())
            return;
        const std::size_t before = sim::received().size();
        upgrade(path);
        if (refusal.isEmpty()) {
            QVERIFY(settled(2));
            QCOMPARE(said(), QStringList{kDone});
            QVERIFY(sim::firmwareImage() == fileBytes(path));
            return;
        }
        QTest::qWait(50); // a worker started all the same would have sent by now
        QCOMPARE(s->answerer.messages(), QStringList{refusal});
        QCOMPARE(s->answerer.boxes().first().kind, QStringLiteral("critical"));
        QVERIFY(!worker().isRunning());
        QCOMPARE(sim::received().size(), before);
        QCOMPARE(s->child<QLineEdit>("lePath")->text(), path);
        QVERIFY(controlsEnabled(true) && label()->isHidden() && bar()->isHidden() && vorla::connection::isOpen());
    }

    void confirmation_data()
    {
        QTest::addColumn<int>("button"); // the box's button clicked, or
        QTest::addColumn<int>("key");    // the key pressed on it
        QTest::newRow("Upgrade") << int(QMessageBox::Yes) << 0;
        QTest::newRow("Cancel") << int(QMessageBox::Cancel) << 0;
        QTest::newRow("Escape cancels") << 0 << int(Qt::Key_Escape);
        QTest::newRow("Return: Cancel is the default") << 0 << int(Qt::Key_Return);
    }

    // Before anything is sent, one question names the file, its size and
    // SHA-256, the version the wheel has now and that it must stay plugged
    // in. Only Upgrade sends; the file is read once, so that what was shown
    // is what the wheel gets, even when the file changes right after.
    void confirmation()
    {
        QFETCH(int, button);
        QFETCH(int, key);
        const QString path = writeImage(dir.filePath(QStringLiteral("asked.bin")), 1600);
        const QByteArray shown = imageBytes(1600);
        sim::setVersion("1.2.3");
        if (!start())
            return;
        s->answerer.chooseQuestionButton(button);
        s->answerer.chooseQuestionKey(key);
        connect(&worker(), &QThread::started, &worker(), [&] { writeImage(path, 900); }, Qt::DirectConnection);
        const std::size_t before = sim::received().size();
        upgrade(path);
        const bool upgraded = button == QMessageBox::Yes;
        if (upgraded)
            QVERIFY(settled(2));
        QTRY_VERIFY(!s->answerer.boxes().isEmpty());

        const ModalAnswerer::Box asked = s->answerer.boxes().first();
        QCOMPARE(asked.kind + " " + asked.title, "question " + kAsked);
        QCOMPARE(asked.buttons, (QStringList{"Cancel (default)", "Upgrade"}));
        const QString sha256 = QCryptographicHash::hash(shown, QCryptographicHash::Sha256).toHex();
        for (const QString &part : {QStringLiteral("File: asked.bin\n"), "Size: " + QLocale().toString(1600) + " bytes\n",
                                    "SHA-256: " + sha256 + "\n", QStringLiteral("Firmware version now: 1.2.3\n"),
                                    QStringLiteral("The wheel must stay plugged in until it restarts.")})
            QVERIFY2(asked.text.contains(part), qPrintable(asked.text));
        QCOMPARE(said(), upgraded ? QStringList{kDone} : QStringList{});
        if (upgraded)
            QVERIFY(sim::firmwareImage() == Bytes(shown.begin(), shown.end()));
        else
            QCOMPARE(sim::received().size(), before);
    }

    // Two upgrades: "Uploading ..." with the bar at the value for 0-95,
    // "Writing ..." for 97-99, both hidden at 100 and until the first value of
    // the next upgrade; every firmware report from the worker's thread. The
    // first path comes from the file dialog, which only fills it in; the second
    // is typed, and a cancelled dialog keeps it. The second, shorter image
    // starts from a clear report buffer: nothing of the first behind its 10 bytes.
    void twoUpgrades()
    {
        if (!start())
            return;
        auto *lePath = s->child<QLineEdit>("lePath");
        QString path;
        for (int size : {1600, 10}) { // 1600: 100 chunks, up to 95
            states.clear();
            const int opens = sim::openCount();
            path = writeImage(dir.filePath(QStringLiteral("image%1.bin").arg(size)), size);
            if (size == 10)
                lePath->setText(path);
            s->answerer.chooseFile(size == 10 ? QString() : path); // no file: cancelled
            s->child<QPushButton>("pbPath")->click();
            QCOMPARE(lePath->text(), path);
            QVERIFY(!worker().isRunning());
            s->child<QPushButton>("pbUpgrade")->click();
            QVERIFY(label()->isHidden() && bar()->isHidden());
            QVERIFY(settled(opens + 1));
            QCOMPARE(states, pageStates(transferValues(size) << 97 << 98 << 99 << 100));
            QVERIFY(sim::firmwareImage() == fileBytes(path));
        }
        const QString tail = "00 0a " + hex(fileBytes(path)) + " 00 00 00 00 00 00";
        QCOMPARE(hex(featureReports(0x80)).last(), "02 80 " + tail);
        QCOMPARE(hex(featureReports(0x10)).last(), "02 10 " + tail);
        QCOMPARE(said(), (QStringList{kDone, kDone}));
        QCOMPARE(s->answerer.boxes().size(), 6);
        QVERIFY2(s->answerer.boxes().first().text.startsWith("Firmware File (*.bin)"),
                 qPrintable(s->answerer.boxes().first().kind + ": " + s->answerer.boxes().first().text));
        for (const sim::ReceivedReport &r : sim::received())
            QCOMPARE(r.thread != std::this_thread::get_id(), isFirmware(r));
    }

    void earlyEnd_data()
    {
        QTest::addColumn<int>("failing"); // the firmware report that does not go through
        // 100 bytes: chunks 0-5 of 16 bytes, chunk 6 of 4, then the finish report.
        QTest::newRow("first data report fails") << 0;
        QTest::newRow("middle data report fails") << 3;
        QTest::newRow("last data report fails") << 6;
        QTest::newRow("finish report fails") << 7;
    }

    // A firmware report that does not go through: the error box, nothing
    // committed, the reconnect with a new read, the controls back.
    void earlyEnd()
    {
        QFETCH(int, failing);
        const int size = 100;
        const QString path = writeImage(dir.filePath(QStringLiteral("early.bin")), size);
        if (!start())
            return;
        sim::failReport(int(sim::received().size()) + failing + 1);
        upgrade(path);
        QVERIFY(settled(2));

        QCOMPARE(said(), QStringList{kFailed});
        QCOMPARE(states, pageStates(transferValues(size, failing) << -1));
        const std::vector<sim::ReceivedReport> all = sim::received();
        QVERIFY2(std::none_of(all.begin(), all.end(), [](const sim::ReceivedReport &r) {
                     return isFirmware(r) && r.bytes[1] == 0x10 && r.accepted;
                 }), "an unfinished transfer was committed");
        QCOMPARE(int(std::count_if(all.begin(), all.end(), isFirmware)), failing + 1);
        QCOMPARE(sim::firmwareWrites(), 0);
        QCOMPARE(int(featureReports(0x0B).size()), 10); // the start-up read, and again
    }

    // During a transfer the sending controls stay disabled (until the wheel is
    // open again: see reconnectAfterRestart) and only the image goes out.
    // Closing is refused while the worker runs, tried at the first value and
    // at 98 (the wheel writing); once the wheel is back the window closes.
    void lockedDuringTransfer()
    {
        sim::setReportLatency(std::chrono::microseconds(1000));
        if (!start())
            return;
        s->window->show();
        worker().setWritingStepDuration(std::chrono::milliseconds(50));
        auto *close = s->child<QPushButton>("pbClose");
        onValue = [&](int value) {
            if (value == 0 || value == 98) {
                QVERIFY(worker().isRunning());
                close->click();
                QVERIFY(s->window->isVisible());
            }
        };
        const std::size_t before = sim::received().size();
        upgrade(writeImage(dir.filePath(QStringLiteral("locked.bin")), 1600));
        QVERIFY(settled(2));

        const QString inProgress = QStringLiteral("Notify/Firmware upgrade in progress.");
        QCOMPARE(said(), (QStringList{inProgress, inProgress, kDone}));
        QCOMPARE(states, pageStates(transferValues(1600) << 97 << 98 << 99 << 100));
        // The 100 data reports and the finish report, back to back.
        const std::vector<sim::ReceivedReport> all = sim::received();
        for (std::size_t i = before; i <= before + 100; ++i)
            QVERIFY(i < all.size() && isFirmware(all[i]) && (all[i].bytes[1] == 0x10) == (i == before + 100));
        QVERIFY(sim::received(sim::ReportKind::Output).empty());
        close->click();
        QVERIFY(!s->window->isVisible());
    }

    void otherInstance_data()
    {
        QTest::addColumn<bool>("atStart");
        QTest::newRow("a window starting meanwhile") << true;
        QTest::newRow("a window that previews meanwhile") << false;
    }

    // Another instance upgrades the wheel (the test holds its lock): the
    // window sends nothing, says why in the banner, its controls locked, and
    // reads the wheel once the lock is given back.
    void otherInstance()
    {
        QFETCH(bool, atStart);
        QLockFile other(vorla::upgradelock::path());
        if (!atStart && !start())
            return;
        QVERIFY(other.tryLock(0));
        const std::size_t before = sim::received().size();
        if (atStart)
            s->window = std::make_unique<MainWindow>();
        else
            s->child<QSlider>("hsBite")->setValue(33);
        auto *banner = s->child<QLabel>("disconnectedBanner");
        QTRY_VERIFY(!banner->isHidden());
        QCOMPARE(banner->text(),
                 QStringLiteral("Another Vorla Setting is upgrading the wheel's firmware. Waiting for it to finish ..."));
        QVERIFY(controlsEnabled(false));
        QCOMPARE(sim::received().size(), before);
        other.unlock();
        QTRY_VERIFY(banner->isHidden() && controlsEnabled(true));
        QCOMPARE(int(featureReports(0x0B).size()), atStart ? 5 : 10);
    }

    // The wheel restarts after the finish. Meanwhile the page says it waits,
    // its controls locked, and then shows what the wheel stores now. (How
    // often and how long it is looked for: tst_session.)
    void reconnectAfterRestart()
    {
        sim::setRebootDuration(std::chrono::milliseconds(600));
        if (!start())
            return;
        upgrade(writeImage(dir.filePath(QStringLiteral("new.bin")), 200));
        QTRY_VERIFY(!label()->isHidden() && label()->text() == kWaiting);
        QVERIFY(bar()->isHidden());
        QVERIFY(controlsEnabled(false));
        QVERIFY(!vorla::connection::isOpen());
        sim::setStoredPaddle(80); // both changed while the wheel was away
        sim::setVersion("2.4.0");
        QVERIFY(settled(2));

        QCOMPARE(said(), QStringList{kDone});
        QCOMPARE(int(featureReports(0x0B).size()), 10); // the start-up read, and again
        QCOMPARE(s->child<QLabel>("lbVersion")->text(), QStringLiteral("Firmware Version:2.4.0"));
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 80);
        QVERIFY(s->child<QCheckBox>("cbPaddle")->isChecked());
    }

    // While the wheel restarts it can be open but not yet answer: a failed
    // read then is tried again like a failed open, and the settings the wheel
    // stores now are shown once it answers. (Reads that fail until the wait
    // is over, and a wheel that never comes back: tst_session.)
    void readFailsWhileReconnecting()
    {
        if (!start())
            return;
        connect(&worker(), &VorlaUpgrade::progress, s->window.get(), [&](int value) {
            if (value == 100) // the first query of the reconnect fails
                sim::failReport(int(sim::received().size()) + 1);
        });
        sim::setStoredPaddle(30);
        upgrade(writeImage(dir.filePath(QStringLiteral("retry.bin")), 48));
        QVERIFY(settled(3));
        QCOMPARE(said(), QStringList{kDone});
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 30);
    }
};

QTEST_MAIN(FirmwarePageTest)
#include "tst_firmwarepage.moc"
