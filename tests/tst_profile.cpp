// Profile files: what the writer produces reads back unchanged, and the
// reader refuses every kind of broken file with the field and the reason,
// before anything reaches the wheel.
#include "profile/profile.h"
#include "sim/SimWheel.h"
#include "support/CommandRun.h"

#include <QTemporaryDir>
#include <QtTest>

using vorla::Profile;
using vorla::Rgb;

namespace {

// Colours off the level table, every slot different.
Profile sample()
{
    Profile profile;
    for (int k = 0; k < 26; ++k)
        profile.leds[k] = Rgb{std::uint8_t(k * 9), std::uint8_t(255 - k * 9), std::uint8_t(k * 5 + 1)};
    profile.paddle = 60;
    profile.firmware = QStringLiteral("1.0.3");
    return profile;
}

// A sample colour as "#RRGGBB".
QString hexColour(int slot)
{
    const Rgb c = sample().leds[slot];
    return QStringLiteral("#%1%2%3")
        .arg(c.red, 2, 16, QLatin1Char('0'))
        .arg(c.green, 2, 16, QLatin1Char('0'))
        .arg(c.blue, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// The line of slot `slot` in the sample's text, without its braces.
QString entry(int slot)
{
    return QStringLiteral("\"slot\": %1, \"button\": \"%2\", \"color\": \"%3\"")
        .arg(slot)
        .arg(QLatin1String(vorla::kLedSlotButtons[slot]), hexColour(slot));
}

// The sample's text with `from` replaced by `to`; an empty `from` stands for
// the whole text. Empty when `from` is not in the text, so that a row that
// changes nothing cannot pass.
QByteArray edited(const QString &from, const QString &to)
{
    if (from.isEmpty())
        return to.toUtf8();
    const QString text = QString::fromUtf8(vorla::profileToJson(sample()));
    if (!text.contains(from))
        return QByteArray();
    return QString(text).replace(from, to).toUtf8();
}

bool sameColours(const vorla::LedColors &a, const vorla::LedColors &b)
{
    return std::equal(a.begin(), a.end(), b.begin());
}

} // namespace

class ProfileTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(text) != text.size())
            return QString();
        return file.fileName();
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        sim::reset();
    }

    void writtenReadsBack_data()
    {
        QTest::addColumn<int>("paddle");
        QTest::addColumn<int>("readPaddle");
        QTest::addColumn<QString>("firmware");
        QTest::newRow("bite point 0") << 0 << 0 << QStringLiteral("1.0.3");
        QTest::newRow("bite point 100") << 100 << 100 << QStringLiteral("2.0");
        QTest::newRow("off as stored by the window") << 255 << 255 << QString();
        QTest::newRow("off as 101: read back as 255") << 101 << 255 << QString();
        QTest::newRow("version with quotes and non-ASCII") << 7 << 7 << QStringLiteral("v\"1\\2\" \u00e9");
    }

    // Every 8-bit colour value is kept, not only the wheel's levels.
    void writtenReadsBack()
    {
        QFETCH(int, paddle);
        QFETCH(int, readPaddle);
        QFETCH(QString, firmware);
        Profile profile = sample();
        profile.paddle = std::uint8_t(paddle);
        profile.firmware = firmware;
        for (int k = 0; k < 26; ++k)
            profile.leds[k] = Rgb{std::uint8_t(k * 10 + paddle), std::uint8_t(k * 7), std::uint8_t(255 - k)};

        vorla::ProfileError error;
        const std::optional<Profile> read = vorla::parseProfile(vorla::profileToJson(profile), &error);
        QVERIFY2(read, qPrintable(error.message(QStringLiteral("text"))));
        QVERIFY(sameColours(read->leds, profile.leds));
        QCOMPARE(int(read->paddle), readPaddle);
        QCOMPARE(read->firmware, firmware);
    }

    void accepted_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("paddle");
        QTest::addColumn<QString>("slot3");

        const QString sample3 = QStringLiteral("#1BE410"); // 27, 228, 16
        QVERIFY(entry(3).endsWith(QStringLiteral("\"color\": \"#1BE410\"")));
        QTest::newRow("as written") << QString() << QString() << 60 << sample3;
        QTest::newRow("lower-case colour") << entry(3) << QStringLiteral("\"slot\": 3, \"color\": \"#a0b1c2\"") << 60 << "#A0B1C2";
        QTest::newRow("no button, fields in another order")
            << entry(3) << QStringLiteral("\"color\": \"#000001\", \"slot\": 3") << 60 << "#000001";
        QTest::newRow("entries in another order")
            << QStringLiteral("{%1},\n        {%2}").arg(entry(3), entry(4))
            << QStringLiteral("{%2},\n        {%1}").arg(entry(3), entry(4)) << 60 << sample3;
        QTest::newRow("bite point 0") << "\"bitePoint\": 60" << "\"bitePoint\": 0" << 0 << sample3;
        QTest::newRow("bite point 1e2") << "\"bitePoint\": 60" << "\"bitePoint\": 1e2" << 100 << sample3;
        QTest::newRow("not combined, no bite point")
            << "\"combined\": true, \"bitePoint\": 60" << "\"combined\": false" << 255 << sample3;
        QTest::newRow("not combined, a bite point") << "\"combined\": true" << "\"combined\": false" << 255 << sample3;
        QTest::newRow("no firmware") << "\"firmware\": \"1.0.3\"," << QString() << 60 << sample3;
    }

    void accepted()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, paddle);
        QFETCH(QString, slot3);
        const QByteArray text = from.isEmpty() ? vorla::profileToJson(sample()) : edited(from, to);
        QVERIFY(!text.isEmpty());
        vorla::ProfileError error;
        const std::optional<Profile> read = vorla::parseProfile(text, &error);
        QVERIFY2(read, qPrintable(error.message(QStringLiteral("text"))));
        QCOMPARE(int(read->paddle), paddle);
        QCOMPARE(vorla::colorText(read->leds[3]), slot3);
        for (int k = 0; k < 26; ++k)
            QVERIFY(k == 3 || read->leds[k] == sample().leds[k]);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("from"); // empty: `to` is the whole file
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("reason");

        const QString led3 = QStringLiteral("{%1}").arg(entry(3));
        const auto in3 = [](const QString &what, const QString &with) { return entry(3).replace(what, with); };
        const QString colour3 = QLatin1Char('"') + hexColour(3) + QLatin1Char('"');

        QTest::newRow("empty file") << QString() << QString() << QString() << "not valid JSON at line 1, column 1: ";
        QTest::newRow("syntax error on line 3")
            << QString() << "{\n    \"format\": 1,\n    ]\n}" << QString() << "not valid JSON at line 3, column 5: ";
        QTest::newRow("a list at the top") << QString() << "[1]" << QString()
                                           << "not a profile: the file must hold one JSON object";

        QTest::newRow("format missing") << "\"format\": 1,\n" << QString() << "format" << "missing";
        QTest::newRow("format as text") << "\"format\": 1" << "\"format\": \"1\"" << "format"
                                        << "must be a whole number, not \"1\"";
        QTest::newRow("format 1.5") << "\"format\": 1" << "\"format\": 1.5" << "format" << "must be a whole number, not 1.5";
        QTest::newRow("format 2") << "\"format\": 1" << "\"format\": 2" << "format"
                                  << "unknown format version 2; this program reads format 1";
        QTest::newRow("unknown field") << "\"format\": 1," << "\"format\": 1, \"colours\": []," << "colours" << "unknown field";
        QTest::newRow("a field without a name") << "\"format\": 1," << "\"format\": 1, \"\": []," << "\"\"" << "unknown field";

        QTest::newRow("leds missing") << QString() << "{\"format\": 1, \"paddle\": {\"combined\": false}}" << "leds"
                                      << "missing";
        QTest::newRow("leds an object") << QString() << "{\"format\": 1, \"leds\": {}, \"paddle\": {\"combined\": false}}"
                                        << "leds" << "must be a list, not an object";
        QTest::newRow("25 entries") << QStringLiteral(",\n        {%1}").arg(entry(25)) << QString() << "leds"
                                    << "has 25 entries; a profile has one for each of the 26 LED slots";
        QTest::newRow("27 entries") << led3 << QStringLiteral("%1, %1").arg(led3) << "leds" << "has 27 entries; a profile has one for each of the 26 LED slots";
        QTest::newRow("entry a string") << led3 << "\"#FF0000\"" << "leds[3]" << "must be an object, not \"#FF0000\"";
        QTest::newRow("slot missing") << led3 << QStringLiteral("{\"color\": %1}").arg(colour3) << "leds[3].slot" << "missing";
        QTest::newRow("slot 26") << entry(3) << in3("\"slot\": 3", "\"slot\": 26") << "leds[3].slot"
                                 << "must be between 0 and 25, not 26";
        QTest::newRow("slot -1") << entry(3) << in3("\"slot\": 3", "\"slot\": -1") << "leds[3].slot"
                                 << "must be between 0 and 25, not -1";
        QTest::newRow("slot as text") << entry(3) << in3("\"slot\": 3", "\"slot\": \"3\"") << "leds[3].slot"
                                      << "must be a whole number, not \"3\"";
        QTest::newRow("slot twice") << entry(4) << entry(3) << "leds[4].slot" << "slot 3 appears twice";
        QTest::newRow("colour of 5 digits") << entry(3) << in3(colour3, "\"#12345\"") << "leds[3].color"
                                            << "must be a colour written #RRGGBB, not \"#12345\"";
        QTest::newRow("colour not hex") << entry(3) << in3(colour3, "\"#12345G\"") << "leds[3].color"
                                        << "must be a colour written #RRGGBB, not \"#12345G\"";
        QTest::newRow("colour without #") << entry(3) << in3(colour3, "\"1234567\"") << "leds[3].color"
                                          << "must be a colour written #RRGGBB, not \"1234567\"";
        QTest::newRow("colour a number") << entry(3) << in3(colour3, "255") << "leds[3].color" << "must be a string, not 255";
        QTest::newRow("colour missing") << led3 << "{\"slot\": 3}" << "leds[3].color" << "missing";
        QTest::newRow("colour spelt colour") << entry(3) << in3("\"color\"", "\"colour\"") << "leds[3].colour" << "unknown field";
        QTest::newRow("another slot's button") << entry(3) << in3("\"B10\"", "\"B1\"") << "leds[3].button"
                                               << "slot 3 is shown by button B10, not \"B1\"";
        QTest::newRow("button a number") << entry(3) << in3("\"B10\"", "10") << "leds[3].button" << "must be a string, not 10";

        QTest::newRow("paddle missing") << "\"paddle\": {\"combined\": true, \"bitePoint\": 60},\n" << QString() << "paddle" << "missing";
        QTest::newRow("paddle a number") << "{\"combined\": true, \"bitePoint\": 60}" << "60" << "paddle"
                                         << "must be an object, not 60";
        QTest::newRow("combined as text") << "\"combined\": true" << "\"combined\": \"yes\"" << "paddle.combined"
                                          << "must be true or false, not \"yes\"";
        QTest::newRow("combined missing") << "\"combined\": true, " << QString() << "paddle.combined" << "missing";
        QTest::newRow("bite point 101") << "\"bitePoint\": 60" << "\"bitePoint\": 101" << "paddle.bitePoint"
                                        << "must be between 0 and 100, not 101";
        QTest::newRow("bite point 50.5") << "\"bitePoint\": 60" << "\"bitePoint\": 50.5" << "paddle.bitePoint"
                                         << "must be a whole number, not 50.5";
        QTest::newRow("bite point missing while combined") << ", \"bitePoint\": 60" << QString() << "paddle.bitePoint" << "missing";
        QTest::newRow("bite point 160 while not combined") << "\"combined\": true, \"bitePoint\": 60"
                                                           << "\"combined\": false, \"bitePoint\": 160" << "paddle.bitePoint"
                                                           << "must be between 0 and 100, not 160";
        QTest::newRow("unknown paddle field") << "\"bitePoint\": 60" << "\"bitePoint\": 60, \"bite\": 60" << "paddle.bite"
                                              << "unknown field";
        // What a file says is quoted escaped and cut, never as it stands.
        const QString hostile = QStringLiteral("\\u001b]0;owned\\u0007\\u001b[2J\\u001b[31mB10");
        QTest::newRow("escape sequences in a value") << entry(3) << in3("B10", hostile) << "leds[3].button"
                                                     << "slot 3 is shown by button B10, not "
                                                        "\"\\u001B]0;owned\\u0007\\u001B[2J\\u001B[31mB...\"";
        QTest::newRow("a raw newline in a string") << entry(3) << in3("B10", "B\n10") << QString()
                                                   << "not valid JSON at line 9, column 33: a raw control character \\u000A inside a string";
        QTest::newRow("a raw NUL in a string") << entry(3) << in3("B10", QStringLiteral("B") + QChar(0) + "10") << QString()
                                               << "not valid JSON at line 9, column 33: a raw control character \\u0000 inside a string";
        QTest::newRow("a very long value") << entry(3) << in3(hexColour(3), QString(3000, QLatin1Char('A'))) << "leds[3].color"
                                           << "must be a colour written #RRGGBB, not \"" + QString(40, QLatin1Char('A')) + "...\"";
        QTest::newRow("an unknown field name carrying escapes")
            << entry(3) << in3("\"slot\": 3,", "\"slot\": 3, \"\\u001b[2J\\u0000" + QString(100, QLatin1Char('x')) + "\": 1,")
            << "leds[3].\\u001B[2J\\u0000" + QString(25, QLatin1Char('x')) + "..." << "unknown field";
        QTest::newRow("firmware a number") << "\"firmware\": \"1.0.3\"" << "\"firmware\": 103" << "firmware"
                                           << "must be a string, not 103";
    }

    // Each broken file is refused with its field and reason; the command line
    // says so in one line, with exit status 5, and sends nothing at all.
    void refused()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(QString, field);
        QFETCH(QString, reason);
        const QByteArray text = edited(from, to);
        QVERIFY2(from.isEmpty() || !text.isEmpty(), "the row's text is not in the sample");

        vorla::ProfileError error;
        QVERIFY(!vorla::parseProfile(text, &error));
        QCOMPARE(error.field, field);
        QVERIFY2(error.reason.startsWith(reason), qPrintable(error.reason));

        const QString path = writeFile(QStringLiteral("broken.json"), text);
        QVERIFY(!path.isEmpty());
        const CommandRun run = runCommand({QStringLiteral("--apply"), path, QStringLiteral("--store")});
        QCOMPARE(run.status, 5);
        QCOMPARE(run.out, QString());
        QCOMPARE(run.err, (field.isEmpty() ? path : path + QStringLiteral(": ") + field) + QStringLiteral(": ")
                              + error.reason + QLatin1Char('\n'));
        QCOMPARE(sim::openCount(), 0);
        QVERIFY(sim::received().empty());
    }

    void files_data()
    {
        QTest::addColumn<int>("padding"); // spaces after a valid profile; -1: a directory, -2: no file
        QTest::addColumn<QString>("reason"); // empty: read
        const int size = vorla::profileToJson(sample()).size();
        QTest::newRow("exactly 16 KiB") << 16 * 1024 - size << QString();
        QTest::newRow("one byte over 16 KiB") << 16 * 1024 - size + 1 << "larger than 16 KiB: not a profile";
        QTest::newRow("1 MiB") << 1024 * 1024 << "larger than 16 KiB: not a profile";
        QTest::newRow("a directory") << -1 << "can not be read: ";
        QTest::newRow("no such file") << -2 << "can not be read: ";
    }

    void files()
    {
        QFETCH(int, padding);
        QFETCH(QString, reason);
        QString path = dir.filePath(QStringLiteral("missing.json"));
        if (padding == -1)
            path = dir.path();
        else if (padding >= 0)
            path = writeFile(QStringLiteral("padded.json"), vorla::profileToJson(sample()) + QByteArray(padding, ' '));
        QVERIFY(!path.isEmpty());
        QString message;
        const std::optional<Profile> read = vorla::readProfile(path, &message);
        QCOMPARE(bool(read), reason.isEmpty());
        if (read)
            QVERIFY(sameColours(read->leds, sample().leds));
        else
            QVERIFY2(message.startsWith(path + QStringLiteral(": ") + reason), qPrintable(message));
    }

    // A write replaces the old file whole; a write that cannot be done says
    // where and leaves nothing behind.
    void writing()
    {
        const QString path = writeFile(QStringLiteral("old.json"), QByteArray(100000, 'x'));
        QVERIFY(!path.isEmpty());
        QString message;
        QVERIFY(vorla::writeProfile(path, sample(), &message));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), vorla::profileToJson(sample()));

        const QString nowhere = dir.filePath(QStringLiteral("no/such/dir/p.json"));
        QVERIFY(!vorla::writeProfile(nowhere, sample(), &message));
        QVERIFY2(message.startsWith(nowhere + QStringLiteral(": can not be written: ")), qPrintable(message));
        QVERIFY(!QFile::exists(nowhere));
    }
};

QTEST_GUILESS_MAIN(ProfileTest)
#include "tst_profile.moc"
