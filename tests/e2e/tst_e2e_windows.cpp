// The Windows program, built with hidapi's Windows backend, under wine on a
// wheel behind an emulated hidraw node: wine's HID stack (hid.dll, hidclass,
// winebus) reaches the node this bed answers with the simulated wheel's model.
// Each case runs the Linux program (the build this test belongs to) and the
// Windows one on the same wheel state and compares what the wheel received,
// report for report, ids and lengths included, what it stored and what the
// program said. A longer feature report reaches the wheel whole from Windows
// (hidapi's Windows backend sends and reads whole feature reports), so there
// the Linux stream is compared padded to that length.
//
// The Windows build runs this host program (scripts/build-windows.sh --test
// builds it natively) and names its pieces in the environment:
//   VORLA_WHEEL_RUN         tests/windows/wheel-run.sh
//   VORLA_WINDOWS_DIST      the folder with vorla-setting.exe and .com
//   VORLA_WINDOWS_DRIVER    the window driver built for Windows (driver.cpp)
//   VORLA_WINDOWS_CFGMGR32  the test-only cfgmgr32.dll
//   VORLA_WINDOWS_FONTDIR   the fonts of Qt's offscreen platform on Windows
// A piece missing is a failure: the build that runs this test makes them all.
// Where wine is not installed the test fails under CI=true and is skipped
// elsewhere; where umockdev cannot stand a wheel it is skipped, saying why.
#include "E2eMain.h"
#include "support/MissingTool.h"
#include "E2eRecord.h"
#include "WheelBed.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <functional>

using namespace e2e;
using namespace wheeltest;

namespace {

struct Run {
    int status = -1;
    QStringList out; // standard output, line by line, without CRs
    QString err;
    QStringList record; // what the wheel received
};

// A stored block with a different colour on every button, and another wheel
// state than the factory's.
vorla::LedBlock storedBlock()
{
    vorla::LedBlock block{};
    for (int v = 0; v < 78; ++v) {
        const int button = firstSlotOf(kSlotButtons[v / 3]);
        setChannelLevel(block.data(), v, (button * (3 + 2 * (v % 3)) + v % 3 + 2) % 16);
    }
    block[53] = 0x5E;
    return block;
}

void setUpWheel()
{
    sim::reset();
    sim::setStoredLeds(storedBlock());
    sim::setStoredPaddle(77);
    sim::setVersion("2.4.1");
    sim::setRebootDuration(std::chrono::milliseconds(500));
}

// The colour of a stored slot as the window shows it.
QString slotColour(int slot)
{
    const vorla::LedBlock block = storedBlock();
    auto level = [&](int channel) { return kLevels[channelLevel(block.data(), 3 * slot + channel)]; };
    return QColor(level(0), level(1), level(2)).name();
}

// The stored block once the window has stored `colour` on `button`.
vorla::LedBlock storedWith(const QString &button, const QColor &colour)
{
    vorla::LedBlock block = storedBlock();
    const QByteArray name = button.toLatin1();
    for (int slot = firstSlotOf(name.constData()); slot >= 0 && slot <= lastSlotOf(name.constData()); ++slot)
        if (qstrcmp(kSlotButtons[slot], name.constData()) == 0)
            for (int channel = 0; channel < 3; ++channel)
                setChannelLevel(block.data(), 3 * slot + channel,
                                nearestLevel(channel == 0 ? colour.red() : channel == 1 ? colour.green() : colour.blue()));
    return block;
}

// The Linux record as a Windows program sends it to a wheel whose feature
// report is `length` bytes long: each feature report at least that long.
QStringList padded(QStringList record, int length)
{
    for (QString &line : record) {
        const bool feature = line.contains(QLatin1String("set ")) || line.contains(QLatin1String("get "));
        while (feature && (line.length() - line.indexOf(QLatin1Char(' '))) / 3 < length)
            line += QLatin1String(" 00");
    }
    return record;
}

// How long one run may take; far longer than any does.
constexpr int kRunLimit = 90000;

QString env(const char *name)
{
    return qEnvironmentVariable(name);
}

} // namespace

