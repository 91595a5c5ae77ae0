// The LED page against the simulated wheel: colours shown at start-up, colours
// picked with the colour dialog and previewed at once, colours stored with
// "Save Setting", and the round trip wheel -> buttons -> wheel that must not
// change a single level.
#include "app/MainWindow.h"
#include "app/forms/MainWindowForm.h"
#include "device/leds.h"
#include "sim/SimWheel.h"
#include "support/ModalAnswerer.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSlider>
#include <QtTest>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using vorla::LedBlock;
using Levels = std::array<int, 78>; // the block's 78 channel values, 3 per slot

// Which button shows each LED slot of the wheel.
const char *const kSlotButtons[26] = {
    "pbB1",  "pbB9",  "pbB2",  "pbB10", "pbB3",  "pbB11", "pbB4",  "pbB12", "pbB5",
    "pbB13", "pbB6",  "pbB14", "pbD13", "pbD23", "pbD13", "pbD23", "pbD13", "pbD23",
    "pbD16", "pbD26", "pbD16", "pbD26", "pbD16", "pbD26", "pbD3",  "pbD4",
};

const char *const kButtons[18] = {"pbB1",  "pbB2",  "pbB3",  "pbB4",  "pbB5",  "pbB6",
                                  "pbB9",  "pbB10", "pbB11", "pbB12", "pbB13", "pbB14",
                                  "pbD3",  "pbD4",  "pbD13", "pbD16", "pbD23", "pbD26"};

const int kLevels[16] = {0, 4, 9, 17, 28, 39, 53, 69, 86, 106, 126, 149, 173, 199, 226, 255};

int nearestLevel(int channel)
{
    int best = 0;
    for (int level = 0; level < 16; ++level)
        if (std::abs(kLevels[level] - channel) < std::abs(kLevels[best] - channel))
            best = level;
    return best;
}

QList<int> slotsOf(const QString &button)
{
    QList<int> owned;
    for (int slot = 0; slot < 26; ++slot)
        if (button == QLatin1String(kSlotButtons[slot]))
            owned << slot;
    return owned;
}

Levels levelsOf(const LedBlock &block)
{
    Levels levels{};
    for (int v = 0; v < 78; ++v)
        levels[v] = v % 2 ? block[v / 2] >> 4 : block[v / 2] & 0x0F;
    return levels;
}

LedBlock blockOf(const Levels &levels, std::uint8_t commit)
{
    LedBlock block{};
    for (int v = 0; v < 78; ++v)
        block[v / 2] |= std::uint8_t(v % 2 ? levels[v] << 4 : levels[v]);
    block[53] = commit;
    return block;
}

void setSlot(Levels &levels, int slot, int red, int green, int blue)
{
    levels[3 * slot] = red;
    levels[3 * slot + 1] = green;
    levels[3 * slot + 2] = blue;
}

QColor slotColour(const Levels &levels, int slot)
{
    return QColor(kLevels[levels[3 * slot]], kLevels[levels[3 * slot + 1]], kLevels[levels[3 * slot + 2]]);
}

// One colour per button (as levels), spread over the slots the button shows.
Levels levelsPerButton(const std::array<std::array<int, 3>, 18> &colours)
{
    Levels levels{};
    for (int slot = 0; slot < 26; ++slot)
        for (int b = 0; b < 18; ++b)
            if (QLatin1String(kButtons[b]) == QLatin1String(kSlotButtons[slot]))
                setSlot(levels, slot, colours[b][0], colours[b][1], colours[b][2]);
    return levels;
}

// The LED button style with its colour triple replaced: the triple sits right
// after "color:" and the two spaces that stood before the form's triple follow it.
QString sheetFor(const QColor &colour)
{
    const QString form = QString::fromUtf8(MainWindowForm::kLedButtonStyle);
    QString sheet = form;
    sheet.replace(QStringLiteral("color:  rgb(150,3,9);"),
                  QStringLiteral("color:rgb(%1,%2,%3);  ").arg(colour.red()).arg(colour.green()).arg(colour.blue()));
    return sheet == form ? QStringLiteral("<the form's LED style has changed>") : sheet;
}

QString hex(const LedBlock &block)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size())).toHex(' '));
}

} // namespace

class LedPageTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModalAnswerer> answerer;
    std::unique_ptr<MainWindow> window;

    void startWindow()
    {
        window.reset(new MainWindow);
        QTRY_VERIFY(!window->findChild<QLabel *>("lbVersion")->text().isEmpty());
    }

    QPushButton *button(const QString &name) const
    {
        QPushButton *b = window->findChild<QPushButton *>(name);
        if (!b)
            qFatal("no button %s", qPrintable(name));
        return b;
    }

    void pick(const QString &name, const QColor &colour)
    {
        answerer->chooseColor(colour);
        button(name)->click();
    }

    void save() { button(QStringLiteral("pbSave"))->click(); }

    int colourDialogs() const
    {
        int count = 0;
        for (const ModalAnswerer::Box &box : answerer->boxes())
            count += box.kind == QLatin1String("QColorDialog");
        return count;
    }

    QHash<QString, QString> sheets() const
    {
        QHash<QString, QString> all;
        for (const char *name : kButtons)
            all.insert(QLatin1String(name), button(QLatin1String(name))->styleSheet());
        return all;
    }

    // The block carried by the LED output reports sent since the start or the
    // last clearReceived(): exactly three, 20 bytes each, report id 3, chunk
    // numbers 0, 1, 2.
    void sentBlock(LedBlock &block)
    {
        const std::vector<Bytes> outputs = sim::received(sim::ReportKind::Output);
        QCOMPARE(outputs.size(), std::size_t(3));
        for (int chunk = 0; chunk < 3; ++chunk) {
            const Bytes &report = outputs[std::size_t(chunk)];
            QCOMPARE(report.size(), std::size_t(20));
            QCOMPARE(int(report[0]), 0x03);
            QCOMPARE(int(report[1]), chunk);
            std::copy(report.begin() + 2, report.end(), block.begin() + 18 * chunk);
        }
    }

