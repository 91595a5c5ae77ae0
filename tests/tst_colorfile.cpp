// The LED page's context menu: "Import colours…" previews a profile's colours
// like a pick and "Save Setting" stores them; a broken file is refused with
// its message and changes nothing; "Export colours…" writes what the page
// shows. And what the command line stores, the window shows at its start.
#include "profile/profile.h"
#include "support/CommandRun.h"
#include "support/WheelTest.h"

#include <QCheckBox>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace wheeltest;
using vorla::LedBlock;

namespace {

const QString kExport = QStringLiteral("Export colours\u2026");
const QString kImport = QStringLiteral("Import colours\u2026");

QColor profileColour(int slot)
{
    return QColor(slot * 10, 250 - slot * 3, (slot * 37) % 256);
}

// Every slot its own colour, off the wheel's levels; bite point 10.
QByteArray profileText()
{
    QByteArray text = "{\"format\": 1, \"paddle\": {\"combined\": true, \"bitePoint\": 10}, \"leds\": [\n";
    for (int k = 0; k < 26; ++k)
        text += "{\"slot\": " + QByteArray::number(k) + ", \"color\": \"" + profileColour(k).name().toUtf8() + "\"}"
            + (k < 25 ? ",\n" : "\n");
    return text + "]}\n";
}

// The block the page sends after importing profileText().
LedBlock importedBlock(std::uint8_t commit)
{
    LedBlock block{};
    for (int k = 0; k < 26; ++k) {
        const QColor c = profileColour(lastSlotOf(kSlotButtons[k]));
        const int channels[3] = {c.red(), c.green(), c.blue()};
        for (int i = 0; i < 3; ++i)
            setChannelLevel(block.data(), 3 * k + i, nearestLevel(channels[i]));
    }
    block[53] = commit;
    return block;
}

QString tripleOf(const QColor &c)
{
    return QStringLiteral("color:rgb(%1,%2,%3);").arg(c.red()).arg(c.green()).arg(c.blue());
}

} // namespace

class ColorFileTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Session> s;
    QTemporaryDir dir;

    QPushButton *button(const char *name) const { return s->child<QPushButton>(name); }

    QStringList sheets() const
    {
        QStringList all;
        for (const char *name : kSlotButtons)
            all << button(name)->styleSheet();
        return all;
    }

    QString writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size() ? file.fileName()
                                                                                                        : QString();
    }

    // A right click on `target` of the LED page, answered with `entry` and `file`.
    void useMenu(QWidget *target, const QString &entry, const QString &file)
    {
        s->answerer.chooseMenuEntry(entry);
        s->answerer.chooseFile(file);
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
        QApplication::sendEvent(target, &event);
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        sim::reset();
        s.reset(new Session);
    }

    void cleanup()
    {
        s.reset();
        verifyCleanEnd();
    }

    void importPreviewsThenSaveStores_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("on the page") << "page2";
        QTest::newRow("on an LED button") << "pbD16";
        QTest::newRow("on the wheel's picture") << "lbMainRGB";
    }

    // Each button shows its slot's colour as written (a three-slot button its
    // last slot's), the wheel previews them at the nearest levels and stores
    // nothing until "Save Setting"; the paddles are left alone.
    void importPreviewsThenSaveStores()
    {
        QFETCH(QString, target);
        const QString file = writeFile(QStringLiteral("theme.json"), profileText());
        QVERIFY(!file.isEmpty());
        if (!s->started())
            return;
        const LedBlock stored = sim::storedLeds();
        sim::clearReceived();

        useMenu(s->child<QWidget>(qPrintable(target)), kImport, file);
        QCOMPARE(s->answerer.boxes().size(), 2);
        QCOMPARE(s->answerer.boxes().at(0).kind, QStringLiteral("QMenu"));
        QCOMPARE(s->answerer.boxes().at(0).text, kExport + QLatin1Char('|') + kImport);
        QCOMPARE(s->answerer.boxes().at(1).kind, QStringLiteral("QFileDialog"));
        for (const char *name : kSlotButtons)
            QVERIFY2(button(name)->styleSheet().contains(tripleOf(profileColour(lastSlotOf(name)))), name);
        QCOMPARE(hex(sim::shownLeds()), hex(importedBlock(0xFF)));
        QCOMPARE(hex(sim::storedLeds()), hex(stored));
        QCOMPARE(sim::received(sim::ReportKind::Output).size(), std::size_t(3));
        QVERIFY(featureReports(0x0A).empty());
        QCOMPARE(int(sim::storedPaddle()), int(sim::kDefaultPaddle));

        button("pbSave")->click();
        QCOMPARE(s->answerer.messages(), QStringList{"Success/LED colors saved."});
        QCOMPARE(hex(sim::storedLeds()), hex(importedBlock(0x5E)));
    }

    void importRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error"); // after "FILE: "
        QByteArray wrongColour = profileText();
        wrongColour.replace("\"#00fa00\"", "\"#00fz00\"");
        QVERIFY(wrongColour != profileText());
        QTest::newRow("a colour not in hex") << wrongColour << "leds[0].color: must be a colour written #RRGGBB, not \"#00fz00\"";
        QByteArray lastMissing = profileText();
        lastMissing.replace(lastMissing.lastIndexOf(",\n{"), 1000, "]}");
        QTest::newRow("25 entries") << lastMissing << "leds: has 25 entries; a profile has one for each of the 26 LED slots";
        QTest::newRow("not JSON") << QByteArray("colours") << "not valid JSON at line 1, column 1: illegal value";
        // What the file says is shown escaped and cut, never as it stands.
        const auto withColour = [](const QByteArray &colour) { return QByteArray(profileText()).replace("\"#00fa00\"", colour); };
        QTest::newRow("escape sequences") << withColour("\"\\u001b]0;owned\\u0007\\u001b[2J\"")
                                          << "leds[0].color: must be a colour written #RRGGBB, not \"\\u001B]0;owned\\u0007\\u001B[2J\"";
        QTest::newRow("a raw newline") << withColour("\"#00f\na00\"")
                                       << "not valid JSON at line 2, column 27: a raw control character \\u000A inside a string";
        QTest::newRow("invalid UTF-8") << withColour("\"#00f\xff\"")
                                       << "not valid JSON at line 2, column 26: invalid UTF8 string";
        QTest::newRow("a very long value") << withColour("\"" + QByteArray(10000, 'f') + "\"")
                                           << "leds[0].color: must be a colour written #RRGGBB, not \"" + QString(40, QLatin1Char('f')) + "...\"";
        QTest::newRow("an unknown field carrying escapes") << withColour("\"#00fa00\", \"\\u0000\\u001b[2J\": 1")
                                                           << "leds[0].\\u0000\\u001B[2J: unknown field";
    }

    // An "Error" box with the file, field and reason; nothing changes, nothing is sent.
    void importRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        const QString file = writeFile(QStringLiteral("broken.json"), text);
        QVERIFY(!file.isEmpty());
        if (!s->started())
            return;
        const QStringList before = sheets();
        sim::clearReceived();

        useMenu(s->child<QWidget>("page2"), kImport, file);
        QCOMPARE(s->answerer.messages(), QStringList{QStringLiteral("Error/") + file + QStringLiteral(": ") + error});
        QCOMPARE(s->answerer.boxes().last().kind, QStringLiteral("critical"));
        QCOMPARE(sheets(), before);
        QVERIFY(sim::received().empty());
    }

    // A cancelled dialog, a menu closed without a choice, or an import while
    // the page may not send (a firmware transfer): nothing happens.
    void nothingChosen()
    {
        if (!s->started())
            return;
        const QStringList before = sheets();
        sim::clearReceived();
        useMenu(s->child<QWidget>("page2"), kImport, QString());
        useMenu(s->child<QWidget>("page2"), QString(), QString());
        s->window->wheelSession().beginTransfer();
        useMenu(s->child<QWidget>("page2"), kImport, writeFile(QStringLiteral("theme.json"), profileText()));
        s->window->wheelSession().transferAbandoned();
        QStringList kinds;
        for (const ModalAnswerer::Box &box : s->answerer.boxes())
            kinds << box.kind;
        QCOMPARE(kinds, (QStringList{"QMenu", "QFileDialog", "QMenu", "QMenu"}));
        QCOMPARE(s->answerer.boxes().last().text, kExport + QLatin1Char('|') + kImport + QStringLiteral(" (disabled)"));
        QCOMPARE(sheets(), before);
        QVERIFY(sim::received().empty());
    }

    // The export holds what the page shows, an unsaved pick included, and the
    // paddle page's setting; importing it elsewhere and saving stores what
    // saving here would have.
    void exportThenImport()
    {
        if (!s->started())
            return;
        s->answerer.chooseColor(QColor(200, 100, 50));
        button("pbD23")->click();
        const QString file = dir.filePath(QStringLiteral("export.json"));
        useMenu(s->child<QWidget>("page2"), kExport, file);
        QVERIFY(s->answerer.messages().isEmpty());

        QString message;
        const std::optional<vorla::Profile> profile = vorla::readProfile(file, &message);
        QVERIFY2(profile, qPrintable(message));
        for (int k = 0; k < 26; ++k) {
            const vorla::Rgb c = profile->leds[k];
            QVERIFY2(button(kSlotButtons[k])->styleSheet().contains(tripleOf(QColor(c.red, c.green, c.blue))), kSlotButtons[k]);
        }
        QCOMPARE(vorla::colorText(profile->leds[13]), QStringLiteral("#C86432"));
        QCOMPARE(int(profile->paddle), int(sim::kDefaultPaddle));

        button("pbSave")->click();
        const LedBlock savedHere = sim::storedLeds();
        sim::reset();
        s.reset(new Session);
        if (!s->started())
            return;
        QVERIFY(hex(sim::storedLeds()) != hex(savedHere));
        useMenu(s->child<QWidget>("page2"), kImport, file);
        button("pbSave")->click();
        QCOMPARE(hex(sim::storedLeds()), hex(savedHere));
    }

    void storedByCommandShownAtStart()
    {
        const QString file = writeFile(QStringLiteral("theme.json"), profileText());
        QVERIFY(!file.isEmpty());
        QCOMPARE(runCommand({"--apply", file, "--store"}).status, 0);
        if (!s->started())
            return;
        for (const char *name : kSlotButtons) {
            const QColor c = profileColour(lastSlotOf(name));
            const QColor shown(kLevels[nearestLevel(c.red())], kLevels[nearestLevel(c.green())], kLevels[nearestLevel(c.blue())]);
            QVERIFY2(button(name)->styleSheet().contains(tripleOf(shown)), name);
        }
        QVERIFY(s->child<QCheckBox>("cbPaddle")->isChecked());
        QCOMPARE(s->child<QSlider>("hsBite")->value(), 10);
    }
};

QTEST_MAIN(ColorFileTest)
#include "tst_colorfile.moc"
