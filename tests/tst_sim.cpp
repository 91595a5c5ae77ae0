// The simulated wheel's own checks: what it rejects, what it stores, and the
// faults a test can inject. The other tests rely on these.
#include "device/firmware.h"
#include "device/leds.h"
#include "device/paddle.h"
#include "sim/SimWheel.h"

#include <hidapi.h>

#include <QtTest>

#include <cerrno>
#include <mutex>
#include <thread>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes report(std::initializer_list<std::uint8_t> head, std::size_t size = 20)
{
    Bytes bytes(head);
    bytes.resize(size, 0);
    return bytes;
}

int sendFeature(hid_device *dev, const Bytes &bytes) { return hid_send_feature_report(dev, bytes.data(), bytes.size()); }
int write(hid_device *dev, const Bytes &bytes) { return hid_write(dev, bytes.data(), bytes.size()); }

Bytes firmwareChunk(int chunk, int length)
{
    vorla::Report r{};
    std::vector<std::uint8_t> data(std::size_t(length), 0xA5);
    vorla::setFirmwareDataReport(r, std::uint32_t(chunk * 16), data.data(), std::size_t(length));
    return Bytes(r.begin(), r.end());
}

struct Call {
    enum { Feature, Output, Read } kind;
    Bytes bytes;
};

} // namespace

Q_DECLARE_METATYPE(std::vector<Call>)

class SimTest : public QObject
{
    Q_OBJECT

    hid_device *dev = nullptr;

private slots:
    void init()
    {
        sim::reset();
        dev = hid_open(vorla::kVendorId, vorla::kProductId, nullptr);
        QVERIFY(dev);
    }

    void cleanup()
    {
        hid_close(dev);
        dev = nullptr;
    }

    void openChecksIdentity()
    {
        QVERIFY(!hid_open(vorla::kVendorId, 0x2008, nullptr));
        QVERIFY(!hid_open(0x046D, vorla::kProductId, nullptr));
        QVERIFY(hid_error(nullptr));
    }

    // The last call of each sequence breaks the protocol: it fails, says why
    // and is recorded; the calls before it are accepted.
    void rejects_data()
    {
        QTest::addColumn<std::vector<Call>>("calls");
        auto feature = [](Bytes b) { return Call{Call::Feature, std::move(b)}; };
        auto output = [](Bytes b) { return Call{Call::Output, std::move(b)}; };
        auto read = [](Bytes b) { return Call{Call::Read, std::move(b)}; };

        QTest::newRow("feature report of 19 bytes") << std::vector<Call>{feature(report({0x02, 0x0B, 9}, 19))};
        QTest::newRow("feature report with id 3") << std::vector<Call>{feature(report({0x03, 0x0B, 9}))};
        QTest::newRow("unknown command") << std::vector<Call>{feature(report({0x02, 0x0C}))};
        QTest::newRow("unknown selector 3") << std::vector<Call>{feature(report({0x02, 0x0B, 3}))};
        QTest::newRow("read without query") << std::vector<Call>{read(report({0x02}))};
        QTest::newRow("read shorter than a report")
            << std::vector<Call>{feature(report({0x02, 0x0B, 9})), read(report({0x02}, 19))};
        QTest::newRow("paddle with unknown marker") << std::vector<Call>{feature(report({0x02, 0x0A, 50, 0x01}))};
        QTest::newRow("paddle with stray byte 4") << std::vector<Call>{feature(report({0x02, 0x0A, 50, 0x00, 1}))};
        QTest::newRow("LED chunk 1 first") << std::vector<Call>{output(report({0x03, 1}))};
        QTest::newRow("LED report with id 2") << std::vector<Call>{output(report({0x02, 0}))};
        QTest::newRow("LED report of 21 bytes") << std::vector<Call>{output(report({0x03, 0}, 21))};
        Bytes lastChunk = report({0x03, 2});
        lastChunk[19] = 0x5E;
        lastChunk[2 + 39 - 36] = 1; // block byte 39
        QTest::newRow("LED block with byte 39 set")
            << std::vector<Call>{output(report({0x03, 0})), output(report({0x03, 1})), output(lastChunk)};
        Bytes badCommit = report({0x03, 2});
        badCommit[19] = 0x12;
        QTest::newRow("LED block with unknown commit byte")
            << std::vector<Call>{output(report({0x03, 0})), output(report({0x03, 1})), output(badCommit)};
        QTest::newRow("firmware chunk 1 first") << std::vector<Call>{feature(firmwareChunk(1, 16))};
        QTest::newRow("firmware chunk skipped")
            << std::vector<Call>{feature(firmwareChunk(0, 16)), feature(firmwareChunk(2, 16))};
        QTest::newRow("firmware chunk of length 0") << std::vector<Call>{feature(report({0x02, 0x80, 0, 0}))};
        QTest::newRow("firmware chunk of length 17") << std::vector<Call>{feature(report({0x02, 0x80, 0, 17}))};
        QTest::newRow("firmware chunk after a short one")
            << std::vector<Call>{feature(firmwareChunk(0, 10)), feature(firmwareChunk(1, 16))};
        QTest::newRow("query inside the firmware stream")
            << std::vector<Call>{feature(firmwareChunk(0, 16)), feature(report({0x02, 0x0B, 9}))};
        QTest::newRow("LED chunk inside the firmware stream")
            << std::vector<Call>{feature(firmwareChunk(0, 16)), output(report({0x03, 0}))};
    }

