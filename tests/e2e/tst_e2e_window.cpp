// The program's window linked with the system's hidapi, on a wheel behind an
// emulated hidraw node: enumeration through udev, opening the node, feature
// reports as ioctls, LED reports written to the node, the node going away
// while the wheel restarts and a fresh one coming back. Each scenario checks
// the bytes that reached the wheel and what the window showed.
#include "E2eMain.h"
#include "E2eRecord.h"
#include "WheelBed.h"
#include "device/connection.h"
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

using namespace e2e;
using namespace wheeltest;

namespace {

// A stored block with a different colour on every button (and the same on
// the slots a button shares), so that a round trip through the buttons keeps it.
vorla::LedBlock storedBlock()
{
    vorla::LedBlock block{};
    for (int v = 0; v < 78; ++v) {
        const int button = firstSlotOf(kSlotButtons[v / 3]);
        setChannelLevel(block.data(), v, (button * (5 + 2 * (v % 3)) + v % 3 + 1) % 16);
    }
    block[53] = 0x5E;
    return block;
}

} // namespace

class E2eWindowTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<WheelBed> bed;
    std::unique_ptr<Session> s;

    QString sheetColour(const char *button) const
    {
        const QString sheet = s->child<QPushButton>(button)->styleSheet();
        const int at = sheet.indexOf(QLatin1String("rgb("));
        return sheet.mid(at, sheet.indexOf(QLatin1Char(')'), at) - at + 1);
    }

