// Start-up: opening the wheel, the start-up read, the version line and the
// ways the program gives up.
#include "app/MainWindow.h"
#include "app/forms/MainWindowForm.h"
#include "device/query.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"
#include "support/WheelTest.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using wheeltest::runUntilQuit;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes queryReport(std::uint8_t selector)
{
    Bytes report(20, 0);
    report[0] = 0x02;
    report[1] = 0x0B;
    report[2] = selector;
    return report;
}

} // namespace

class InitTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        sim::reset();
    }

    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    void noWheel()
    {
        sim::setPresent(false);
        ModalAnswerer answerer;
        MainWindow window;
        QCOMPARE(runUntilQuit(), 0);
        QCOMPARE(answerer.messages(), QStringList{"Error/No device."});
        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("critical"));
        QVERIFY(sim::received().empty());
    }

    void queriesInWheelOrder()
    {
        ModalAnswerer answerer;
        MainWindow window;
        QTRY_VERIFY(!window.findChild<QLabel *>("lbVersion")->text().isEmpty());

        std::vector<Bytes> queries;
        for (const Bytes &report : sim::received(sim::ReportKind::FeatureSend))
            if (report[1] == 0x0B)
                queries.push_back(report);
        const std::vector<Bytes> expected = {queryReport(0), queryReport(1), queryReport(2), queryReport(10),
                                             queryReport(9)};
        QCOMPARE(queries, expected);

        // Each read follows its query, asking for 21 bytes for the LED chunks.
        std::vector<std::size_t> readLengths;
        for (const Bytes &read : sim::received(sim::ReportKind::FeatureGet)) {
            QCOMPARE(read[0], std::uint8_t(0x02));
            readLengths.push_back(read.size());
        }
        QCOMPARE(readLengths, (std::vector<std::size_t>{21, 21, 21, 20, 20}));
        QVERIFY(answerer.messages().isEmpty());
        QVERIFY(sim::violations().empty());
    }

    void versionLine_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");

        QTest::newRow("1.0.3") << "1.0.3" << "Firmware Version:1.0.3";
        QTest::newRow("19 characters, no zero byte: cut at byte 19")
            << "2.10.7-beta-build17-extra" << "Firmware Version:2.10.7-beta-build17";
    }

    void versionLine()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        sim::setVersion(stored.toStdString());
        ModalAnswerer answerer;
        MainWindow window;
        QTRY_COMPARE(window.findChild<QLabel *>("lbVersion")->text(), shown);
        QVERIFY(answerer.messages().isEmpty());
    }

    void versionText_data()
    {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<int>("bytesRead");
        QTest::addColumn<QString>("text");

        const QByteArray full = QByteArray("\x02") + QByteArray("0123456789abcdefghi") + QByteArray("XYZ");
        QTest::newRow("ends at the first zero") << QByteArray("\x02" "1.0.3\0\0\0x", 10) << 20 << "1.0.3";
        QTest::newRow("no zero: bytes 1-19 only") << full << 22 << "0123456789abcdefghi";
        QTest::newRow("short read: only what arrived") << full << 6 << "01234";
        QTest::newRow("nothing read") << full << 0 << "";
        QTest::newRow("failed read") << full << -1 << "";
        QTest::newRow("an escape sequence: escaped") << QByteArray("\x02\x1b[2J1.0\0", 9) << 20 << "\\u001B[2J1.0";
        QTest::newRow("a newline and a bidi override: escaped") << QByteArray("\x02" "a\nb\xe2\x80\xae") << 20
                                                                << "a\\u000Ab\\u202E";
        QTest::newRow("invalid UTF-8: shown as such") << QByteArray("\x02" "1.\xff") << 20 << QStringLiteral("1.\uFFFD");
    }

    void versionText()
    {
        QFETCH(QByteArray, response);
        QFETCH(int, bytesRead);
        QFETCH(QString, text);
        QCOMPARE(vorla::versionText(reinterpret_cast<const std::uint8_t *>(response.constData()), bytesRead), text);
    }

    // Any failed query ends the program before a single setting is shown.
    void failedQuery_data()
    {
        QTest::addColumn<int>("failingCall");
        const char *names[] = {"LED chunk 0", "LED chunk 1", "LED chunk 2", "paddle", "version"};
        for (int query = 0; query < 5; ++query) {
            QTest::addRow("%s query send", names[query]) << 2 * query + 1;
            QTest::addRow("%s query read", names[query]) << 2 * query + 2;
        }
    }

    void failedQuery()
    {
        QFETCH(int, failingCall);
        sim::failReport(failingCall);
        ModalAnswerer answerer;
        MainWindow window;
        QCOMPARE(runUntilQuit(), 0);
        QCOMPARE(answerer.messages(), QStringList{"Error/Can not read setting."});
        QCOMPARE(window.findChild<QPushButton *>("pbB1")->styleSheet(), QString(MainWindowForm::kLedButtonStyle));
        QCOMPARE(window.findChild<QLabel *>("lbVersion")->text(), QString());
        // Nothing was sent but the queries: no preview, no store.
        for (const Bytes &report : sim::received(sim::ReportKind::FeatureSend))
            QCOMPARE(report[1], std::uint8_t(0x0B));
        QVERIFY(sim::received(sim::ReportKind::Output).empty());
    }

    void secondInitRereads()
    {
        ModalAnswerer answerer;
        MainWindow window;
        auto *version = window.findChild<QLabel *>("lbVersion");
        QTRY_COMPARE(version->text(), QStringLiteral("Firmware Version:1.0.3"));
        sim::setVersion("1.1.0");
        QMetaObject::invokeMethod(&window, "onInit");
        QCOMPARE(version->text(), QStringLiteral("Firmware Version:1.1.0"));
        QCOMPARE(sim::openCount(), 2);
        QVERIFY(answerer.messages().isEmpty());
        QVERIFY(sim::violations().empty());
    }
};

QTEST_MAIN(InitTest)
#include "tst_init.moc"