class E2eWindowsTest : public QObject
{
    Q_OBJECT

public:
    // What of the Windows build is missing here, or empty.
    static QString brokenBuild()
    {
        for (const char *name : {"VORLA_WHEEL_RUN", "VORLA_WINDOWS_DIST", "VORLA_WINDOWS_DRIVER", "VORLA_WINDOWS_CFGMGR32"})
            if (env(name).isEmpty())
                return QStringLiteral("%1 is not set (the Windows build's tests set it)").arg(QLatin1String(name));
        for (const QString &file : {env("VORLA_WINDOWS_DIST") + QStringLiteral("/vorla-setting.exe"),
                                    env("VORLA_WINDOWS_DRIVER"), env("VORLA_WINDOWS_CFGMGR32")})
            if (!QFileInfo::exists(file))
                return QStringLiteral("%1 is missing (scripts/build-windows.sh makes it)").arg(file);
        return QString();
    }

    static bool wineInstalled()
    {
        return !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty()
               || !QStandardPaths::findExecutable(QStringLiteral("wine64")).isEmpty();
    }

private:
    QTemporaryDir programs; // the Windows programs with the test-only DLL beside them
    std::unique_ptr<WheelBed> bed;
    QStringList violations; // what the wheel found wrong in this test's runs

    QString windowsProgram(const char *name) const { return programs.filePath(QLatin1String(name)); }

    // Runs `command` on a fresh bed (the wheel as setUpWheel() and `prepare`
    // leave it); `onLine` sees each line of its output as it comes.
    Run run(const QStringList &command, WheelBed::Descriptor descriptor, const std::function<void()> &prepare = {},
            const std::function<void(const QString &)> &onLine = {})
    {
        setUpWheel();
        if (prepare)
            prepare();
        bed = std::make_unique<WheelBed>(descriptor);
        QProcess process;
        if (command.first() == env("VORLA_WHEEL_RUN") && !env("VORLA_WINDOWS_FONTDIR").isEmpty()) {
            // Qt's offscreen platform on Windows takes its fonts from a folder.
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_QPA_FONTDIR"), env("VORLA_WINDOWS_FONTDIR"));
            process.setProcessEnvironment(environment);
        }
        process.start(command.first(), command.mid(1));
        Run result;
        if (!process.waitForStarted())
            return result;
        QByteArray pending;
        QElapsedTimer clock;
        clock.start();
        while (process.state() != QProcess::NotRunning || process.bytesAvailable()) {
            if (clock.hasExpired(kRunLimit)) {
                // A program that hangs: wine's processes end, and with them the run.
                qWarning("%s hangs; ended after %d s", qPrintable(command.join(' ')), kRunLimit / 1000);
                QProcess::execute(env("VORLA_WHEEL_RUN"), {QStringLiteral("--kill")});
                clock.restart();
                if (!process.waitForFinished(10000))
                    process.kill();
            }
            process.waitForReadyRead(100);
            pending += process.readAllStandardOutput();
            for (int end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1)) {
                const QString line = QString::fromUtf8(pending.left(end)).remove(QLatin1Char('\r'));
                result.out << line;
                if (onLine)
                    onLine(line);
            }
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.err = QString::fromUtf8(process.readAllStandardError());
        result.record = record();
        for (const std::string &violation : sim::violations())
            violations << QString::fromStdString(violation);
        bed.reset();
        return result;
    }

    struct Both {
        Run onLinux, onWindows;
        bool sameStored; // whether both left the wheel storing the same
    };

    // The same on the Linux program and on the Windows one (run by
    // wheel-run.sh, with the driver as its waiter).
    Both both(const QStringList &linuxCommand, const QStringList &windowsCommand, WheelBed::Descriptor descriptor,
              const std::function<void()> &prepare = {})
    {
        Both runs;
        runs.onLinux = run(linuxCommand, descriptor, prepare);
        const QString leds = hex(sim::storedLeds());
        const int paddle = sim::storedPaddle();
        runs.onWindows = run(QStringList{env("VORLA_WHEEL_RUN"), windowsProgram("vorla-e2e-driver.exe")} + windowsCommand,
                             descriptor, prepare);
        runs.sameStored = hex(sim::storedLeds()) == leds && sim::storedPaddle() == paddle;
        return runs;
    }

