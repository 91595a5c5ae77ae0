// The device page: choosing and checking a firmware image, what the page shows
// while the worker streams it, failed transfers, what stays locked while the
// wheel takes an image, closing during a transfer, and the reconnect once the
// wheel has restarted.
#include "app/MainWindow.h"
#include "device/connection.h"
#include "device/paddle.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kMaxImage = 0x38000;
constexpr int kChunk = 16;

const QString kUploading = QStringLiteral("Uploading ...");
const QString kWritingText = QStringLiteral("Writing ...");
const QString kWaiting = QStringLiteral("Waiting for the wheel ...");
const QString kDone = QStringLiteral("Notify/Upgrade firmware done.");
const QString kFailed = QStringLiteral("Error/Upgrade firmware failed.");
const QString kInvalid = QStringLiteral("Error/Not a valid firmware.");
const QString kInProgress = QStringLiteral("Notify/Firmware upgrade in progress.");

// Everything on the window that sends to the wheel.
const char *const kSendingControls[] = {
    "pbB1", "pbB2", "pbB3", "pbB4", "pbB5", "pbB6", "pbD13", "pbD16", "pbD3", "pbD4", "pbB9",
    "pbB10", "pbB11", "pbB12", "pbB13", "pbB14", "pbD23", "pbD26", "pbSave", "pbSaveP", "hsBite", "pbUpgrade",
};

const QList<int> kWriting = {97, 98, 99, 100};

template <typename T>
T *child(MainWindow &window, const char *name)
{
    return window.findChild<T *>(QLatin1String(name));
}

// Image bytes that are never zero, and optionally carry a version tag the
// simulated wheel adopts.
QByteArray imageBytes(int size, const QByteArray &tag = QByteArray())
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) % 251 + 1);
    if (!tag.isEmpty())
        bytes.replace(40, tag.size() + 1, tag + '\0');
    return bytes;
}

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

// floor(offset * 96 / N) for each chunk, only on change.
QList<int> transferProgress(qint64 size, qint64 chunks = -1)
{
    QList<int> values;
    int last = -1;
    for (qint64 offset = 0; offset < size && (chunks < 0 || offset / kChunk < chunks); offset += kChunk) {
        const int p = int(offset * 96 / size);
        if (p != last)
            values << p;
        last = p;
    }
    return values;
}

// A list of boxes as one line, so that a failed comparison shows them.
QString lines(const QStringList &boxes)
{
    return boxes.join(QLatin1String(" | "));
}

bool isFirmwareReport(const sim::ReceivedReport &r)
{
    return r.kind == sim::ReportKind::FeatureSend && ((r.bytes[1] & 0x80) || r.bytes[1] == 0x10);
}

bool isFinishReport(const sim::ReceivedReport &r)
{
    return r.kind == sim::ReportKind::FeatureSend && r.bytes[1] == 0x10;
}

QByteArray toBytes(const Bytes &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// The selectors of the queries sent from `from` on.
QList<int> queriesFrom(std::size_t from)
{
    QList<int> selectors;
    const std::vector<sim::ReceivedReport> all = sim::received();
    for (std::size_t i = from; i < all.size(); ++i)
        if (all[i].kind == sim::ReportKind::FeatureSend && all[i].bytes[1] == 0x0B)
            selectors << all[i].bytes[2];
    return selectors;
}

bool sendingControlsEnabled(MainWindow &window, bool enabled)
{
    for (const char *name : kSendingControls) {
        QWidget *control = child<QWidget>(window, name);
        if (!control || control->isEnabled() != enabled)
            return false;
    }
    return true;
}

// What the page showed right after it handled one progress value.
struct PageState {
    int value;
    QString label;
    bool labelShown;
    bool barShown;
    int bar;
    bool controlsLocked;
};

// Looks at the page after each value: its own queued connection to the worker
// is made after the window's, so each value reaches it right after onProgress.
class PageWatcher : public QObject
{
public:
    explicit PageWatcher(MainWindow &window)
    {
        connect(&window.upgradeWorker(), &VorlaUpgrade::progress, this, [this, &window](int value) {
            auto *label = child<QLabel>(window, "lbUpgrade");
            auto *bar = child<QProgressBar>(window, "pgUpgrade");
            states.append({value, label->text(), !label->isHidden(), !bar->isHidden(), bar->value(),
                           sendingControlsEnabled(window, false)});
            if (afterValue)
                afterValue(value);
        });
    }

    QList<int> values() const
    {
        QList<int> out;
        for (const PageState &s : states)
            out << s.value;
        return out;
    }

    QList<PageState> states;
    std::function<void(int)> afterValue;
};

} // namespace

