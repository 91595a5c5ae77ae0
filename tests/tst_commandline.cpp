// The command line against the simulated wheel: which arguments leave the
// window for it, its exit statuses and one-line messages, --info, profiles
// exported and applied (previewed or stored) exactly, and firmware upgrades
// with the lines that follow them.
#include "app/UpgradeProgress.h"
#include "device/imagecheck.h"
#include "device/upgradelock.h"
#include "profile/profile.h"
#include "support/CommandRun.h"
#include "support/WheelTest.h"

#include <QCryptographicHash>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

using namespace wheeltest;
using vorla::LedBlock;

namespace {

const char *const kButtons[26] = {"B1",  "B9",  "B2",  "B10", "B3",  "B11", "B4",  "B12", "B5",
                                  "B13", "B6",  "B14", "D13", "D23", "D13", "D23", "D13", "D23",
                                  "D16", "D26", "D16", "D26", "D16", "D26", "D3",  "D4"};

// A stored block whose channel v is at level (v + shift) % 16: sixteen shifts
// put every level on every channel.
LedBlock shiftedBlock(int shift)
{
    LedBlock block{};
    for (int v = 0; v < 78; ++v)
        setChannelLevel(block.data(), v, (v + shift) % 16);
    block[53] = 0x5E;
    return block;
}

QString colourOf(const LedBlock &block, int slot)
{
    QString text = QStringLiteral("#");
    for (int c = 0; c < 3; ++c)
        text += QStringLiteral("%1").arg(kLevels[channelLevel(block.data(), 3 * slot + c)], 2, 16, QLatin1Char('0')).toUpper();
    return text;
}

// A profile as a user might write it: colours off the wheel's levels, the
// three slots of D13 in three colours, entries not in slot order.
QByteArray handWritten(const QString &paddle)
{
    QByteArray text = "{\"format\": 1, \"paddle\": " + paddle.toUtf8() + ", \"leds\": [\n";
    for (int k = 25; k >= 0; --k)
        text += QStringLiteral("{\"slot\": %1, \"color\": \"#%2%3%4\"}%5\n")
                    .arg(k)
                    .arg(k * 10, 2, 16, QLatin1Char('0'))
                    .arg(250 - k * 3, 2, 16, QLatin1Char('0'))
                    .arg((k * 37) % 256, 2, 16, QLatin1Char('0'))
                    .arg(k ? QStringLiteral(",") : QString())
                    .toUtf8();
    return text + "]}\n";
}

// What the wheel gets for handWritten(): each channel at its nearest level.
LedBlock handWrittenBlock(std::uint8_t commit)
{
    LedBlock block{};
    for (int k = 0; k < 26; ++k) {
        const int channels[3] = {k * 10, 250 - k * 3, (k * 37) % 256};
        for (int c = 0; c < 3; ++c)
            setChannelLevel(block.data(), 3 * k + c, nearestLevel(channels[c]));
    }
    block[53] = commit;
    return block;
}

} // namespace

class CommandLineTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir;

    QString path(const QString &name) const { return dir.filePath(name); }

    QString writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(path(name));
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(text) == text.size() ? file.fileName()
                                                                                                        : QString();
    }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        sim::reset();
    }

    void cleanup()
    {
        for (const std::string &violation : sim::violations())
            QFAIL(violation.c_str());
    }

    void requested_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("command");
        QTest::newRow("nothing: the window") << QStringList{} << false;
        QTest::newRow("Qt's options: the window") << QStringList{"-platform", "offscreen", "-style", "fusion"} << false;
        QTest::newRow("--info") << QStringList{"--info"} << true;
        QTest::newRow("after Qt's options") << QStringList{"-platform", "xcb", "--apply", "p.json"} << true;
        QTest::newRow("-h") << QStringList{"-h"} << true;
        QTest::newRow("-?") << QStringList{"-?"} << true;
        QTest::newRow("-v") << QStringList{"-v"} << true;
        QTest::newRow("an unknown long option: refused there") << QStringList{"--infos"} << true;
    }

    void requested()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, command);
        QCOMPARE(CommandLine::requested(QStringList{"vorla-setting"} + arguments), command);
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString oneCommand = QStringLiteral("Give one of --info, --export, --apply or --upgrade (see --help).");
        QTest::newRow("no command") << QStringList{"--store"} << oneCommand;
        QTest::newRow("two commands") << QStringList{"--info", "--export", "p.json"} << oneCommand;
        QTest::newRow("--json without --info") << QStringList{"--export", "p.json", "--json"}
                                               << "--json goes with --info only.";
        QTest::newRow("--store without --apply") << QStringList{"--info", "--store"} << "--store goes with --apply only.";
        QTest::newRow("--apply without its file") << QStringList{"--apply"} << "Missing value after '--apply'.";
        QTest::newRow("--yes without --upgrade") << QStringList{"--info", "--yes"} << "--yes goes with --upgrade only.";
        QTest::newRow("--help-all: Qt's options are the window's") << QStringList{"--help-all"}
                                                                   << "Unknown option 'help-all'.";
        QTest::newRow("unknown option") << QStringList{"--infos"} << "Unknown option 'infos'.";
        QTest::newRow("a Qt option of the window") << QStringList{"-platform", "offscreen", "--info"}
                                                   << "Unknown option 'platform'.";
        QTest::newRow("a stray argument") << QStringList{"--info", "p.json"} << "Unexpected argument 'p.json'.";
        QTest::newRow("a stray argument with an escape sequence") << QStringList{"--info", "\x1b[2J\n"}
                                                                  << "Unexpected argument '\\u001B[2J\\u000A'.";
    }

    // Refused before the wheel is even opened.
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const CommandRun run = runCommand(arguments);
        QCOMPARE(run.status, 2);
        QCOMPARE(run.err, message + QLatin1Char('\n'));
        QCOMPARE(run.out, QString());
        QCOMPARE(sim::openCount(), 0);
    }

    void helpAndVersion()
    {
        const CommandRun help = runCommand({"--help"});
        QCOMPARE(help.status, 0);
        QCOMPARE(help.err, QString());
        for (const char *text : {"--info", "--json", "--export <file>", "--apply <file>", "--store", "--upgrade <file>",
                                 "--yes", "Exit status:", "  0  done\n", "  1  the profile file could not be written\n",
                                 "  2  wrong use of the options\n", "  3  no wheel is plugged in\n",
                                 "  4  a wheel is plugged in, but this user may not open it\n",
                                 "  5  the file given (profile or firmware image) cannot be read or is not valid\n",
                                 "  6  the wheel refused a report or did not answer, or did not keep what was stored;\n"
                                 "     also: another instance is upgrading the wheel\n",
                                 "  7  the wheel did not come back after the upgrade\n",
                                 "\nExamples:\n  vorla-setting --export my-wheel.json ",
                                 "(man vorla-setting); the profile format is described in\ndocs/profile-format.md.\n"})
            QVERIFY2(help.out.contains(QLatin1String(text)), text);
        QVERIFY(!help.out.contains(QLatin1String("--help-all")));
        QCOMPARE(runCommand({"-?"}).out, help.out);

        const CommandRun version = runCommand({"--version"});
        QCOMPARE(version.status, 0);
        QVERIFY2(QRegularExpression(QStringLiteral("^\\S+ \\d+\\.\\d+\\.\\d+\n"
                                                   "Copyright \\(C\\) \\d{4} The Vorla Setting developers\n"
                                                   "License GPL-3.0-or-later: .*\n.*\n.*NO WARRANTY.*\n$"))
                     .match(version.out)
                     .hasMatch(),
                 qPrintable(version.out));
        QCOMPARE(sim::openCount(), 0);
    }

    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments"); // "FILE": a valid profile, "NEW": a file not there yet
        QTest::addColumn<int>("failingReport");     // 0: the wheel is unplugged; -1: this user may not open it
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<int>("storedSlots"); // 0: nothing stored, else also the LEDs

        const QString noDevice = QStringLiteral("No device.\n");
        const QString unread = QStringLiteral("Can not read setting: the wheel did not answer.\n");
        const QStringList info{"--info"}, json{"--info", "--json"}, exportNew{"--export", "NEW"},
            preview{"--apply", "FILE"}, store{"--apply", "FILE", "--store"};
        QTest::newRow("--info, no wheel") << info << 0 << 3 << QString() << noDevice << 0;
        QTest::newRow("--export, no wheel") << exportNew << 0 << 3 << QString() << noDevice << 0;
        QTest::newRow("--apply, no wheel") << preview << 0 << 3 << QString() << noDevice << 0;
        QTest::newRow("--apply --store, no wheel") << store << 0 << 3 << QString() << noDevice << 0;
        const QString denied = QStringLiteral("Permission denied: the wheel is plugged in, but this user may not open it.\n");
        QTest::newRow("--info, permission denied") << info << -1 << 4 << QString() << denied << 0;
        QTest::newRow("--apply --store, permission denied") << store << -1 << 4 << QString() << denied << 0;
        // A query is two reports: its send and its read.
        QTest::newRow("--info, first LED query refused") << info << 1 << 6 << QString() << unread << 0;
        QTest::newRow("--info --json, version not read") << json << 10 << 6 << QString() << unread << 0;
        QTest::newRow("--export, paddle not read") << exportNew << 8 << 6 << QString() << unread << 0;
        QTest::newRow("--apply --store, LED chunk 0 refused")
            << store << 1 << 6 << QString() << "The wheel refused a report: the LED colours were not stored.\n" << 0;
        QTest::newRow("--apply --store, LED chunk 2 refused")
            << store << 3 << 6 << QString() << "The wheel refused a report: the LED colours were not stored.\n" << 0;
        QTest::newRow("--apply, LED chunk 1 refused")
            << preview << 2 << 6 << QString() << "The wheel refused a report: the LED colours were not previewed.\n" << 0;
        // After the three LED chunks, the LED store is read back (three queries).
        QTest::newRow("--apply --store, paddle refused")
            << store << 10 << 6 << "LED colours stored.\n"
            << "The wheel refused a report: the paddle setting was not stored.\n" << 26;
    }

    // Each failure: its status, one line on standard error, the steps done
    // before it on standard output; nothing after the refused report is sent
    // and no file is left by a failed export.
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, failingReport);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(int, storedSlots);
        const QString profile = writeFile(QStringLiteral("p.json"), handWritten(QStringLiteral("{\"combined\": false}")));
        QVERIFY(!profile.isEmpty());
        arguments.replaceInStrings(QStringLiteral("FILE"), profile);
        arguments.replaceInStrings(QStringLiteral("NEW"), path(QStringLiteral("new.json")));
        if (failingReport > 0)
            sim::failReport(failingReport);
        else if (failingReport == 0)
            sim::setPresent(false);
        else
            sim::setPermissionDenied(true);
        const LedBlock before = sim::storedLeds();

        const CommandRun run = runCommand(arguments);
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, err);
        QCOMPARE(int(sim::received().size()), std::max(failingReport, 0));
        QCOMPARE(hex(sim::storedLeds()), hex(storedSlots ? handWrittenBlock(0x5E) : before));
        QCOMPARE(int(sim::storedPaddle()), int(sim::kDefaultPaddle));
        QVERIFY(!QFile::exists(path(QStringLiteral("new.json"))));
    }

    void exportUnwritable()
    {
        const QString target = path(QStringLiteral("no/such/dir/p.json"));
        const CommandRun run = runCommand({"--export", target});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.startsWith(target + QStringLiteral(": can not be written: ")), qPrintable(run.err));
        QVERIFY(run.err.endsWith(QLatin1Char('\n')) && run.err.count(QLatin1Char('\n')) == 1);
    }

    void roundTrip_data()
    {
        QTest::addColumn<int>("shift");
        QTest::addColumn<int>("paddle");
        const int paddles[4] = {0, 37, 100, 255};
        for (int shift = 0; shift < 16; ++shift)
            QTest::addRow("levels from %d, paddle %d", shift, paddles[shift % 4]) << shift << paddles[shift % 4];
    }

    // Export, change the wheel, apply with --store: the wheel stores again
    // exactly the block and paddle value it was exported from.
    void roundTrip()
    {
        QFETCH(int, shift);
        QFETCH(int, paddle);
        const LedBlock block = shiftedBlock(shift);
        sim::setStoredLeds(block);
        sim::setStoredPaddle(std::uint8_t(paddle));
        const QString file = path(QStringLiteral("round.json"));
        const CommandRun exported = runCommand({"--export", file});
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.out + exported.err, QString());

        sim::setStoredLeds(shiftedBlock(shift + 5));
        sim::setStoredPaddle(50);
        sim::clearReceived();
        const CommandRun applied = runCommand({"--apply", file, "--store"});
        QCOMPARE(applied.status, 0);
        QCOMPARE(applied.out, QStringLiteral("LED colours stored.\nPaddle setting stored.\n"));
        QCOMPARE(applied.err, QString());
        QCOMPARE(hex(sim::storedLeds()), hex(block));
        QCOMPARE(int(sim::storedPaddle()), paddle);
        QCOMPARE(sim::received(sim::ReportKind::Output).size(), std::size_t(3));
        // The paddle store, and each store read back: three LED chunks, the paddle value.
        QCOMPARE(featureReports(0x0A).size(), std::size_t(1));
        QCOMPARE(featureReports(0x0B).size(), std::size_t(4));
    }

    void apply_data()
    {
        QTest::addColumn<bool>("store");
        QTest::addColumn<QString>("paddle");
        QTest::addColumn<int>("value");
        QTest::newRow("preview, bite point 33") << false << "{\"combined\": true, \"bitePoint\": 33}" << 33;
        QTest::newRow("preview, not combined") << false << "{\"combined\": false, \"bitePoint\": 70}" << 255;
        QTest::newRow("store, bite point 33") << true << "{\"combined\": true, \"bitePoint\": 33}" << 33;
        QTest::newRow("store, not combined") << true << "{\"combined\": false}" << 255;
    }

    // A hand-written profile reaches the wheel at the nearest levels, every
    // slot its own colour: a preview shows it and stores nothing, a store keeps
    // exactly that.
    void apply()
    {
        QFETCH(bool, store);
        QFETCH(QString, paddle);
        QFETCH(int, value);
        const QString file = writeFile(QStringLiteral("hand.json"), handWritten(paddle));
        QVERIFY(!file.isEmpty());
        const LedBlock before = sim::storedLeds();
        const LedBlock wanted = handWrittenBlock(store ? 0x5E : 0xFF);

        const CommandRun run = runCommand(store ? QStringList{"--apply", file, "--store"} : QStringList{"--apply", file});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, store ? QStringLiteral("LED colours stored.\nPaddle setting stored.\n")
                                : QStringLiteral("LED colours previewed.\nPaddle setting previewed.\n"));
        QCOMPARE(run.err, QString());
        QCOMPARE(hex(sim::shownLeds()), hex(wanted));
        QCOMPARE(int(sim::shownPaddle()), value);
        QCOMPARE(hex(sim::storedLeds()), hex(store ? wanted : before));
        QCOMPARE(int(sim::storedPaddle()), store ? value : int(sim::kDefaultPaddle));
        Bytes paddleReport(20, 0);
        paddleReport[0] = 0x02;
        paddleReport[1] = 0x0A;
        paddleReport[2] = std::uint8_t(value);
        paddleReport[3] = store ? 0xEF : 0x00;
        QCOMPARE(hex(featureReports(0x0A)), QStringList{hex(paddleReport)});
    }

    void info_data()
    {
        QTest::addColumn<int>("paddle");
        QTest::addColumn<QString>("paddleLine");
        QTest::newRow("combined") << 42 << "Paddles: combined, bite point 42";
        QTest::newRow("not combined") << 101 << "Paddles: not combined";
    }

    // Text for people, JSON for scripts; only queries reach the wheel.
    void info()
    {
        QFETCH(int, paddle);
        QFETCH(QString, paddleLine);
        const LedBlock block = shiftedBlock(3);
        sim::setStoredLeds(block);
        sim::setStoredPaddle(std::uint8_t(paddle));
        sim::setVersion("2.1.0");

        QString expected = QStringLiteral("Firmware version: 2.1.0\n") + paddleLine
            + QStringLiteral("\nLED colours (slot, button, colour):\n");
        for (int k = 0; k < 26; ++k)
            expected += QStringLiteral("  %1  %2  %3\n").arg(k, 2).arg(QLatin1String(kButtons[k]), -3).arg(colourOf(block, k));
        const CommandRun text = runCommand({"--info"});
        QCOMPARE(text.status, 0);
        QCOMPARE(text.out, expected);
        QCOMPARE(text.err, QString());

        const CommandRun json = runCommand({"--info", "--json"});
        QCOMPARE(json.status, 0);
        vorla::ProfileError error;
        const std::optional<vorla::Profile> profile = vorla::parseProfile(json.out.toUtf8(), &error);
        QVERIFY2(profile, qPrintable(error.message(QStringLiteral("--json"))));
        QCOMPARE(profile->firmware, QStringLiteral("2.1.0"));
        QCOMPARE(int(profile->paddle), vorla::paddleCombined(std::uint8_t(paddle)) ? paddle : 255);
        for (int k = 0; k < 26; ++k)
            QCOMPARE(vorla::colorText(profile->leds[k]), colourOf(block, k));

        QVERIFY(sim::received(sim::ReportKind::Output).empty());
        QCOMPARE(featureReports(0x0B).size(), sim::received(sim::ReportKind::FeatureSend).size());
    }
    void progressBar_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("bar");
        QTest::newRow("the first chunk") << 0 << "Uploading ...   0 % [..............................]  0.0 of 224.0 KiB";
        QTest::newRow("half") << 48 << "Uploading ...  50 % [###############...............]  112.0 of 224.0 KiB";
        QTest::newRow("the last chunk") << 95 << "Uploading ...  98 % [#############################.]  219.5 of 224.0 KiB";
        QTest::newRow("the wheel writing") << 98 << "Writing ... 100 % [##############################]  224.0 of 224.0 KiB";
    }

    // The terminal's bar for the worker's values, for the largest image.
    void progressBar()
    {
        QFETCH(int, value);
        QFETCH(QString, bar);
        QCOMPARE(upgradeprogress::bar(value, 0x38000), bar);
    }

    void secondsLeft_data()
    {
        QTest::addColumn<int>("value"); // -1: none yet
        QTest::addColumn<int>("elapsedMs");
        QTest::addColumn<int>("stepMs");
        QTest::addColumn<int>("seconds");
        QTest::newRow("nothing reported yet") << -1 << 0 << 1000 << 4;
        QTest::newRow("half sent in 10 s") << 47 << 10000 << 1000 << 14;
        QTest::newRow("two writing steps left") << 98 << 30000 << 1000 << 2;
        QTest::newRow("never below 1 s") << 99 << 30000 << 5 << 1;
    }

    // "The firmware upgrade cannot be interrupted; it ends in about N s."
    void secondsLeft()
    {
        QFETCH(int, value);
        QFETCH(int, elapsedMs);
        QFETCH(int, stepMs);
        QFETCH(int, seconds);
        QCOMPARE(upgradeprogress::secondsLeft(value, elapsedMs, stepMs), seconds);
    }

    void upgrade_data()
    {
        // "FW": a 16 KiB image that names version 2.0.0; "ZIP", "BIG", "NAME":
        // a ZIP archive, an image of 0x38001 bytes, one named fw.img.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("wheel");  // "absent", "other" (another instance's lock), "refuse"
                                             // (its third data report), "gone" (not back after the finish)
        QTest::addColumn<QString>("answer"); // typed on a terminal; "-": no terminal
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("err");    // the file's path in it as "FILE"
        QTest::addColumn<int>("reports");    // firmware reports the wheel got
        const QStringList yes{"--upgrade", "FW", "--yes"}, asked{"--upgrade", "FW"};
        const auto row = [](const char *name, const QStringList &arguments, const char *wheel, const char *answer,
                            int status, const QString &err, int reports) {
            QTest::newRow(name) << arguments << wheel << answer << status << err << reports;
        };
        row("--yes", yes, "", "-", 0, "", 1025);
        row("asked: y", asked, "", "y\n", 0, "", 1025);
        row("asked: n", asked, "", "n\n", 0, "", 0);
        row("asked: nothing typed", asked, "", "", 0, "", 0);
        row("no terminal to ask on", asked, "", "-", 2,
            "Not asked: this is no terminal. Give --yes to upgrade without the question.", 0);
        row("a ZIP archive", {"--upgrade", "ZIP", "--yes"}, "", "-", 5,
            "FILE: " + vorla::notAnImageMessage(vorla::ImageContent::ZipArchive), 0);
        row("too large", {"--upgrade", "BIG", "--yes"}, "", "-", 5,
            "FILE: not a firmware image: it holds 229377 bytes; the wheel takes 1 to 229376", 0);
        row("not named .bin", {"--upgrade", "NAME", "--yes"}, "", "-", 5,
            "FILE: not a firmware image: its name does not end in .bin", 0);
        row("no wheel", yes, "absent", "-", 3, "No device.", 0);
        row("another instance upgrades", yes, "other", "-", 6,
            "Another Vorla Setting is upgrading the wheel's firmware: nothing was sent. Try again once it is done.", 0);
        row("a data report refused", yes, "refuse", "-", 6, "The wheel refused a report: the firmware upgrade failed.", 3);
        row("not back", yes, "gone", "-", 7,
            "The wheel did not come back after the upgrade. Plug it out and in again, then check its firmware version "
            "with --info.",
            1025);
    }

    // Each way an upgrade ends: its status and one line on standard error;
    // what reached the wheel, the whole image and its finish or nothing (and
    // never a finish after a refused report); and what it printed: a line
    // per tenth, or on a terminal the question and one bar redrawn.
    void upgrade()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, wheel);
        QFETCH(QString, answer);
        QFETCH(int, status);
        QFETCH(QString, err);
        QFETCH(int, reports);
        QByteArray image = imageBytes(16384);
        image.replace(1000, 15, QByteArray("VORLA-FW:2.0.0", 15));
        const QMap<QString, QString> files{{"FW", writeBytes(path("fw.bin"), image)},
                                           {"ZIP", writeBytes(path("archive.bin"), "PK\x03\x04" + image)},
                                           {"BIG", writeImage(path("big.bin"), 0x38001)},
                                           {"NAME", writeBytes(path("fw.img"), image)}};
        const QString file = arguments[1] = files.value(arguments.at(1));
        QLockFile other(vorla::upgradelock::path());
        if (wheel == "absent")
            sim::setPresent(false);
        if (wheel == "other")
            QVERIFY(other.tryLock(0));
        if (wheel == "refuse")
            sim::failReport(10 + 3); // after the start-up read's five queries
        sim::setRebootDuration(wheel == "gone" ? std::chrono::hours(1) : std::chrono::hours(0));

        QString typed = answer;
        QTextStream terminal(&typed);
        const CommandRun run = runCommand(arguments, [&](CommandLine &command) {
            command.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(1));
            command.setReconnectWait(std::chrono::milliseconds(0));
            if (answer != "-")
                command.setTerminal(&terminal);
        });
        QCOMPARE(run.status, status);
        QCOMPARE(run.err, err.isEmpty() ? QString() : err.replace("FILE", file) + '\n');
        const std::vector<sim::ReceivedReport> all = sim::received();
        QCOMPARE(int(std::count_if(all.begin(), all.end(), [](const sim::ReceivedReport &r) {
                     return r.kind == sim::ReportKind::FeatureSend && ((r.bytes[1] & 0x80) || r.bytes[1] == 0x10);
                 })),
                 reports);
        QCOMPARE(sim::firmwareWrites(), reports > 1000 ? 1 : 0);
        if (reports > 1000)
            QVERIFY(sim::firmwareImage() == Bytes(image.begin(), image.end()));
        QVERIFY(!vorla::upgradelock::heldHere());
        if (status != 0)
            return;

        const QString question = QStringLiteral("Upgrade the wheel's firmware 1.0.3 with %1 (16384 bytes, SHA-256 %2)? [y/N] ")
                                     .arg(file, QCryptographicHash::hash(image, QCryptographicHash::Sha256).toHex());
        const QString end = QStringLiteral("Upgrade firmware done.\nFirmware version: 2.0.0\n");
        if (reports == 0) {
            QCOMPARE(run.out, question + "The firmware was not upgraded.\n");
        } else if (answer == "-") {
            QString lines;
            for (const char *line : {"0 % (0.0", "10 % (1.6", "20 % (3.2", "30 % (4.8", "40 % (6.4", "50 % (8.0",
                                     "60 % (9.6", "70 % (11.2", "80 % (12.8", "90 % (14.4"})
                lines += QStringLiteral("Uploading ... %1 of 16.0 KiB)\n").arg(QLatin1String(line));
            QCOMPARE(run.out, lines + "Writing ...\n" + end);
        } else {
            QVERIFY2(run.out.startsWith(question + '\r' + upgradeprogress::bar(0, 16384)), qPrintable(run.out.left(300)));
            QVERIFY2(run.out.endsWith('\r' + upgradeprogress::bar(99, 16384) + '\n' + end), qPrintable(run.out.right(300)));
            QCOMPARE(run.out.count('\n'), 3); // the bar's frames share one line
        }
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
