// The firmware transfer worker against the simulated wheel: how an image is
// cut into data reports, the finish report and the progress values, the
// images it refuses, and the handle shared with the GUI thread. Failed
// transfers are tested through the device page (tst_firmwarepage).
#include "device/connection.h"
#include "device/firmware.h"
#include "device/paddle.h"
#include "support/WheelTest.h"
#include "upgrade/VorlaUpgrade.h"

#include <algorithm>

using namespace wheeltest;

class UpgradeTest : public QObject
{
    Q_OBJECT

private:
    bool violationsExpected = false;

    VorlaUpgrade worker; // one for all runs, like the window's

private slots:
    void initTestCase() { worker.setWritingStepDuration(std::chrono::milliseconds(1)); }

    void init()
    {
        sim::reset();
        violationsExpected = false;
        QCOMPARE(vorla::connection::open(), vorla::connection::OpenResult::Opened);
    }

    void cleanup()
    {
        vorla::connection::close();
        for (const std::string &violation : sim::violations())
            QVERIFY2(violationsExpected, violation.c_str());
    }

    void framing_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("lastData"); // the start of the last data report
        QTest::addColumn<QList<int>>("transferValues");
        QList<int> everyValue;
        for (int value = 0; value <= 95; ++value)
            everyValue << value;
        // The 10-byte image comes after larger ones: one worker
        // serves every run, and what a run left must not show in the next.
        QTest::newRow("17 bytes: a one-byte chunk keeps the tail") << 17 << "02 80 01 01" << QList<int>{0, 90};
        QTest::newRow("32 bytes: two full chunks, 1-47 skipped") << 32 << "02 80 01 10" << QList<int>{0, 48};
        QTest::newRow("10 bytes: one short chunk") << 10 << "02 80 00 0a" << QList<int>{0};
        QTest::newRow("0x38000 bytes: the largest image") << 0x38000 << "02 b7 ff 10" << everyValue;
    }

    // Data report: 02, 0x80 | chunk number bits 8-14, bits 0-7, length, the
    // data, and behind a short chunk what the run's previous report held
    // (zeros at first). The finish report is the last buffer with byte 1 =
    // 0x10. Values: floor(offset * 96 / size) on change, then 97 to 100.
    void framing()
    {
        QFETCH(int, size);
        QFETCH(QString, lastData);
        QFETCH(QList<int>, transferValues);
        const QByteArray bytes = imageBytes(size);
        const Bytes image(bytes.begin(), bytes.end());
        QList<int> values; // read after wait(): the thread's end orders the two
        QObject row;       // the connection ends with it
        connect(&worker, &VorlaUpgrade::progress, &row, [&](int value) { values << value; }, Qt::DirectConnection);
        worker.setImage(bytes);
        worker.start();
        QVERIFY(worker.wait(30000));
        QCOMPARE(values, transferValues << 97 << 98 << 99 << 100);
        const std::vector<Bytes> sent = sim::received(sim::ReportKind::FeatureSend);
        QCOMPARE(int(sim::received().size()), (size + 15) / 16 + 1);
        QCOMPARE(sent.size(), sim::received().size());
        Bytes expected(20, 0);
        expected[0] = 0x02;
        for (int chunk = 0; chunk * 16 < size; ++chunk) {
            const int length = std::min(16, size - chunk * 16);
            expected[1] = std::uint8_t(0x80 | chunk >> 8);
            expected[2] = std::uint8_t(chunk);
            expected[3] = std::uint8_t(length);
            std::copy_n(image.begin() + chunk * 16, length, expected.begin() + 4);
            QCOMPARE(hex(sent[chunk]), hex(expected));
        }
        expected[1] = 0x10;
        QCOMPARE(hex(sent.back()), hex(expected));
        QVERIFY(hex(sent[sent.size() - 2]).startsWith(lastData));
        QVERIFY(sim::firmwareImage() == image);
    }

    // What the worker refuses to send, whatever it was handed: the run sends
    // nothing at all, not even a finish report (the wheel would write an
    // image it never got), and ends with invalidImage() alone.
    void invalidImage_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("no image") << 0;
        QTest::newRow("past 0x38000 bytes") << 0x38001;
    }

    void invalidImage()
    {
        QFETCH(int, size);
        QList<int> values;
        QSignalSpy invalid(&worker, &VorlaUpgrade::invalidImage);
        QVERIFY(invalid.isValid());
        QObject row;
        connect(&worker, &VorlaUpgrade::progress, &row, [&](int value) { values << value; }, Qt::DirectConnection);
        worker.setImage(imageBytes(size));
        worker.start();
        QVERIFY(worker.wait(30000));
        QCOMPARE(invalid.count(), 1);
        QCOMPARE(values, QList<int>{});
        QCOMPARE(int(sim::received().size()), 0);
        QCOMPARE(sim::firmwareWrites(), 0);
    }

    // The GUI thread sends while the worker streams: every hidapi call is
    // serialised, so the wheel never sees the handle used by two threads at
    // once. (The window never sends during a transfer; here the wheel refuses
    // the GUI's reports as cutting into the stream, and still gets the image.)
    void guiSendsAreSerialisedWithTheTransfer()
    {
        violationsExpected = true;
        // A thousand chunks: the stream lasts long enough for the GUI thread
        // to see its first chunk, however busy the machine.
        const QByteArray image = imageBytes(16000);
        auto chunksReceived = [] {
            const auto reports = sim::received(sim::ReportKind::FeatureSend);
            return std::count_if(reports.begin(), reports.end(),
                                 [](const Bytes &report) { return vorla::isFirmwareData(report.at(1)); });
        };
        sim::setReportLatency(std::chrono::microseconds(300));
        worker.setImage(image);
        worker.start();
        // One GUI report after each chunk the worker got through: the two
        // threads take turns whichever one the scheduler and the lock favour.
        for (std::ptrdiff_t seen = 0; !worker.isFinished();) {
            const std::ptrdiff_t now = chunksReceived();
            if (now == seen) {
                QThread::yieldCurrentThread();
                continue;
            }
            seen = now;
            vorla::connection::sendFeatureReport(vorla::paddleReport(std::uint8_t(now % 101), false));
        }
        QVERIFY(worker.wait(30000));

        // Each refusal is a GUI report that went out inside the stream.
        QVERIFY2(!sim::violations().empty(), "the GUI thread never sent during the transfer; this proves nothing");
        for (const std::string &why : sim::violations())
            QCOMPARE(QString::fromStdString(why), QStringLiteral("report interleaved with the firmware stream"));
        QVERIFY(sim::firmwareImage() == Bytes(image.begin(), image.end()));
    }
};

QTEST_GUILESS_MAIN(UpgradeTest)
#include "tst_upgrade.moc"