class FirmwarePageTest : public QObject
{
    Q_OBJECT

private:
    bool violationsExpected = false;

    // The window after its start-up read, with a worker that does not wait
    // four seconds.
    static bool ready(MainWindow &window)
    {
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(5));
        return QTest::qWaitFor([&] { return child<QLabel>(window, "lbVersion")->text().startsWith("Firmware Version:"); },
                               5000);
    }

    static void startUpgrade(MainWindow &window, const QString &path)
    {
        child<QLineEdit>(window, "lePath")->setText(path);
        child<QPushButton>(window, "pbUpgrade")->click();
    }

    // The transfer is over and the wheel open again (opened `opens` times in
    // all), with the page idle and its controls back.
    static bool isReconnected(MainWindow &window, int opens)
    {
        return !window.upgradeWorker().isRunning() && sim::openCount() == opens && vorla::connection::isOpen()
               && child<QLabel>(window, "lbUpgrade")->isHidden() && sendingControlsEnabled(window, true);
    }

    static bool reconnected(MainWindow &window, int opens, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return isReconnected(window, opens); }, timeoutMs);
    }

private slots:
    void init()
    {
        sim::reset();
        sim::setRebootDuration(std::chrono::milliseconds(100));
        violationsExpected = false;
    }

    void cleanup()
    {
        vorla::connection::close();
        // A program that gave up outside exec() leaves a quit behind that
        // would end every later modal loop at once; exec() clears it.
        QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        QCoreApplication::exec();

        if (!violationsExpected) {
            const std::vector<std::string> violations = sim::violations();
            QVERIFY2(violations.empty(), violations.empty() ? "" : violations.front().c_str());
        }
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // What onUpgrade lets through: a readable regular file named "*.bin"
    // (case-sensitive) of 1 to 0x38000 bytes.
    void pathCheck_data()
    {
        QTest::addColumn<QString>("name");  // in a fresh directory; empty: lePath stays empty
        QTest::addColumn<QString>("entry"); // "file", "unreadable", "directory" or "nothing"
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("accepted: 10 bytes") << "fw.bin" << "file" << 10 << true;
        QTest::newRow("accepted: exactly 0x38000 bytes") << "max.bin" << "file" << kMaxImage << true;
        QTest::newRow("rejected: one byte over 0x38000") << "over.bin" << "file" << kMaxImage + 1 << false;
        QTest::newRow("rejected: upper-case .BIN") << "fw.BIN" << "file" << 10 << false;
        QTest::newRow("rejected: blank after .bin") << "fw.bin " << "file" << 10 << false;
        QTest::newRow("rejected: .bin inside the name") << "fw.bin.txt" << "file" << 10 << false;
        QTest::newRow("rejected: no suffix") << "firmware" << "file" << 10 << false;
        QTest::newRow("rejected: empty path") << "" << "nothing" << 0 << false;
        QTest::newRow("rejected: missing file") << "missing.bin" << "nothing" << 0 << false;
        QTest::newRow("rejected: directory") << "folder.bin" << "directory" << 0 << false;
        QTest::newRow("rejected: empty file") << "empty.bin" << "file" << 0 << false;
        QTest::newRow("rejected: unreadable file") << "locked.bin" << "unreadable" << 10 << false;
    }

    void pathCheck()
    {
        QFETCH(QString, name);
        QFETCH(QString, entry);
        QFETCH(int, size);
        QFETCH(bool, accepted);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = name.isEmpty() ? QString() : dir.filePath(name);
        const QByteArray image = imageBytes(size);
        if (entry == "file" || entry == "unreadable")
            QVERIFY(!writeFile(path, image).isEmpty());
        if (entry == "directory")
            QVERIFY(QDir(dir.path()).mkdir(name));
        if (entry == "unreadable") {
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions()));
            if (QFileInfo(path).isReadable())
                QSKIP("this user reads files without read permission");
        }

        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        const std::size_t before = sim::received().size();
        startUpgrade(window, path);

        if (accepted) {
            QVERIFY(reconnected(window, 2, 10000));
            QCOMPARE(lines(answerer.messages()), lines(QStringList{kDone}));
            QCOMPARE(toBytes(sim::firmwareImage()), image);
            QCOMPARE(sim::firmwareWrites(), 1);
            return;
        }

        QCOMPARE(lines(answerer.messages()), lines(QStringList{kInvalid}));
        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("critical"));
        QTest::qWait(50);
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kInvalid}));
        QVERIFY(!window.upgradeWorker().isRunning());
        QCOMPARE(sim::received().size(), before);
        QCOMPARE(child<QLineEdit>(window, "lePath")->text(), path);
        QVERIFY(sendingControlsEnabled(window, true));
        QVERIFY(child<QLabel>(window, "lbUpgrade")->isHidden());
        QVERIFY(child<QProgressBar>(window, "pgUpgrade")->isHidden());
        QVERIFY(vorla::connection::isOpen());
        QCOMPARE(sim::openCount(), 1);
    }

    void fileDialog_data()
    {
        QTest::addColumn<bool>("choose");
        QTest::newRow("cancelled: the path stays") << false;
        QTest::newRow("file chosen: it becomes the path") << true;
    }

    void fileDialog()
    {
        QFETCH(bool, choose);
        QTemporaryDir dir;
        const QString chosen = writeFile(dir.filePath(QStringLiteral("chosen.bin")), imageBytes(10));
        QVERIFY(!chosen.isEmpty());
        const QString earlier = QStringLiteral("/earlier/firmware.bin");

        ModalAnswerer answerer;
        if (choose)
            answerer.chooseFile(chosen);
        else
            answerer.cancelDialogs();
        MainWindow window;
        QVERIFY(ready(window));
        const std::size_t before = sim::received().size();
        auto *path = child<QLineEdit>(window, "lePath");
        path->setText(earlier);
        child<QPushButton>(window, "pbPath")->click();

        QCOMPARE(answerer.boxes().size(), 1);
        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("QFileDialog"));
        QVERIFY2(answerer.boxes().first().text.startsWith("Firmware File (*.bin)"),
                 qPrintable(answerer.boxes().first().text));
        if (choose)
            QCOMPARE(QFileInfo(path->text()).canonicalFilePath(), QFileInfo(chosen).canonicalFilePath());
        else
            QCOMPARE(path->text(), earlier);
        // Choosing only fills in the path.
        QVERIFY(!window.upgradeWorker().isRunning());
        QCOMPARE(sim::received().size(), before);
    }

    // Bar and label through two upgrades: "Uploading ..." with the bar at the
    // value for 0-95, "Writing ..." for 97-99, both hidden at 100 and until
    // the first value of the next upgrade.
    void progressDisplay()
    {
        QTemporaryDir dir;
        const QByteArray first = imageBytes(1600);  // 100 chunks
        const QByteArray second = imageBytes(160);  // 10 chunks
        const QString firstPath = writeFile(dir.filePath("first.bin"), first);
        const QString secondPath = writeFile(dir.filePath("second.bin"), second);

        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        auto *label = child<QLabel>(window, "lbUpgrade");
        auto *bar = child<QProgressBar>(window, "pgUpgrade");
        QVERIFY(label->isHidden());
        QVERIFY(bar->isHidden());
        PageWatcher watcher(window);

        const QList<QPair<QByteArray, QString>> runs = {{first, firstPath}, {second, secondPath}};
        for (const auto &run : runs) {
            const QByteArray &image = run.first;
            watcher.states.clear();
            const int opensBefore = sim::openCount();
            startUpgrade(window, run.second);
            // Nothing shows before the first value arrives.
            QVERIFY(label->isHidden());
            QVERIFY(bar->isHidden());
            QVERIFY(reconnected(window, opensBefore + 1));

            QCOMPARE(watcher.values(), transferProgress(image.size()) + kWriting);
            for (const PageState &s : watcher.states) {
                const QByteArray row = QByteArray::number(s.value);
                QVERIFY2(s.controlsLocked, row);
                if (s.value == 100) {
                    QVERIFY2(!s.labelShown && !s.barShown, row);
                    continue;
                }
                QCOMPARE(s.label, s.value > 96 ? kWritingText : kUploading);
                QVERIFY2(s.labelShown && s.barShown, row);
                QCOMPARE(s.bar, s.value);
            }
            QVERIFY(label->isHidden());
            QVERIFY(bar->isHidden());
            QCOMPARE(toBytes(sim::firmwareImage()), image);
        }
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kDone, kDone}));
        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("information"));
    }

    // A failed data report: no finish report, nothing written, the error box,
    // the reconnect, and the controls back.
    void failedTransfer_data()
    {
        QTest::addColumn<int>("failingChunk");
        // 100 bytes: chunks 0-5 of 16 bytes and chunk 6 of 4.
        QTest::newRow("first data report") << 0;
        QTest::newRow("middle data report") << 3;
        QTest::newRow("last data report") << 6;
    }

    void failedTransfer()
    {
        QFETCH(int, failingChunk);
        QTemporaryDir dir;
        const QByteArray image = imageBytes(100);
        const QString path = writeFile(dir.filePath("fail.bin"), image);

        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        PageWatcher watcher(window);
        const std::size_t before = sim::received().size();
        sim::failReport(int(before) + failingChunk + 1);
        startUpgrade(window, path);
        // Stop early when a second box says the reconnect went wrong.
        QTest::qWaitFor([&] { return isReconnected(window, 2) || answerer.messages().size() > 1; }, 5000);
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kFailed}));
        QVERIFY(reconnected(window, 2));

        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("critical"));
        QCOMPARE(watcher.values(), transferProgress(image.size(), failingChunk) + QList<int>{-1});
        const PageState last = watcher.states.last();
        QVERIFY(!last.labelShown && !last.barShown);

        const std::vector<sim::ReceivedReport> all = sim::received();
        int dataReports = 0;
        std::size_t lastFirmware = before;
        for (std::size_t i = before; i < all.size(); ++i) {
            QVERIFY2(!isFinishReport(all[i]), "a failed transfer was committed");
            if (isFirmwareReport(all[i])) {
                ++dataReports;
                lastFirmware = i;
            }
        }
        QCOMPARE(dataReports, failingChunk + 1);
        QCOMPARE(sim::firmwareWrites(), 0);
        // The settings were read again after the failure.
        QCOMPARE(queriesFrom(lastFirmware), (QList<int>{0, 1, 2, 10, 9}));
        QCOMPARE(child<QLabel>(window, "lbVersion")->text(), QStringLiteral("Firmware Version:1.0.3"));
        QVERIFY(child<QProgressBar>(window, "pgUpgrade")->isHidden());
    }

    // The file grows past the limit after the page checked it: the worker
    // sends nothing and the page reports a failed upgrade.
    void imageGrowsAfterTheCheck()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath("max.bin"), imageBytes(kMaxImage));
        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        PageWatcher watcher(window);
        // started() comes on the worker's thread right before run().
        connect(&window.upgradeWorker(), &QThread::started, &window.upgradeWorker(), [path] {
            QFile file(path);
            if (file.open(QIODevice::Append))
                file.write("!");
        }, Qt::DirectConnection);
        startUpgrade(window, path);
        QVERIFY(reconnected(window, 2));

        QCOMPARE(QFileInfo(path).size(), qint64(kMaxImage + 1));
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kFailed}));
        QCOMPARE(watcher.states.size(), 1);
        QVERIFY(watcher.states.first().value < 0);
        for (const sim::ReceivedReport &r : sim::received())
            QVERIFY(!isFirmwareReport(r));
        QCOMPARE(sim::firmwareWrites(), 0);
    }

    // The file is gone when the worker opens it: the run ends without a value,
    // the page shows nothing, keeps the connection and gives the controls back.
    void imageVanishesAfterTheCheck()
    {
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath("gone.bin"), imageBytes(64));
        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        PageWatcher watcher(window);
        connect(&window.upgradeWorker(), &QThread::started, &window.upgradeWorker(),
                [path] { QFile::remove(path); }, Qt::DirectConnection);
        const std::size_t before = sim::received().size();
        startUpgrade(window, path);
        QVERIFY(QTest::qWaitFor([&] { return window.upgradeWorker().isFinished(); }, 5000));
        QTRY_VERIFY(sendingControlsEnabled(window, true));

        QVERIFY(!QFile::exists(path));
        QVERIFY(answerer.messages().isEmpty());
        QVERIFY(watcher.states.isEmpty());
        QCOMPARE(sim::received().size(), before);
        QVERIFY(vorla::connection::isOpen());
        QCOMPARE(sim::openCount(), 1);
        QVERIFY(child<QLabel>(window, "lbUpgrade")->isHidden());
        QVERIFY(child<QProgressBar>(window, "pgUpgrade")->isHidden());
    }

    // From the click until the wheel is open again, nothing the user can reach
    // sends: the controls are disabled, so the firmware stream is never cut
    // into, and the closed connection sends nothing while the wheel restarts.
    void sendersLockedDuringTransfer()
    {
        sim::setReportLatency(std::chrono::microseconds(500));
        sim::setRebootDuration(std::chrono::milliseconds(400));
        QTemporaryDir dir;
        const QByteArray image = imageBytes(1600);
        const QString path = writeFile(dir.filePath("locked.bin"), image);

        ModalAnswerer answerer;
        answerer.chooseColor(Qt::red); // an LED button that still worked would preview red
        MainWindow window;
        QVERIFY(ready(window));
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(30));
        const QString ledStyle = child<QPushButton>(window, "pbB1")->styleSheet();
        const int bite = child<QSlider>(window, "hsBite")->value();
        PageWatcher watcher(window);
        bool clicking = false; // a control that still works may open a box, and more values arrive in it
        watcher.afterValue = [&](int) {
            if (clicking)
                return;
            clicking = true;
            for (const char *name : kSendingControls) {
                if (auto *button = child<QPushButton>(window, name))
                    button->click();
            }
            QTest::keyClick(child<QSlider>(window, "hsBite"), Qt::Key_PageUp);
            clicking = false;
        };
        const std::size_t before = sim::received().size();
        startUpgrade(window, path);

        auto *label = child<QLabel>(window, "lbUpgrade");
        QTRY_VERIFY(!label->isHidden() && label->text() == kWaiting);
        QVERIFY(child<QProgressBar>(window, "pgUpgrade")->isHidden());
        QVERIFY(sendingControlsEnabled(window, false));
        QVERIFY(!vorla::connection::isOpen());
        const std::size_t duringWait = sim::received().size();
        QVERIFY(vorla::connection::sendFeatureReport(vorla::paddleReport(10, false)) < 0);
        QCOMPARE(sim::received().size(), duringWait);

        QVERIFY(reconnected(window, 2));
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kDone}));
        QVERIFY(!watcher.states.isEmpty());
        for (const PageState &s : watcher.states)
            QVERIFY2(s.controlsLocked, QByteArray::number(s.value));

        // From the click to the finish report only firmware went out.
        const std::vector<sim::ReceivedReport> all = sim::received();
        std::size_t i = before;
        for (; i < all.size() && !isFinishReport(all[i]); ++i)
            QVERIFY2(isFirmwareReport(all[i]), qPrintable(QString::number(all[i].bytes[1], 16)));
        QVERIFY(i < all.size());
        QCOMPARE(toBytes(sim::firmwareImage()), image);
        // Nothing the clicks asked for was sent later either.
        QVERIFY(sim::received(sim::ReportKind::Output).empty());
        QCOMPARE(child<QPushButton>(window, "pbB1")->styleSheet(), ledStyle);
        QCOMPARE(child<QSlider>(window, "hsBite")->value(), bite);
    }

    // Closing is refused while the worker runs, uploading or writing; once
    // the transfer is over the window closes.
    void closeRefusedDuringTransfer()
    {
        sim::setReportLatency(std::chrono::microseconds(2000));
        QTemporaryDir dir;
        const QByteArray image = imageBytes(3200);
        const QString path = writeFile(dir.filePath("close.bin"), image);

        ModalAnswerer answerer;
        MainWindow window;
        window.show();
        QVERIFY(ready(window));
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(150));
        auto *close = child<QPushButton>(window, "pbClose");
        QList<bool> runningAtClose, visibleAfterClose;
        PageWatcher watcher(window);
        watcher.afterValue = [&](int value) {
            if (value != 0 && value != 98)
                return;
            runningAtClose << window.upgradeWorker().isRunning();
            close->click();
            visibleAfterClose << window.isVisible();
        };
        startUpgrade(window, path);
        QVERIFY(reconnected(window, 2, 10000));

        QCOMPARE(runningAtClose, (QList<bool>{true, true}));
        QCOMPARE(visibleAfterClose, (QList<bool>{true, true}));
        QCOMPARE(lines(answerer.messages()), lines(QStringList{kInProgress, kInProgress, kDone}));
        for (const ModalAnswerer::Box &box : answerer.boxes())
            QCOMPARE(box.kind, QStringLiteral("information"));
        QCOMPARE(toBytes(sim::firmwareImage()), image);

        close->click();
        QVERIFY(!window.isVisible());
        QCOMPARE(answerer.messages().size(), 3);
    }

    // The wheel restarts for two seconds after the finish; the page waits for
    // it, opens it again and shows what it stores now, including the version
    // the new image brought.
    void reconnectAfterRestart()
    {
        sim::setRebootDuration(std::chrono::milliseconds(2000));
        QTemporaryDir dir;
        const QByteArray image = imageBytes(200, "VORLA-FW:2.4.0");
        const QString path = writeFile(dir.filePath("new.bin"), image);

        ModalAnswerer answerer;
        MainWindow window;
        QVERIFY(ready(window));
        QCOMPARE(child<QLabel>(window, "lbVersion")->text(), QStringLiteral("Firmware Version:1.0.3"));
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(10));

        QElapsedTimer clock;
        clock.start();
        std::atomic<qint64> finishedAt{-1};
        connect(&window.upgradeWorker(), &VorlaUpgrade::progress, &window.upgradeWorker(), [&](int value) {
            if (value == 97)
                finishedAt = clock.elapsed() - 10; // the finish report went out one step earlier
        }, Qt::DirectConnection);
        qint64 reopenedAt = -1;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (reopenedAt < 0 && sim::openCount() >= 2)
                reopenedAt = clock.elapsed();
        });
        poll.start(2);

        startUpgrade(window, path);
        auto *label = child<QLabel>(window, "lbUpgrade");
        QTRY_VERIFY(!label->isHidden() && label->text() == kWaiting);
        QVERIFY(child<QProgressBar>(window, "pgUpgrade")->isHidden());
        QVERIFY(sendingControlsEnabled(window, false));
        QVERIFY(!vorla::connection::isOpen());
        const std::size_t beforeReconnect = sim::received().size();
        sim::setStoredPaddle(80); // changed on the wheel while it was away

        QVERIFY(reconnected(window, 2));
        QVERIFY(finishedAt >= 0);
        QTRY_VERIFY(reopenedAt >= 0); // the poll may not have looked since
        // Tries every 250 ms: back within one interval after the wheel is.
        const qint64 away = reopenedAt - finishedAt;
        QVERIFY2(away <= 2000 + 250 + 250, qPrintable(QStringLiteral("reconnected after %1 ms").arg(away)));

        QCOMPARE(lines(answerer.messages()), lines(QStringList{kDone}));
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(queriesFrom(beforeReconnect), (QList<int>{0, 1, 2, 10, 9}));
        QCOMPARE(child<QLabel>(window, "lbVersion")->text(), QStringLiteral("Firmware Version:2.4.0"));
        QCOMPARE(child<QSlider>(window, "hsBite")->value(), 80);
        QVERIFY(child<QCheckBox>(window, "cbPaddle")->isChecked());
        QCOMPARE(toBytes(sim::firmwareImage()), image);
    }

    // The wheel never comes back: the page waits 15 s, then "No device." and
    // the program ends. (This test takes about 16 s.)
    void wheelNeverComesBack()
    {
        sim::setRebootDuration(std::chrono::hours(1));
        QTemporaryDir dir;
        const QString path = writeFile(dir.filePath("last.bin"), imageBytes(64));

        ModalAnswerer answerer;
        MainWindow window;
        window.show(); // the boxes are not the last windows to close
        QVERIFY(ready(window));
        auto *label = child<QLabel>(window, "lbUpgrade");
        QString labelWhileWaiting;
        bool shownWhileWaiting = false, barWhileWaiting = true, lockedWhileWaiting = false;
        QTimer look;
        look.setSingleShot(true);
        connect(&look, &QTimer::timeout, [&] {
            labelWhileWaiting = label->text();
            shownWhileWaiting = !label->isHidden();
            barWhileWaiting = !child<QProgressBar>(window, "pgUpgrade")->isHidden();
            lockedWhileWaiting = sendingControlsEnabled(window, false);
        });
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });

        QElapsedTimer clock;
        clock.start();
        startUpgrade(window, path);
        look.start(5000);
        safety.start(25000);
        QCOMPARE(QCoreApplication::exec(), 0);
        const qint64 elapsed = clock.elapsed();

        QCOMPARE(lines(answerer.messages()), lines(QStringList{kDone, QStringLiteral("Error/No device.")}));
        QVERIFY2(elapsed >= 14900 && elapsed <= 17500, qPrintable(QStringLiteral("gave up after %1 ms").arg(elapsed)));
        QCOMPARE(labelWhileWaiting, kWaiting);
        QVERIFY(shownWhileWaiting);
        QVERIFY(!barWhileWaiting);
        QVERIFY(lockedWhileWaiting);
        QVERIFY(label->isHidden());
        QCOMPARE(sim::openCount(), 1);
        window.close();
    }

    // At program start there is a single try.
    void startWithoutWheelTriesOnce()
    {
        sim::setPresent(false);
        ModalAnswerer answerer;
        MainWindow window;
        window.show();
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        safety.start(5000);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(lines(answerer.messages()), lines(QStringList{QStringLiteral("Error/No device.")}));
        auto *label = child<QLabel>(window, "lbUpgrade");
        QVERIFY(label->isHidden());
        QVERIFY(label->text() != kWaiting);
        QCOMPARE(sim::openCount(), 0);
        window.close();
    }
};

QTEST_MAIN(FirmwarePageTest)
#include "tst_firmwarepage.moc"
