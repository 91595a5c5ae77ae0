// The simulated wheel's stored state on disk (the -sim program's "flash"):
// whatever VORLA_SIM_STATE names, the program starts at once, never reads
// without bound, and says when stored settings will not be kept.
#include "device/leds.h"
#include "sim/SimWheel.h"
#include "sim/StateFile.h"

#include <hidapi.h>

#include <QtTest>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <fstream>

class SimStateTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    static std::string fileText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }

private slots:
    void init() { sim::reset(); }
    void cleanup() { sim::reset(); }

    void place_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<bool>("kept");   // later stores reach the file
        QTest::addColumn<bool>("loaded"); // the file's paddle value 42 was taken
        QTest::newRow("no file yet") << "missing" << true << false;
        QTest::newRow("a valid file") << "valid" << true << true;
        QTest::newRow("garbage") << "garbage" << true << false;
        QTest::newRow("truncated") << "truncated" << true << false;
        QTest::newRow("larger than a state can be") << "huge" << false << false;
        QTest::newRow("a directory") << "directory" << false << false;
        QTest::newRow("under a regular file") << "underfile" << false << false;
#ifndef Q_OS_WIN
        // Unix's endless and blocking files.
        QTest::newRow("/dev/zero") << "/dev/zero" << false << false;
        QTest::newRow("a FIFO") << "fifo" << false << false;
#endif
    }

    // The wheel opens with what it could load (or its factory settings), a
    // store always succeeds, and only a usable place keeps it.
    void place()
    {
        QFETCH(QString, place);
        QFETCH(bool, kept);
        QFETCH(bool, loaded);
        sim::StoredState valid{sim::defaultLedBlock(), 42, "9.9.9"};
        const std::string validText = sim::encodeState(valid);
        QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')).replace(QLatin1Char('/'), QLatin1Char('_')));
        if (place == "valid" || place == "garbage" || place == "truncated" || place == "huge") {
            std::ofstream out(path.toStdString());
            if (place == "valid")
                out << validText;
            if (place == "garbage")
                out << "\x01\x02 not a wheel \xff\n";
            if (place == "truncated")
                out << validText.substr(0, validText.size() / 2);
            if (place == "huge")
                out << validText << std::string(sim::kMaxStateFileSize, '#');
        }
        if (place == "directory")
            QVERIFY(QDir().mkpath(path));
        if (place == "underfile") {
            QVERIFY(QFile(dir.filePath("plain")).open(QIODevice::WriteOnly));
            path = dir.filePath("plain/wheel.state");
        }
        if (place == "/dev/zero")
            path = place;
#ifndef Q_OS_WIN
        if (place == "fifo")
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif

        const std::string problem = sim::enablePersistence(path.toStdString()); // must return at once
        QCOMPARE(problem.empty(), kept);
        QCOMPARE(sim::storedPaddle(), loaded ? std::uint8_t(42) : sim::kDefaultPaddle);
        QCOMPARE(QString::fromStdString(sim::version()), loaded ? QStringLiteral("9.9.9") : QString(sim::kDefaultVersion));

        // A store, straight through the model's hidapi side.
        hid_device *dev = hid_open(vorla::kVendorId, vorla::kProductId, nullptr);
        QVERIFY(dev);
        std::uint8_t store[20] = {0x02, 0x0A, 77, 0xEF};
        QCOMPARE(hid_send_feature_report(dev, store, sizeof store), 20);
        hid_close(dev);
        QCOMPARE(sim::storedPaddle(), std::uint8_t(77));

        if (kept) {
            const std::optional<sim::StoredState> onDisk = sim::decodeState(fileText(path));
            QVERIFY(onDisk);
            QCOMPARE(int(onDisk->paddle), 77);
            return;
        }
        // Nothing was replaced or created where the state could not be kept.
        QFileInfo info(path);
        if (place == "directory")
            QVERIFY(info.isDir());
        if (place == "fifo")
            QVERIFY(!info.isFile() && info.exists());
        if (place == "huge")
            QVERIFY(info.size() > qint64(sim::kMaxStateFileSize));
        QVERIFY(!QFileInfo::exists(path + ".new"));
    }

    // Every state survives its text, whatever the bytes.
    void roundTrip()
    {
        sim::StoredState state;
        for (std::size_t i = 0; i < state.leds.size(); ++i)
            state.leds[i] = std::uint8_t(i * 29 + 3);
        state.paddle = 255;
        state.version = "1.2.3-rc 4";
        const std::optional<sim::StoredState> back = sim::decodeState(sim::encodeState(state));
        QVERIFY(back);
        QVERIFY(back->leds == state.leds);
        QCOMPARE(int(back->paddle), 255);
        QCOMPARE(back->version, state.version);
    }
};

QTEST_GUILESS_MAIN(SimStateTest)
#include "tst_simstate.moc"