private slots:
    void init()
    {
        sim::reset();
        answerer.reset(new ModalAnswerer);
    }

    void cleanup()
    {
        const std::vector<std::string> violations = sim::violations();
        window.reset();
        answerer.reset();
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(QString::fromLatin1(w->metaObject()->className()) + QLatin1Char(' ') + w->objectName()));
        for (const std::string &v : violations)
            QFAIL(v.c_str());
    }

    // ---- start-up ---------------------------------------------------------

    void startupShowsStoredColours_data()
    {
        QTest::addColumn<QByteArray>("stored");
        auto row = [](const char *name, const LedBlock &block) {
            QTest::newRow(name) << QByteArray(reinterpret_cast<const char *>(block.data()), 54);
        };
        row("factory colours", sim::defaultLedBlock());
        Levels every{};
        for (int v = 0; v < 78; ++v)
            every[v] = (v * 5) % 16;
        row("every level, three-slot buttons mixed", blockOf(every, 0x5E));
        row("all black", LedBlock{});
        Levels white;
        white.fill(15);
        row("all white", blockOf(white, 0x5E));
        Levels lowNibble{};
        setSlot(lowNibble, 0, 0, 15, 0); // byte 0 = 0xF0
        row("byte 0 = 0xF0: pbB1 red 0, green 255", blockOf(lowNibble, 0x5E));
    }

    // Each button shows its slot's colour through the level table; a
    // three-slot button shows its last slot.
    void startupShowsStoredColours()
    {
        QFETCH(QByteArray, stored);
        LedBlock block;
        std::copy(stored.begin(), stored.end(), block.begin());
        sim::setStoredLeds(block);
        startWindow();
        if (QTest::currentTestFailed())
            return;

        const Levels levels = levelsOf(block);
        QHash<QString, QColor> expected;
        for (int slot = 0; slot < 26; ++slot)
            expected[QLatin1String(kSlotButtons[slot])] = slotColour(levels, slot);
        QCOMPARE(expected.size(), 18);
        for (const char *name : kButtons)
            QCOMPARE(button(QLatin1String(name))->styleSheet(), sheetFor(expected.value(QLatin1String(name))));
        QVERIFY(sim::received(sim::ReportKind::Output).empty());
        QVERIFY(answerer->boxes().isEmpty());
    }

    void threeSlotButtonShowsLastSlot_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("last");
        QTest::newRow("pbD13: slots 12, 14, 16") << "pbD13" << 16;
        QTest::newRow("pbD23: slots 13, 15, 17") << "pbD23" << 17;
        QTest::newRow("pbD16: slots 18, 20, 22") << "pbD16" << 22;
        QTest::newRow("pbD26: slots 19, 21, 23") << "pbD26" << 23;
    }

    // Slots of one button that differ on the wheel: the button shows the last
    // of them, and a store writes that colour to all three.
    void threeSlotButtonShowsLastSlot()
    {
        QFETCH(QString, name);
        QFETCH(int, last);
        const QList<int> owned = slotsOf(name);
        QCOMPARE(owned.size(), 3);
        QCOMPARE(owned.last(), last);

        Levels levels = levelsOf(sim::defaultLedBlock());
        setSlot(levels, owned[0], 1, 2, 3);
        setSlot(levels, owned[1], 4, 5, 6);
        setSlot(levels, owned[2], 7, 8, 9);
        sim::setStoredLeds(blockOf(levels, 0x5E));
        startWindow();
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(button(name)->styleSheet(), sheetFor(QColor(kLevels[7], kLevels[8], kLevels[9])));

        save();
        QCOMPARE(answerer->messages(), QStringList{"Success/LED colors saved."});
        setSlot(levels, owned[0], 7, 8, 9);
        setSlot(levels, owned[1], 7, 8, 9);
        QCOMPARE(hex(sim::storedLeds()), hex(blockOf(levels, 0x5E)));
    }

    // ---- picking a colour -------------------------------------------------

    void pickPreviewsColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QColor>("colour");
        for (int i = 0; i < 18; ++i)
            QTest::newRow(kButtons[i]) << QString::fromLatin1(kButtons[i])
                                       << QColor((37 * i + 128) % 256, (91 * i + 5) % 256, (203 * i + 77) % 256);
    }

    // The clicked button takes the colour as picked; the wheel previews the
    // whole set at once, with the button's slots at the nearest levels and
    // every other slot as it was read.
    void pickPreviewsColour()
    {
        QFETCH(QString, name);
        QFETCH(QColor, colour);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const LedBlock stored = sim::storedLeds();
        QHash<QString, QString> before = sheets();

        pick(name, colour);

        QCOMPARE(colourDialogs(), 1);
        QVERIFY(answerer->messages().isEmpty());
        QCOMPARE(button(name)->styleSheet(), sheetFor(colour));
        before[name] = sheetFor(colour);
        QCOMPARE(sheets(), before);

        Levels levels = levelsOf(stored);
        for (int slot : slotsOf(name))
            setSlot(levels, slot, nearestLevel(colour.red()), nearestLevel(colour.green()), nearestLevel(colour.blue()));
        const LedBlock expected = blockOf(levels, 0xFF);
        LedBlock sent{};
        sentBlock(sent);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(hex(sent), hex(expected));
        QCOMPARE(hex(sim::shownLeds()), hex(expected));
        QCOMPARE(hex(sim::storedLeds()), hex(stored));
    }

    // Red 255, green 128, blue 0 on pbB1: green goes to level 10 (126), not
    // to its high nibble; stored and read back it shows as 126.
    void pickSaveAndReadBack()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        pick(QStringLiteral("pbB1"), QColor(255, 128, 0));
        LedBlock preview{};
        sentBlock(preview);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(int(preview[0]), 0xAF);
        QCOMPARE(int(preview[1] & 0x0F), 0);
        QCOMPARE(int(preview[53]), 0xFF);

        sim::clearReceived();
        save();
        QCOMPARE(answerer->messages(), QStringList{"Success/LED colors saved."});
        QCOMPARE(answerer->boxes().last().kind, QStringLiteral("information"));
        LedBlock stored{};
        sentBlock(stored);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(int(stored[53]), 0x5E);
        for (int i = 39; i < 53; ++i)
            QVERIFY2(stored[i] == 0, qPrintable(QStringLiteral("byte %1").arg(i)));
        QCOMPARE(hex(sim::storedLeds()), hex(stored));
        QCOMPARE(int(sim::storedLeds()[0]), 0xAF);

        QMetaObject::invokeMethod(window.get(), "onInit");
        QCOMPARE(sim::openCount(), 2);
        QCOMPARE(button(QStringLiteral("pbB1"))->styleSheet(), sheetFor(QColor(255, 126, 0)));
    }

    void cancelledDialogChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pickedBefore");
        QTest::newRow("pbB3, colour as read") << "pbB3" << false;
        QTest::newRow("pbD16, colour as read") << "pbD16" << false;
        QTest::newRow("pbB3, colour picked before") << "pbB3" << true;
        QTest::newRow("pbD4, colour picked before") << "pbD4" << true;
    }

    void cancelledDialogChangesNothing()
    {
        QFETCH(QString, name);
        QFETCH(bool, pickedBefore);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        if (pickedBefore)
            pick(name, QColor(10, 200, 90));
        const QHash<QString, QString> before = sheets();
        const LedBlock shown = sim::shownLeds();
        const std::size_t outputs = sim::received(sim::ReportKind::Output).size();

        answerer->cancelDialogs();
        button(name)->click();

        QCOMPARE(colourDialogs(), pickedBefore ? 2 : 1);
        QVERIFY(answerer->messages().isEmpty());
        QCOMPARE(sheets(), before);
        QCOMPARE(sim::received(sim::ReportKind::Output).size(), outputs);
        QCOMPARE(hex(sim::shownLeds()), hex(shown));
    }

    // ---- the style sheet as the colour's home -----------------------------

    // Many changes in a row, with one to three digits per channel: the sheet
    // keeps the form's shape, and what the wheel previews is the colour last
    // written into it.
    void sheetKeepsItsShape()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const QList<QColor> colours = {QColor(0, 0, 0),      QColor(255, 255, 255), QColor(1, 22, 255),
                                       QColor(100, 10, 1),   QColor(9, 99, 199),    QColor(200, 60, 100),
                                       QColor(255, 0, 128),  QColor(2, 2, 2),       QColor(137, 138, 161),
                                       QColor(96, 116, 186), QColor(3, 13, 61),     QColor(254, 240, 241)};
        const QHash<QString, QString> before = sheets();
        int round = 0;
        for (const QString &name : {QStringLiteral("pbB5"), QStringLiteral("pbD26")}) {
            for (const QColor &colour : colours) {
                ++round;
                sim::clearReceived();
                pick(name, colour);
                QCOMPARE(button(name)->styleSheet(), sheetFor(colour));
                LedBlock shown{};
                sentBlock(shown);
                if (QTest::currentTestFailed())
                    return;
                const Levels levels = levelsOf(shown);
                for (int slot : slotsOf(name)) {
                    QCOMPARE(levels[3 * slot], nearestLevel(colour.red()));
                    QCOMPARE(levels[3 * slot + 1], nearestLevel(colour.green()));
                    QCOMPARE(levels[3 * slot + 2], nearestLevel(colour.blue()));
                }
            }
        }
        QCOMPARE(colourDialogs(), round);
        // Every other button kept its sheet through all of it.
        QHash<QString, QString> now = sheets();
        now.remove(QStringLiteral("pbB5"));
        now.remove(QStringLiteral("pbD26"));
        QHash<QString, QString> others = before;
        others.remove(QStringLiteral("pbB5"));
        others.remove(QStringLiteral("pbD26"));
        QCOMPARE(now, others);
    }

    // ---- storing and the round trip ---------------------------------------

    void roundTripKeepsEveryLevel_data()
    {
        QTest::addColumn<QByteArray>("stored");
        auto row = [](const QString &name, const Levels &levels) {
            const LedBlock block = blockOf(levels, 0x5E);
            QTest::newRow(qPrintable(name)) << QByteArray(reinterpret_cast<const char *>(block.data()), 54);
        };
        row(QStringLiteral("factory colours"), levelsOf(sim::defaultLedBlock()));
        std::array<std::array<int, 3>, 18> colours{};
        for (int b = 0; b < 18; ++b)
            colours[b] = {(3 * b) % 16, (3 * b + 1) % 16, (3 * b + 2) % 16}; // all 16 levels appear
        row(QStringLiteral("every level"), levelsPerButton(colours));
        for (quint32 seed = 1; seed <= 3; ++seed) {
            QRandomGenerator random(seed);
            for (auto &c : colours)
                c = {int(random.bounded(16)), int(random.bounded(16)), int(random.bounded(16))};
            row(QStringLiteral("random colours %1").arg(seed), levelsPerButton(colours));
        }
        Levels black{};
        row(QStringLiteral("all black"), black);
        Levels white;
        white.fill(15);
        row(QStringLiteral("all white"), white);
    }

    // Read, save, read again, save again ...: the wheel keeps exactly what it
    // held, and the buttons keep exactly what they showed.
    void roundTripKeepsEveryLevel()
    {
        QFETCH(QByteArray, stored);
        LedBlock block;
        std::copy(stored.begin(), stored.end(), block.begin());
        sim::setStoredLeds(block);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const QHash<QString, QString> shown = sheets();

        for (int round = 1; round <= 5; ++round) {
            sim::clearReceived();
            save();
            QCOMPARE(answerer->messages().size(), round);
            QCOMPARE(answerer->messages().last(), QStringLiteral("Success/LED colors saved."));
            LedBlock sent{};
            sentBlock(sent);
            if (QTest::currentTestFailed())
                return;
            QCOMPARE(hex(sent), hex(block));
            QCOMPARE(hex(sim::storedLeds()), hex(block));

            QMetaObject::invokeMethod(window.get(), "onInit");
            QCOMPARE(sheets(), shown);
        }
    }

    // ---- failures ---------------------------------------------------------

    void failedStore_data()
    {
        QTest::addColumn<int>("lostChunk");
        QTest::newRow("chunk 0 lost") << 0;
        QTest::newRow("chunk 1 lost") << 1;
        QTest::newRow("chunk 2 lost") << 2;
    }

    // One of the three reports of a store does not go through: an error box,
    // no chunk after the lost one, and the wheel keeps the colours it had
    // stored; the next store goes through whole.
    void failedStore()
    {
        QFETCH(int, lostChunk);
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const LedBlock before = sim::storedLeds();
        pick(QStringLiteral("pbB2"), QColor(255, 255, 255)); // a store would change slot 2
        LedBlock preview{};
        sentBlock(preview);
        if (QTest::currentTestFailed())
            return;
        LedBlock wanted = preview;
        wanted[53] = 0x5E;
        QVERIFY(hex(wanted) != hex(before));

        sim::failReport(int(sim::received().size()) + 1 + lostChunk);
        save();
        QCOMPARE(answerer->messages(), QStringList{"Error/Can not save setting."});
        QCOMPARE(answerer->boxes().last().kind, QStringLiteral("critical"));
        QCOMPARE(sim::received(sim::ReportKind::Output).size(), std::size_t(3 + lostChunk + 1));
        QCOMPARE(hex(sim::storedLeds()), hex(before));

        save();
        QCOMPARE(answerer->messages().last(), QStringLiteral("Success/LED colors saved."));
        QCOMPARE(hex(sim::storedLeds()), hex(wanted));
    }

    // A preview that does not go through is not reported; the button still
    // shows the picked colour and nothing is stored.
    void failedPreviewIsSilent()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        const LedBlock stored = sim::storedLeds();
        sim::failReport(int(sim::received().size()) + 1, true);
        pick(QStringLiteral("pbB14"), QColor(17, 28, 39));
        QCOMPARE(colourDialogs(), 1);
        QVERIFY(answerer->messages().isEmpty());
        QCOMPARE(button(QStringLiteral("pbB14"))->styleSheet(), sheetFor(QColor(17, 28, 39)));
        QCOMPARE(hex(sim::storedLeds()), hex(stored));
    }

    // ---- end to end -------------------------------------------------------

    // Colours and the paddle setting stored, then changed on screen without
    // storing; the next start-up read shows what the wheel stored.
    void storedSettingsShownAfterRestart()
    {
        startWindow();
        if (QTest::currentTestFailed())
            return;
        auto *paddle = window->findChild<QCheckBox *>("cbPaddle");
        auto *bite = window->findChild<QSlider *>("hsBite");
        QVERIFY(paddle && bite);

        pick(QStringLiteral("pbB9"), QColor(30, 60, 90));
        pick(QStringLiteral("pbD13"), QColor(250, 5, 140));
        pick(QStringLiteral("pbD4"), QColor(0, 0, 0));
        save();
        paddle->setChecked(true);
        bite->setValue(42);
        window->findChild<QPushButton *>("pbSaveP")->click();
        QCOMPARE(answerer->messages(), (QStringList{"Success/LED colors saved.", "Success/Paddle status saved."}));
        QCOMPARE(int(sim::storedPaddle()), 42);

        pick(QStringLiteral("pbB9"), QColor(255, 255, 255));
        pick(QStringLiteral("pbD13"), QColor(255, 255, 255));
        bite->setValue(90);
        paddle->setChecked(false);
        QCOMPARE(int(sim::shownPaddle()), 90);

        QMetaObject::invokeMethod(window.get(), "onInit");
        QCOMPARE(sim::openCount(), 2);
        auto reduced = [](int r, int g, int b) {
            return QColor(kLevels[nearestLevel(r)], kLevels[nearestLevel(g)], kLevels[nearestLevel(b)]);
        };
        QCOMPARE(button(QStringLiteral("pbB9"))->styleSheet(), sheetFor(reduced(30, 60, 90)));
        QCOMPARE(button(QStringLiteral("pbD13"))->styleSheet(), sheetFor(reduced(250, 5, 140)));
        QCOMPARE(button(QStringLiteral("pbD4"))->styleSheet(), sheetFor(QColor(0, 0, 0)));
        QVERIFY(paddle->isChecked());
        QCOMPARE(bite->value(), 42);
        QCOMPARE(answerer->messages().size(), 2);
    }
};

QTEST_MAIN(LedPageTest)
#include "tst_ledpage.moc"