    // Each of `lines` is among what `run` printed; if not, its status and
    // errors say why.
    static void expectLines(const Run &run, const QStringList &lines)
    {
        for (const QString &line : lines)
            QVERIFY2(run.out.contains(line), qPrintable(QStringLiteral("%1 not in (status %2):\n%3\n%4")
                                                            .arg(line)
                                                            .arg(run.status)
                                                            .arg(run.out.join('\n'), run.err)));
    }

    // The Windows program did what the Linux one did: the same reports (each
    // feature report as long as the wheel's), output and status. While a
    // wheel comes back, how often a program knocks in vain is timing: with
    // `acceptedOnly`, the reports the wheel took are compared.
    static void compare(const Both &runs, int featureLength, bool acceptedOnly = false)
    {
        QVERIFY2(!runs.onLinux.record.isEmpty(), "the wheel received nothing");
        QStringList onLinux = runs.onLinux.record;
        QStringList onWindows = runs.onWindows.record;
        if (acceptedOnly) {
            onLinux = onLinux.filter(QRegularExpression(QStringLiteral("^[^!]")));
            onWindows = onWindows.filter(QRegularExpression(QStringLiteral("^[^!]")));
        }
        const QStringList expected = featureLength > int(vorla::kReportSize) ? padded(onLinux, featureLength) : onLinux;
        if (onWindows != expected || runs.onWindows.out != runs.onLinux.out)
            // What each program said, to tell which one strayed and where.
            for (const Run *run : {&runs.onLinux, &runs.onWindows})
                qInfo("%s run, status %d, printed:\n%s\n%s", run == &runs.onLinux ? "Linux" : "Windows", run->status,
                      qPrintable(run->out.join('\n')), qPrintable(run->err));
        QCOMPARE(onWindows, expected);
        QCOMPARE(runs.onWindows.out, runs.onLinux.out);
        QVERIFY2(runs.onWindows.status == runs.onLinux.status, qPrintable(runs.onWindows.err));
        QVERIFY(runs.sameStored);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(programs.isValid());
        const QString dist = env("VORLA_WINDOWS_DIST");
        for (const QString &from : {dist + QStringLiteral("/vorla-setting.exe"), dist + QStringLiteral("/vorla-setting.com"),
                                    env("VORLA_WINDOWS_DRIVER"), env("VORLA_WINDOWS_CFGMGR32")})
            QVERIFY2(QFile::copy(from, programs.filePath(QFileInfo(from).fileName())), qPrintable(from));
    }

    void init() { violations.clear(); }

    void cleanup()
    {
        bed.reset();
        QCOMPARE(violations, QStringList());
    }

    // The command line, dist's vorla-setting.com: the same output, status,
    // reports and stored settings as the Linux program.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("featureLength");
        QTest::addColumn<bool>("joystick");
        QTest::addColumn<int>("refuse"); // the report the wheel refuses, -1: none
        QTest::addColumn<int>("status");

