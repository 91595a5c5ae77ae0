// The firmware transfer worker against the simulated wheel: how an image is
// cut into data reports, the finish report, the progress values and when they
// are emitted, failed transfers, images that are too large, and the handle
// shared with the GUI thread.
#include "device/connection.h"
#include "device/paddle.h"
#include "sim/SimWheel.h"
#include "upgrade/VorlaUpgrade.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
// A report to look at closely: its index among the data reports (-1: the
// finish report) and its 20 bytes.
using Spot = QPair<int, QByteArray>;
using Spots = QList<Spot>;

constexpr int kMaxImage = 0x38000;
constexpr int kChunk = 16;

// Image bytes that are never zero and differ from their neighbours, so that a
// byte left over from an earlier report cannot pass for a zero or vice versa.
QByteArray imageBytes(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 37 + 11) % 251 + 1);
    return bytes;
}

QByteArray head(std::initializer_list<int> bytes)
{
    QByteArray out;
    for (int b : bytes)
        out.append(char(b));
    return out;
}

QByteArray toBytes(const Bytes &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

// The data reports and the finish report an image makes, following the wheel's
// report layout: 02, 0x80 | offset bits 12-18, offset bits 4-11, length, the
// data, and behind a short chunk whatever the previous report of the run left.
QList<QByteArray> referenceDataReports(const QByteArray &image)
{
    QList<QByteArray> reports;
    QByteArray buffer(20, '\0');
    buffer[0] = 0x02;
    for (int offset = 0; offset < image.size(); offset += kChunk) {
        const int length = std::min(kChunk, image.size() - offset);
        buffer[1] = char(0x80 | (offset >> 12));
        buffer[2] = char((offset >> 4) & 0xFF);
        buffer[3] = char(length);
        buffer.replace(4, length, image.mid(offset, length));
        reports << buffer;
    }
    return reports;
}

QByteArray referenceFinishReport(const QByteArray &image)
{
    const QList<QByteArray> data = referenceDataReports(image);
    QByteArray finish = data.isEmpty() ? QByteArray(20, '\0') : data.last();
    finish[0] = 0x02;
    finish[1] = 0x10;
    return finish;
}

// The transfer values: floor(offset * 96 / N) for each chunk, only on change.
QList<int> transferProgress(qint64 size)
{
    QList<int> values;
    int last = -1;
    for (qint64 offset = 0; offset < size; offset += kChunk) {
        const int p = int(offset * 96 / size);
        if (p != last)
            values << p;
        last = p;
    }
    return values;
}

const QList<int> kWriting = {97, 98, 99, 100};

// One progress value as the worker emitted it, with what the wheel had
// received at that moment.
struct Emission {
    int value;
    std::size_t featureReports;
    std::thread::id thread;
    qint64 atMs;
};

// Records every value on the worker's own thread, the moment it is emitted.
class Recorder
{
public:
    explicit Recorder(VorlaUpgrade &worker)
    {
        m_clock.start();
        QObject::connect(&worker, &VorlaUpgrade::progress, &worker, [this](int value) {
            const std::size_t sent = sim::received(sim::ReportKind::FeatureSend).size();
            std::lock_guard<std::mutex> lock(m_mutex);
            m_emissions.push_back({value, sent, std::this_thread::get_id(), m_clock.elapsed()});
        }, Qt::DirectConnection);
    }

    std::vector<Emission> emissions() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_emissions;
    }

    QList<int> values() const
    {
        QList<int> out;
        for (const Emission &e : emissions())
            out << e.value;
        return out;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Emission> m_emissions;
    QElapsedTimer m_clock;
};

} // namespace

Q_DECLARE_METATYPE(Spots)

class UpgradeTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;
    bool violationsExpected = false;

    QString writeImage(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            return QString();
        return path;
    }

    // Runs one transfer to its end on a fast worker.
    static bool runTransfer(VorlaUpgrade &worker, const QString &path)
    {
        worker.setWritingStepDuration(std::chrono::milliseconds(1));
        worker.setFirmwarePath(path);
        worker.start();
        return worker.wait(30000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
    }

    void init()
    {
        sim::reset();
        violationsExpected = false;
        QVERIFY(vorla::connection::open());
    }

    void cleanup()
    {
        vorla::connection::close();
        if (!violationsExpected) {
            const std::vector<std::string> violations = sim::violations();
            QVERIFY2(violations.empty(), violations.empty() ? "" : violations.front().c_str());
        }
    }

    void framing_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QList<int>>("progress");
        QTest::addColumn<Spots>("spots");

        QList<int> everyValue;
        for (int v = 0; v <= 95; ++v)
            everyValue << v;

        const QByteArray img10 = imageBytes(10);
        const QByteArray img16 = imageBytes(16);
        const QByteArray img17 = imageBytes(17);
        const QByteArray img32 = imageBytes(32);
        const QByteArray imgMax = imageBytes(kMaxImage);

        QTest::newRow("empty image: finish report only")
            << 0 << kWriting << Spots{{-1, head({0x02, 0x10}) + QByteArray(18, '\0')}};
        QTest::newRow("10 bytes: one short chunk")
            << 10 << QList<int>{0} + kWriting
            << Spots{{0, head({0x02, 0x80, 0x00, 0x0A}) + img10 + QByteArray(6, '\0')},
                     {-1, head({0x02, 0x10, 0x00, 0x0A}) + img10 + QByteArray(6, '\0')}};
        QTest::newRow("16 bytes: one full chunk")
            << 16 << QList<int>{0} + kWriting
            << Spots{{0, head({0x02, 0x80, 0x00, 0x10}) + img16},
                     {-1, head({0x02, 0x10, 0x00, 0x10}) + img16}};
        QTest::newRow("17 bytes: a one-byte chunk keeps the previous tail")
            << 17 << QList<int>{0, 90} + kWriting
            << Spots{{0, head({0x02, 0x80, 0x00, 0x10}) + img17.left(16)},
                     {1, head({0x02, 0x80, 0x01, 0x01}) + img17.mid(16, 1) + img17.mid(1, 15)},
                     {-1, head({0x02, 0x10, 0x01, 0x01}) + img17.mid(16, 1) + img17.mid(1, 15)}};
        QTest::newRow("32 bytes: two full chunks, values skipped")
            << 32 << QList<int>{0, 48} + kWriting
            << Spots{{1, head({0x02, 0x80, 0x01, 0x10}) + img32.mid(16)},
                     {-1, head({0x02, 0x10, 0x01, 0x10}) + img32.mid(16)}};
        QTest::newRow("0x38000 bytes: the largest image")
            << kMaxImage << everyValue + kWriting
            << Spots{{0, head({0x02, 0x80, 0x00, 0x10}) + imgMax.left(16)},
                     {0xFF, head({0x02, 0x80, 0xFF, 0x10}) + imgMax.mid(0xFF0, 16)},
                     {0x100, head({0x02, 0x81, 0x00, 0x10}) + imgMax.mid(0x1000, 16)},
                     {0x37FF, head({0x02, 0xB7, 0xFF, 0x10}) + imgMax.right(16)},
                     {-1, head({0x02, 0x10, 0xFF, 0x10}) + imgMax.right(16)}};
    }

    void framing()
    {
        QFETCH(int, size);
        QFETCH(QList<int>, progress);
        QFETCH(Spots, spots);

        const QByteArray image = imageBytes(size);
        const QString path = writeImage(QStringLiteral("framing.bin"), image);
        QVERIFY(!path.isEmpty());
        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, path));

        // Everything went out as feature reports, from the worker's thread.
        const std::vector<sim::ReceivedReport> all = sim::received();
        QCOMPARE(int(all.size()), (size + kChunk - 1) / kChunk + 1);
        for (const sim::ReceivedReport &r : all) {
            QVERIFY(r.kind == sim::ReportKind::FeatureSend);
            QVERIFY(r.thread != std::this_thread::get_id());
            QVERIFY(r.accepted);
        }
        QList<QByteArray> sent;
        for (const sim::ReceivedReport &r : all)
            sent << toBytes(r.bytes);
        const QByteArray finish = sent.takeLast();
        QCOMPARE(sent, referenceDataReports(image));
        QCOMPARE(finish, referenceFinishReport(image));
        for (const Spot &spot : spots)
            QCOMPARE(spot.first < 0 ? finish : sent.value(spot.first), spot.second);

        // The values, each emitted once the chunk it stands for was sent.
        const QList<int> values = recorder.values();
        QCOMPARE(values, progress);
        QVERIFY(!values.contains(96));
        for (int i = 1; i < values.size(); ++i)
            QVERIFY(values[i] != values[i - 1]);
        const int dataReports = sent.size();
        for (const Emission &e : recorder.emissions()) {
            QVERIFY(e.thread != std::this_thread::get_id());
            if (e.value >= 97) {
                QCOMPARE(int(e.featureReports), dataReports + 1); // after the finish report
                continue;
            }
            // The first chunk whose offset gives this value was the last one sent.
            const qint64 chunk = qint64(e.featureReports) - 1;
            QCOMPARE(int(chunk * kChunk * 96 / size), e.value);
            QVERIFY(chunk == 0 || int((chunk - 1) * kChunk * 96 / size) != e.value);
        }

        // The wheel keeps the image; an empty one writes nothing.
        if (size > 0) {
            QCOMPARE(toBytes(sim::firmwareImage()), image);
            QCOMPARE(sim::firmwareWrites(), 1);
        } else {
            QCOMPARE(sim::firmwareWrites(), 0);
        }
    }

    // The report buffer belongs to one run: a short chunk of a later run does
    // not carry bytes of the earlier image.
    void secondRunStartsFromAClearBuffer()
    {
        sim::setRebootDuration(std::chrono::milliseconds(0));
        const QString first = writeImage(QStringLiteral("first.bin"), imageBytes(32));
        QByteArray second(10, '\0');
        for (int i = 0; i < 10; ++i)
            second[i] = char(0xA0 + i);
        const QString secondPath = writeImage(QStringLiteral("second.bin"), second);
        QVERIFY(!first.isEmpty() && !secondPath.isEmpty());

        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, first));
        // The wheel restarted after the finish: open it afresh.
        QVERIFY(vorla::connection::open());
        sim::clearReceived();
        QVERIFY(runTransfer(worker, secondPath));

        const auto sent = sim::received(sim::ReportKind::FeatureSend);
        QCOMPARE(sent.size(), std::size_t(2));
        QCOMPARE(toBytes(sent[0]), head({0x02, 0x80, 0x00, 0x0A}) + second + QByteArray(6, '\0'));
        QCOMPARE(toBytes(sent[1]), head({0x02, 0x10, 0x00, 0x0A}) + second + QByteArray(6, '\0'));
        QCOMPARE(toBytes(sim::firmwareImage()), second);
        QCOMPARE(recorder.values(), (QList<int>{0, 48} + kWriting + QList<int>{0} + kWriting));
    }

    void pathThatCannotBeOpened_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("no such file") << dir.filePath(QStringLiteral("missing.bin"));
        QTest::newRow("a directory") << dir.filePath(QStringLiteral("folder.bin"));
        QTest::newRow("empty path") << QString();
    }

    void pathThatCannotBeOpened()
    {
        QFETCH(QString, path);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("folder.bin")));
        if (path.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, "QFSFileEngine::open: No file name specified");
        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, path));
        QVERIFY(recorder.values().isEmpty());
        QVERIFY(sim::received().empty());
    }

    // The worker re-checks what it read: an image the wheel cannot hold is
    // never sent, not even in part, and the run ends with a negative value.
    void imageLargerThanTheWheelTakes_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("one byte over 0x38000") << kMaxImage + 1;
        QTest::newRow("0x40000 bytes") << 0x40000;
    }

    void imageLargerThanTheWheelTakes()
    {
        QFETCH(int, size);
        const QString path = writeImage(QStringLiteral("large.bin"), imageBytes(size));
        QVERIFY(!path.isEmpty());
        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, path));
        const QList<int> values = recorder.values();
        QCOMPARE(values.size(), 1);
        QVERIFY2(values.first() < 0, qPrintable(QString::number(values.first())));
        QVERIFY(sim::received().empty());
        QCOMPARE(sim::firmwareWrites(), 0);
    }

    // A data report that does not go through ends the run: no later data
    // report, no finish report (the wheel must not write half an image), and
    // the failed send's result as the last value.
    void failedDataReport_data()
    {
        QTest::addColumn<int>("failingChunk");
        QTest::addColumn<bool>("unplug");
        // 100 bytes: chunks 0-5 of 16 bytes and chunk 6 of 4.
        QTest::newRow("first data report fails") << 0 << false;
        QTest::newRow("middle data report fails") << 3 << false;
        QTest::newRow("last (short) data report fails") << 6 << false;
        QTest::newRow("wheel unplugged at a middle data report") << 3 << true;
    }

    void failedDataReport()
    {
        QFETCH(int, failingChunk);
        QFETCH(bool, unplug);
        const QByteArray image = imageBytes(100);
        const QString path = writeImage(QStringLiteral("fail.bin"), image);
        QVERIFY(!path.isEmpty());
        // Calls are counted from 1 since the reset; the worker makes the first.
        if (unplug)
            sim::vanishAtReport(failingChunk + 1);
        else
            sim::failReport(failingChunk + 1);

        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, path));

        const std::vector<sim::ReceivedReport> all = sim::received();
        QCOMPARE(int(all.size()), failingChunk + 1);
        const QList<QByteArray> reference = referenceDataReports(image);
        for (int i = 0; i <= failingChunk; ++i) {
            QCOMPARE(toBytes(all[i].bytes), reference[i]);
            QCOMPARE(all[i].accepted, i < failingChunk);
        }
        QCOMPARE(sim::firmwareWrites(), 0);
        QVERIFY(sim::firmwareImage().empty());

        // The values of the accepted chunks, then -1 (what the send returned).
        QList<int> expected;
        int last = -1;
        for (int chunk = 0; chunk < failingChunk; ++chunk) {
            const int p = chunk * kChunk * 96 / image.size();
            if (p != last)
                expected << p;
            last = p;
        }
        expected << -1;
        QCOMPARE(recorder.values(), expected);
        QCOMPARE(int(recorder.emissions().back().featureReports), failingChunk + 1);
    }

    // After close() the handle is gone: nothing reaches the wheel, every
    // sender gets a failure, and so does a transfer started then.
    void closedConnectionSendsNothing()
    {
        vorla::connection::close();
        QVERIFY(!vorla::connection::isOpen());
        const vorla::Report paddle = vorla::paddleReport(40, false);
        QVERIFY(vorla::connection::sendFeatureReport(paddle) < 0);
        QVERIFY(vorla::connection::write(paddle) < 0);
        std::uint8_t response[21] = {0x02};
        QVERIFY(vorla::connection::getFeatureReport(response, sizeof response) < 0);
        QVERIFY(vorla::connection::exchangeFeatureReport(paddle.data(), paddle.size(), response, sizeof response) < 0);

        const QString path = writeImage(QStringLiteral("closed.bin"), imageBytes(40));
        VorlaUpgrade worker;
        Recorder recorder(worker);
        QVERIFY(runTransfer(worker, path));
        QVERIFY(sim::received().empty());
        QCOMPARE(recorder.values(), QList<int>{-1});
    }

    // The GUI thread keeps sending while the worker streams: every hidapi call
    // is serialised, so the wheel never sees the handle used by two threads at
    // once. (The GUI's reports are sent straight through the connection here,
    // which the window never does during a transfer; the wheel refuses them as
    // cutting into the stream, and the image still arrives whole.)
    void guiThreadSenderIsSerialisedWithTheTransfer()
    {
        violationsExpected = true;
        sim::setReportLatency(std::chrono::microseconds(300));
        const QByteArray image = imageBytes(3200);
        const QString path = writeImage(QStringLiteral("shared.bin"), image);
        QVERIFY(!path.isEmpty());

        VorlaUpgrade worker;
        Recorder recorder(worker);
        worker.setWritingStepDuration(std::chrono::milliseconds(1));
        worker.setFirmwarePath(path);
        worker.start();
        int guiSends = 0;
        while (!worker.isFinished() && guiSends < 100000) {
            vorla::connection::sendFeatureReport(vorla::paddleReport(std::uint8_t(guiSends % 101), false));
            ++guiSends;
        }
        QVERIFY(worker.wait(30000));

        for (const std::string &why : sim::violations())
            QVERIFY2(why == "report interleaved with the firmware stream", why.c_str());

        // The two threads really took turns inside the stream.
        const std::vector<sim::ReceivedReport> all = sim::received();
        const auto isFirmware = [](const sim::ReceivedReport &r) {
            return r.kind == sim::ReportKind::FeatureSend && (r.bytes[1] & 0x80 || r.bytes[1] == 0x10);
        };
        const auto first = std::find_if(all.begin(), all.end(), isFirmware);
        const auto finish = std::find_if(all.begin(), all.end(), [](const sim::ReceivedReport &r) {
            return r.kind == sim::ReportKind::FeatureSend && r.bytes[1] == 0x10;
        });
        QVERIFY(first != all.end() && finish != all.end());
        const auto guiInside = std::count_if(first, finish, [&](const sim::ReceivedReport &r) { return !isFirmware(r); });
        QVERIFY2(guiInside > 0, "the GUI thread never sent during the transfer; the test proves nothing");

        QCOMPARE(toBytes(sim::firmwareImage()), image);
        QCOMPARE(recorder.values(), transferProgress(image.size()) + kWriting);
    }

    // Each of the four writing steps takes a second by default.
    void writingStepsTakeOneSecondEach()
    {
        const QString path = writeImage(QStringLiteral("paced.bin"), imageBytes(10));
        VorlaUpgrade worker;
        Recorder recorder(worker);
        worker.setFirmwarePath(path);
        worker.start();
        QVERIFY(worker.wait(10000));
        const std::vector<Emission> e = recorder.emissions();
        QCOMPARE(int(e.size()), 5);
        QCOMPARE(e[0].value, 0);
        for (int i = 1; i < 5; ++i) {
            const qint64 gap = e[i].atMs - e[i - 1].atMs;
            QVERIFY2(gap >= 950 && gap <= 1400, qPrintable(QStringLiteral("step %1 took %2 ms").arg(i).arg(gap)));
        }
    }
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "tst_upgrade.moc"
