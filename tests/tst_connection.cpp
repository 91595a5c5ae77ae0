// Opening the wheel and reading it back as Windows' HID stack shows it: a
// feature read must ask for the whole feature report, and a wheel with
// several top-level collections has a path for each, of which only one
// answers the wheel's reports. The simulated wheel models both.
#include "device/connection.h"
#include "device/query.h"
#include "device/send.h"
#include "sim/SimWheel.h"

#include <hidapi.h>

#include <QtTest>

class ConnectionTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { sim::reset(); }
    void cleanup() { vorla::connection::close(); }

    void readsAsWindowsShowsTheWheel_data()
    {
        QTest::addColumn<int>("featureLength");
        QTest::addColumn<int>("collections");
        QTest::newRow("Linux: any length, one node") << 0 << 1;
        QTest::newRow("64-byte feature reports") << 64 << 1;
        QTest::newRow("three collections, the last answers") << 0 << 3;
        QTest::newRow("both") << 65 << 2;
    }

    void readsAsWindowsShowsTheWheel()
    {
        QFETCH(int, featureLength);
        QFETCH(int, collections);
        sim::setWindowsHid(std::size_t(featureLength), collections);

        QCOMPARE(vorla::connection::open(), vorla::connection::OpenResult::Opened);
        const std::optional<vorla::WheelSettings> settings = vorla::readSettings();
        QVERIFY(settings);
        const vorla::LedBlock stored = sim::storedLeds();
        QVERIFY(std::equal(stored.begin(), stored.begin() + 54, settings->ledBlock.begin()));
        QCOMPARE(settings->paddle, sim::kDefaultPaddle);
        QCOMPARE(settings->version, QString::fromLatin1(sim::kDefaultVersion));
        // Sending goes to the collection that was kept.
        QVERIFY(vorla::sendPaddle(0x20, true));
        QCOMPARE(sim::storedPaddle(), std::uint8_t(0x20));
        QCOMPARE(sim::violations(), std::vector<std::string>());
    }

    // What the rows above rely on: the simulated wheel refuses a read shorter
    // than its feature report, and an interface that is not the wheel's
    // settings collection answers nothing.
    void simulatedWheelHoldsWindowsRules()
    {
        sim::setWindowsHid(64, 2);
        hid_device_info *const wheels = hid_enumerate(vorla::kVendorId, vorla::kProductId);
        QVERIFY(wheels && wheels->next && !wheels->next->next);
        hid_device *const other = hid_open_path(wheels->path);
        hid_device *const settings = hid_open_path(wheels->next->path);
        hid_free_enumeration(wheels);
        QVERIFY(other && settings);

        vorla::Report query{vorla::kFeatureReportId, vorla::kCmdQuery, vorla::kSelectorVersion};
        QCOMPARE(hid_send_feature_report(other, query.data(), query.size()), -1);
        QCOMPARE(hid_send_feature_report(settings, query.data(), query.size()), int(query.size()));
        std::uint8_t answer[64] = {vorla::kFeatureReportId};
        QCOMPARE(hid_get_feature_report(settings, answer, vorla::kQueryReadLength), -1);
        QCOMPARE(sim::violations().size(), std::size_t(1));
        hid_close(other);
        hid_close(settings);
    }
};

QTEST_GUILESS_MAIN(ConnectionTest)
#include "tst_connection.moc"