    void rejects()
    {
        QFETCH(std::vector<Call>, calls);
        const vorla::LedBlock leds = sim::storedLeds();
        const std::uint8_t paddle = sim::storedPaddle();
        for (std::size_t i = 0; i < calls.size(); ++i) {
            Bytes bytes = calls[i].bytes;
            int result = -1;
            switch (calls[i].kind) {
            case Call::Feature: result = sendFeature(dev, bytes); break;
            case Call::Output: result = write(dev, bytes); break;
            case Call::Read: result = hid_get_feature_report(dev, bytes.data(), bytes.size()); break;
            }
            const bool last = i + 1 == calls.size();
            QCOMPARE(result < 0, last);
            QCOMPARE(sim::violations().size(), last ? 1u : 0u);
        }
        QVERIFY(hid_error(dev));
        QVERIFY(!sim::received().back().accepted);
        QCOMPARE(sim::storedLeds(), leds);
        QCOMPARE(sim::storedPaddle(), paddle);
        QCOMPARE(sim::firmwareWrites(), 0);
    }

    void storesOnlyOnMarkers()
    {
        vorla::LedColors colours{};
        colours[0] = {255, 0, 0};
        for (bool store : {false, true}) {
            const vorla::LedBlock block = vorla::packLedBlock(colours, store);
            for (std::size_t c = 0; c < vorla::kLedChunkCount; ++c) {
                const vorla::Report r = vorla::ledChunkReport(block, c);
                QCOMPARE(hid_write(dev, r.data(), r.size()), 20);
            }
            QCOMPARE(sim::shownLeds(), block);
            QCOMPARE(sim::storedLeds() == block, store);

            const vorla::Report p = vorla::paddleReport(store ? 30 : 40, store);
            QCOMPARE(hid_send_feature_report(dev, p.data(), p.size()), 20);
            QCOMPARE(int(sim::shownPaddle()), store ? 30 : 40);
            QCOMPARE(int(sim::storedPaddle()), store ? 30 : int(sim::kDefaultPaddle));
        }
        QVERIFY(sim::violations().empty());
    }

    void noticesOverlappingThreads()
    {
        sim::setReportLatency(std::chrono::milliseconds(20));
        const Bytes query = report({0x02, 0x0B, 9});
        std::thread other([&] { sendFeature(dev, query); });
        QTest::qSleep(5);
        sendFeature(dev, query);
        other.join();
        QCOMPARE(sim::violations(), std::vector<std::string>{"the handle was used from two threads at once"});
    }

    // The -sim program's plug events: a script with a mistake schedules
    // nothing; a good one pulls the wheel out and back at its times, and a
    // denied wheel is listed but refuses the open.
    void eventScript_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<bool>("valid");
        QTest::newRow("times") << "unplug@50ms plug@0.2s" << true;
        QTest::newRow("at a report") << "unplug@report1+100ms" << true;
        QTest::newRow("no @") << "unplug" << false;
        QTest::newRow("unknown event") << "explode@1s" << false;
        QTest::newRow("no unit") << "unplug@5" << false;
        QTest::newRow("report for a plug") << "plug@report3" << false;
        QTest::newRow("one bad word of two") << "unplug@50ms plug@soon" << false;
        QTest::newRow("not a number of reports") << "unplug@report4x" << false;
        QTest::newRow("no number at all") << "unplug@nans" << false;
        QTest::newRow("longer than a day") << "unplug@1e300s" << false;
        QTest::newRow("forgetting stores, then keeping them") << "forget-store@0ms unplug@50ms keep-store@0.1s plug@0.2s"
                                                              << true;
        QTest::newRow("misspelt forget-store") << "forget-stores@0ms unplug@50ms plug@0.2s" << false;
    }

    void eventScript()
    {
        QFETCH(QString, script);
        QFETCH(bool, valid);
        std::vector<bool> heard;
        std::mutex heardMutex;
        sim::setPresenceListener([&](bool present) {
            std::lock_guard<std::mutex> lock(heardMutex);
            heard.push_back(present);
        });
        QCOMPARE(sim::runEventScript(script.toStdString()).empty(), valid);
        if (script.contains("report"))
            sendFeature(dev, report({0x02, 0x0B, 9}));
        QTest::qWait(400);
        sim::setPresenceListener({});
        QCOMPARE(heard, valid ? (std::vector<bool>{false, true}) : std::vector<bool>{});
        QVERIFY(sim::present());
    }

    void permissionDenied()
    {
        sim::setPermissionDenied(true);
        hid_device_info *wheels = hid_enumerate(vorla::kVendorId, vorla::kProductId);
        QVERIFY(wheels);
        errno = 0;
        QVERIFY(!hid_open_path(wheels->path));
        QCOMPARE(errno, EACCES);
        hid_free_enumeration(wheels);
        sim::setPresent(false);
        QVERIFY(!hid_enumerate(vorla::kVendorId, vorla::kProductId));
    }
};

QTEST_MAIN(SimTest)
#include "tst_sim.moc"