private slots:
    void initTestCase()
    {
        // Qt 5 quits when the last visible window, here a box, closes; a quit
        // that arrives after its event loop ended ends every later box at once.
        QGuiApplication::setQuitOnLastWindowClosed(false);
    }

    void init()
    {
        sim::reset();
        sim::setStoredLeds(storedBlock());
        sim::setStoredPaddle(77);
        sim::setVersion("2.4.1");
        bed = std::make_unique<WheelBed>();
        s = std::make_unique<Session>();
    }

    void cleanup()
    {
        s.reset();
        vorla::connection::close();
        bed.reset();
        verifyCleanEnd();
    }

    // Start-up read, an LED preview and store, a paddle preview and store.
    void readPreviewStore()
    {
        QCOMPARE(bed->nodePath(), QStringLiteral("/dev/hidraw0"));
        if (!s->started())
            return;
        QCOMPARE(sim::openCount(), 1);
        QCOMPARE(record(), startupRecord(77));
        QCOMPARE(s->child<QLabel>("lbVersion")->text(), QStringLiteral("Firmware Version:2.4.1"));
        QVERIFY(s->child<QCheckBox>("cbPaddle")->isChecked());
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 77);
        const vorla::LedBlock stored = storedBlock();
        for (int slot : {0, 12, 25}) {
            auto level = [&](int channel) { return kLevels[channelLevel(stored.data(), 3 * slot + channel)]; };
            QCOMPARE(sheetColour(kSlotButtons[slot]),
                     QStringLiteral("rgb(%1,%2,%3)").arg(level(0)).arg(level(1)).arg(level(2)));
        }

        // pbB1 (slot 0) picked red: previewed at levels 15, 0, 0, then stored.
        vorla::LedBlock shown = stored;
        for (int channel = 0; channel < 3; ++channel)
            setChannelLevel(shown.data(), channel, channel == 0 ? 15 : 0);
        shown[53] = 0xFF;
        sim::clearReceived();
        s->answerer.chooseColor(Qt::red);
        s->child<QPushButton>("pbB1")->click();
        QCOMPARE(record(), ledRecord(shown));
        QCOMPARE(hex(sim::shownLeds()), hex(shown));
        QCOMPARE(hex(sim::storedLeds()), hex(stored));

        vorla::LedBlock saved = shown;
        saved[53] = 0x5E;
        sim::clearReceived();
        s->child<QPushButton>("pbSave")->click();
        // The store, then the block read back as at start-up.
        QCOMPARE(record(), ledRecord(saved) + startupRecord(-1).mid(0, 6));
        QCOMPARE(hex(sim::storedLeds()), hex(saved));
        QCOMPARE(s->answerer.messages(), QStringList{"Success/LED colors saved."});

        sim::clearReceived();
        s->child<QSlider>("hsBite")->setValue(80);
        s->child<QPushButton>("pbSaveP")->click();
        QCOMPARE(record(), (QStringList{"set " + report({0x02, 0x0A, 80}), "set " + report({0x02, 0x0A, 80, 0xEF}),
                                        "set " + report({0x02, 0x0B, 10}), "get " + report({0x02})}));
        QCOMPARE(int(sim::storedPaddle()), 80);
        QCOMPARE(s->answerer.messages().last(), QStringLiteral("Success/Paddle status saved."));
        QCOMPARE(sim::openCount(), 1);
    }

    // A whole upload: every data report through the node, the finish, the
    // node gone while the wheel restarts, a fresh node found and read again.
    void firmwareUploadAndRestart()
    {
        sim::setRebootDuration(std::chrono::milliseconds(400));
        QTemporaryDir dir;
        QByteArray image(1000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 37 + 11) % 251 + 1);
        image.replace(500, 15, QByteArray("VORLA-FW:9.9.9", 15)); // its zero ends the version
        QFile file(dir.filePath("fw.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();
        if (!s->started())
            return;
        s->window->upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(50));
        bool nodeGone = false;
        QTimer watch;
        connect(&watch, &QTimer::timeout, [&] { nodeGone = nodeGone || !bed->plugged(); });
        watch.start(20);

        sim::clearReceived();
        s->answerer.chooseQuestionButton(QMessageBox::Yes);
        s->child<QLineEdit>("lePath")->setText(file.fileName());
        s->child<QPushButton>("pbUpgrade")->click();
        QTRY_VERIFY_WITH_TIMEOUT(s->child<QLabel>("lbVersion")->text() == QStringLiteral("Firmware Version:9.9.9"), 10000);

        QStringList expected;
        Bytes bytes(20, 0);
        for (int chunk = 0; chunk * 16 < image.size(); ++chunk) {
            // One report buffer for all: a short last chunk leaves the bytes
            // of the one before behind its data.
            const int length = std::min(16, int(image.size()) - chunk * 16);
            bytes[0] = 0x02;
            bytes[1] = std::uint8_t(0x80 | chunk >> 8);
            bytes[2] = std::uint8_t(chunk);
            bytes[3] = std::uint8_t(length);
            std::copy(image.begin() + chunk * 16, image.begin() + chunk * 16 + length, bytes.begin() + 4);
            expected << "set " + hex(bytes);
        }
        bytes[1] = 0x10;
        expected << "set " + hex(bytes);
        expected << startupRecord(-1); // the slider already stands at 77
        QCOMPARE(record(), expected);
        QVERIFY(sim::firmwareImage() == Bytes(image.begin(), image.end()));
        QCOMPARE(sim::firmwareWrites(), 1);
        QVERIFY(nodeGone);
        QCOMPARE(bed->nodePath(), QStringLiteral("/dev/hidraw1"));
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(s->answerer.messages().mid(1), QStringList{"Notify/Upgrade firmware done."});
        QVERIFY(s->answerer.messages().first().startsWith("Upgrade firmware/"));
        QVERIFY(s->child<QPushButton>("pbSave")->isEnabled());
    }

    // The wheel pulled out and plugged back in while the window is idle: udev's
    // remove and add events, not a report, tell the window; it waits with its
    // controls locked, then opens the new node and reads it afresh.
    void unplugAndReplug()
    {
        if (!s->started())
            return;
        s->window->show();
        auto *banner = s->child<QWidget>("disconnectedBanner");
        auto *save = s->child<QPushButton>("pbSave");
        sim::clearReceived();
        bed->unplug();
        QTRY_VERIFY(banner->isVisible() && !save->isEnabled() && !vorla::connection::isOpen());
        QVERIFY(sim::received().empty());

        sim::setStoredPaddle(33);
        sim::setVersion("2.5.0");
        bed->replug();
        QTRY_VERIFY_WITH_TIMEOUT(!banner->isVisible() && save->isEnabled(), 5000);
        QCOMPARE(bed->nodePath(), QStringLiteral("/dev/hidraw1"));
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(record(), startupRecord(33));
        QCOMPARE(s->child<QLabel>("lbVersion")->text(), QStringLiteral("Firmware Version:2.5.0"));
        save->click();
        QCOMPARE(s->answerer.messages(), QStringList{"Success/LED colors saved."});
        QCOMPARE(hex(sim::storedLeds()), hex(storedBlock()));
    }

    // No wheel: enumeration finds nothing, not even the node of a wheel that
    // was there and left.
    void noWheel()
    {
        bed->unplug();
        s.reset();
        ModalAnswerer answerer;
        MainWindow window;
        QCOMPARE(runUntilQuit(), 0);
        QCOMPARE(answerer.messages(), QStringList{"Error/No device."});
        QCOMPARE(answerer.boxes().first().kind, QStringLiteral("critical"));
        QCOMPARE(sim::openCount(), 0);
        QVERIFY(sim::received().empty());
    }

    // Reports that fail at the node: a start-up read, an LED store stopped at
    // its lost chunk, a paddle store on a node pulled out from under the handle.
    void failedReports()
    {
        {
            s.reset();
            sim::failReport(2); // the first LED chunk's read
            ModalAnswerer answerer;
            MainWindow window;
            QCOMPARE(runUntilQuit(), 0);
            QCOMPARE(answerer.messages(), QStringList{"Error/Can not read setting."});
            QCOMPARE(record(), (QStringList{"set " + report({0x02, 0x0B, 0}), "!get " + report({0x02}, 21)}));
            QVERIFY(!vorla::connection::isOpen());
        }

        sim::failReport(-1);
        s = std::make_unique<Session>();
        if (!s->started())
            return;
        QCOMPARE(sim::openCount(), 2);
        int seen = int(sim::received().size());
        sim::failReport(seen + 2); // the store's second chunk
        s->child<QPushButton>("pbSave")->click();
        QCOMPARE(s->answerer.messages(), QStringList{"Error/Can not save setting."});
        QStringList expected = ledRecord(storedBlock()).mid(0, 2);
        expected[1].prepend(QLatin1Char('!'));
        QCOMPARE(record().mid(seen), expected);
        QCOMPARE(hex(sim::storedLeds()), hex(storedBlock()));

        bed->unplug();
        seen = int(sim::received().size());
        s->child<QPushButton>("pbSaveP")->click();
        QCOMPARE(s->answerer.messages().last(), QStringLiteral("Error/Can not save setting."));
        QCOMPARE(record().mid(seen), QStringList{"!set " + report({0x02, 0x0A, 77, 0xEF})});
        QCOMPARE(int(sim::storedPaddle()), 77);
    }
};

VORLA_E2E_MAIN(QApplication, E2eWindowTest)

#include "tst_e2e_window.moc"