        QTest::newRow("info") << QStringList{"--info"} << 20 << false << -1 << 0;
        QTest::newRow("info, feature report of 21 bytes") << QStringList{"--info"} << 21 << false << -1 << 0;
        QTest::newRow("info, feature report of 64 bytes") << QStringList{"--info", "--json"} << 64 << false << -1 << 0;
        QTest::newRow("info, two top-level collections") << QStringList{"--info"} << 20 << true << -1 << 0;
        QTest::newRow("apply and store") << QStringList{"--apply", "PROFILE", "--store"} << 64 << false << -1 << 0;
        QTest::newRow("store refused at the second LED report")
            << QStringList{"--apply", "PROFILE", "--store"} << 20 << false << 2 << 6;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, featureLength);
        QFETCH(bool, joystick);
        QFETCH(int, refuse);
        QFETCH(int, status);

        // A profile of the factory colours and another paddle setting, so that
        // storing it changes the wheel.
        QTemporaryDir dir;
        const QString profile = dir.filePath(QStringLiteral("profile.json"));
        {
            setUpWheel();
            sim::setStoredLeds(sim::defaultLedBlock());
            sim::setStoredPaddle(12);
            WheelBed exporter;
            QCOMPARE(QProcess::execute(QStringLiteral(VORLA_SETTING_PATH), {"--export", profile}), 0);
        }
        arguments.replaceInStrings(QStringLiteral("PROFILE"), profile);

        const Both runs = both(QStringList{QStringLiteral(VORLA_SETTING_PATH)} + arguments,
                               QStringList{windowsProgram("vorla-setting.com")} + arguments, {featureLength, joystick},
                               [refuse] { sim::failReport(refuse); });
        QCOMPARE(runs.onLinux.status, status);
        compare(runs, featureLength);
        if (QTest::currentTestFailed())
            return;
        if (refuse > 0) {
            QCOMPARE(hex(sim::storedLeds()), hex(storedBlock())); // nothing half-stored
            QVERIFY(runs.onWindows.record.last().startsWith(QLatin1Char('!')));
        } else if (arguments.contains(QStringLiteral("--store"))) {
            QCOMPARE(hex(sim::storedLeds()), hex(sim::defaultLedBlock()));
            QCOMPARE(int(sim::storedPaddle()), 12);
        }
    }

    // --export on Windows writes the profile the Linux program writes.
    void exportProfile()
    {
        QTemporaryDir dir;
        const QString onLinux = dir.filePath(QStringLiteral("linux.json"));
        const QString onWindows = dir.filePath(QStringLiteral("windows.json"));
        const auto runs = both({QStringLiteral(VORLA_SETTING_PATH), "--export", onLinux},
                               {windowsProgram("vorla-setting.com"), "--export", onWindows}, {});
        QVERIFY2(runs.onLinux.status == 0, qPrintable(runs.onLinux.err));
        compare(runs, 20);
        QVERIFY(!fileBytes(onLinux).empty());
        QCOMPARE(fileBytes(onWindows), fileBytes(onLinux));
    }

    // The window (the driver, built for each): the start-up read shows the
    // stored colours, and previews and stores reach the wheel as from Linux.
    void window_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("featureLength");
        QTest::addColumn<bool>("joystick");
        QTest::addColumn<QStringList>("expected"); // lines the programs print
        QTest::addColumn<QString>("storedLeds"); // the block, in hex
        QTest::addColumn<int>("storedPaddle");

        const QString b1 = "pixel pbB1 " + slotColour(0);
        const QString d4 = "pixel pbD4 " + slotColour(25);
        const QString ledsSaved = QStringLiteral("box: information Success/LED colors saved.");
        const QString paddleSaved = QStringLiteral("box: information Success/Paddle status saved.");
        QTest::newRow("colour preview and store")
            << QStringList{"pixel=pbB1", "pixel=pbD4", "pick=pbB1:#ff0000", "click=pbSave"} << 20 << false
            << QStringList{b1, d4, ledsSaved} << hex(storedWith("pbB1", Qt::red)) << 77;
        QTest::newRow("paddle preview and store")
            << QStringList{"bite=80", "click=pbSaveP"} << 20 << false << QStringList{paddleSaved} << hex(storedBlock())
            << 80;
        QTest::newRow("feature report of 64 bytes")
            << QStringList{"pixel=pbB1", "pick=pbB9:#00ff00", "click=pbSave", "bite=30", "click=pbSaveP"} << 64
            << false << QStringList{b1, ledsSaved, paddleSaved} << hex(storedWith("pbB9", Qt::green)) << 30;
        QTest::newRow("two top-level collections")
            << QStringList{"pixel=pbD4", "pick=pbD4:#0000ff", "click=pbSave"} << 20 << true << QStringList{d4, ledsSaved}
            << hex(storedWith("pbD4", Qt::blue)) << 77;
    }

    void window()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, featureLength);
        QFETCH(bool, joystick);
        QFETCH(QStringList, expected);
        QFETCH(QString, storedLeds);
        QFETCH(int, storedPaddle);

        const Both runs = both(QStringList{QStringLiteral(VORLA_E2E_DRIVER_PATH)} + steps,
                               QStringList{windowsProgram("vorla-e2e-driver.exe")} + steps, {featureLength, joystick});
        QVERIFY2(runs.onLinux.status == 0, qPrintable(runs.onLinux.err));
        QCOMPARE(runs.onLinux.out.mid(0, 1), QStringList{"version: Firmware Version:2.4.1"});
        expectLines(runs.onLinux, expected);
        // What the Windows run left stored (compare() checks the Linux run left the same).
        QCOMPARE(hex(sim::storedLeds()), storedLeds);
        QCOMPARE(int(sim::storedPaddle()), storedPaddle);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(runs.onLinux.record.mid(0, startupRecord(77).size()), startupRecord(77));
        compare(runs, featureLength);
    }

    // A firmware upload through the Windows path: every data report and the
    // finish in order, the wheel waited for while it restarts and read again;
    // the wheel gone in the middle (no finish, the wheel waited for), and a
    // wheel that never comes back.
    void firmware_data()
    {
        QTest::addColumn<int>("vanishAt");   // the data report at which the wheel goes, -1: none
        QTest::addColumn<bool>("comesBack");
        QTest::addColumn<QStringList>("expected");
        // The window waits 15 s for a restarting wheel; one that never comes
        // back is given up after 2.

        QTest::newRow("uploaded, the wheel restarts")
            << -1 << true
            << QStringList{"version: Firmware Version:9.9.9", "box: information Notify/Upgrade firmware done."};
        QTest::newRow("the wheel gone at the tenth data report")
            << 10 << true
            << QStringList{"version: Firmware Version:2.4.1", "box: critical Error/Upgrade firmware failed."};
        QTest::newRow("the wheel never comes back")
            << -1 << false << QStringList{"box: information Notify/Upgrade firmware done.", "box: critical Error/No device."};
    }

    void firmware()
    {
        QFETCH(int, vanishAt);
        QFETCH(bool, comesBack);
        QFETCH(QStringList, expected);

        QTemporaryDir dir;
        QByteArray image(1000, '\0');
        for (int i = 0; i < image.size(); ++i)
            image[i] = char((i * 37 + 11) % 251 + 1);
        image.replace(500, 15, QByteArray("VORLA-FW:9.9.9", 15)); // its zero ends the version
        QFile file(dir.filePath(QStringLiteral("fw.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(image) == image.size());
        file.close();

        const int startup = startupRecord(77).size();
        QStringList steps{"upload=" + file.fileName()};
        if (!comesBack)
            steps.prepend(QStringLiteral("reconnect-wait=2000"));
        const Both runs = both(QStringList{QStringLiteral(VORLA_E2E_DRIVER_PATH)} + steps,
                               QStringList{windowsProgram("vorla-e2e-driver.exe")} + steps, {}, [=] {
                                   if (vanishAt > 0)
                                       sim::vanishAtReport(startup + vanishAt, std::chrono::milliseconds(300));
                                   if (!comesBack)
                                       sim::setRebootDuration(std::chrono::hours(1));
                               });
        expectLines(runs.onLinux, expected);
        if (QTest::currentTestFailed())
            return;
        compare(runs, 20, true);
        if (QTest::currentTestFailed())
            return;
        // The upload's reports: data in order, then the finish unless the wheel went.
        const QStringList upload = runs.onWindows.record.mid(startup);
        const int chunks = (int(image.size()) + 15) / 16;
        const int sent = vanishAt > 0 ? vanishAt : chunks;
        for (int chunk = 0; chunk < sent; ++chunk)
            QVERIFY2(upload.value(chunk).startsWith(QStringLiteral("%1set 02 %2 %3")
                                                        .arg(chunk + 1 == vanishAt ? "!" : "")
                                                        .arg(0x80 | chunk >> 8, 2, 16, QLatin1Char('0'))
                                                        .arg(chunk & 0xFF, 2, 16, QLatin1Char('0'))),
                     qPrintable(upload.value(chunk)));
        QCOMPARE(upload.value(sent).startsWith(QLatin1String("set 02 10")), vanishAt < 0);
        if (vanishAt < 0)
            QCOMPARE(sim::firmwareImage(), Bytes(image.begin(), image.end()));
        QCOMPARE(sim::firmwareWrites(), vanishAt < 0 ? 1 : 0);
    }

    // The command line's upgrade, dist's vorla-setting.com --upgrade --yes:
    // the same plain progress lines, reports and new version as on Linux.
    void upgradeCommand()
    {
        QTemporaryDir dir;
        QByteArray image = imageBytes(1000);
        image.replace(500, 15, QByteArray("VORLA-FW:9.9.9", 15)); // its zero ends the version
        const QString path = writeBytes(dir.filePath(QStringLiteral("fw.bin")), image);
        const QStringList arguments{QStringLiteral("--upgrade"), path, QStringLiteral("--yes")};
        Both runs = both(QStringList{QStringLiteral(VORLA_SETTING_PATH)} + arguments,
                         QStringList{windowsProgram("vorla-setting.com")} + arguments, {});
        // Whether a program finds the restarting wheel at once is timing.
        for (Run *run : {&runs.onLinux, &runs.onWindows})
            run->out.removeAll(QStringLiteral("Waiting for the wheel ..."));
        expectLines(runs.onLinux, {"Uploading ... 0 % (0.0 of 1.0 KiB)", "Uploading ... 90 % (0.9 of 1.0 KiB)",
                                   "Writing ...", "Firmware version: 9.9.9"});
        if (QTest::currentTestFailed())
            return;
        compare(runs, 20, true);
        QCOMPARE(sim::firmwareImage(), Bytes(image.begin(), image.end()));
        QCOMPARE(sim::firmwareWrites(), 1);
    }

    // The wheel pulled out while the window is open, and plugged back in: the
    // banner, then the settings read afresh. With no report under way only the
    // watcher can tell: device notifications, as "watcher" shows.
    void hotPlug()
    {
        bool away = false;
        const Run onWindows = run(
            {env("VORLA_WHEEL_RUN"), windowsProgram("vorla-e2e-driver.exe"), windowsProgram("vorla-e2e-driver.exe"),
             "watcher", "away", "back"},
            {}, {}, [&](const QString &line) {
                if (line.startsWith(QLatin1String("version:")) && !away) {
                    sim::clearReceived();
                    bed->unplug();
                } else if (line == QLatin1String("away")) {
                    away = true;
                    sim::setStoredPaddle(33);
                    sim::setVersion("2.5.0");
                    bed->replug();
                }
            });
        QCOMPARE(onWindows.out, (QStringList{"version: Firmware Version:2.4.1", "watcher: vorla::WinWatcher", "away",
                                             "version: Firmware Version:2.5.0"}));
        QCOMPARE(onWindows.record, startupRecord(33));
        QCOMPARE(onWindows.status, 0);
    }
};

int main(int argc, char *argv[])
{
    WheelBed::reexecWithPreload(argv);
    QCoreApplication app(argc, argv);
    privateRuntimeDirectory();
    if (const QString broken = E2eWindowsTest::brokenBuild(); !broken.isEmpty()) {
        std::fprintf(stderr, "FAIL: %s\n", qPrintable(broken));
        return 1;
    }
    if (!E2eWindowsTest::wineInstalled())
        return vorla::test::missingTool("wine", "wine");
    if (const QString why = WheelBed::preloadMissing(); !why.isEmpty()) {
        std::fprintf(stderr, "SKIP: %s\n", qPrintable(why));
        return kSkipped;
    }
    E2eWindowsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_e2e_windows.moc"
