#include "app/CommandLine.h"

#include "app/InterruptGuard.h"
#include "app/UpgradeProgress.h"
#include "device/escaped.h"
#include "device/firmware.h"
#include "device/firmwarefile.h"
#include "device/send.h"
#include "device/store.h"
#include "device/upgradelock.h"
#include "profile/profile.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTextStream>

#include <cstdio>
#include <optional>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

const char *const kExitStatuses[] = {
    QT_TRANSLATE_NOOP("CommandLine", "done"),
    QT_TRANSLATE_NOOP("CommandLine", "the profile file could not be written"),
    QT_TRANSLATE_NOOP("CommandLine", "wrong use of the options"),
    QT_TRANSLATE_NOOP("CommandLine", "no wheel is plugged in"),
    QT_TRANSLATE_NOOP("CommandLine", "a wheel is plugged in, but this user may not open it"),
    QT_TRANSLATE_NOOP("CommandLine", "the file given (profile or firmware image) cannot be read or is not valid"),
    QT_TRANSLATE_NOOP("CommandLine", "the wheel refused a report or did not answer, or did not keep what was stored;\n"
                                     "also: another instance is upgrading the wheel"),
    QT_TRANSLATE_NOOP("CommandLine", "the wheel did not come back after the upgrade"),
};
static_assert(sizeof(kExitStatuses) / sizeof(*kExitStatuses) == CommandLine::WheelNotBack + 1,
              "every exit status is described");

// Whether a standard stream is a terminal (a console on Windows).
bool isTerminal(FILE *stream)
{
#ifdef Q_OS_WIN
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))), &mode) != 0;
#else
    return ::isatty(::fileno(stream)) == 1;
#endif
}

} // namespace

bool CommandLine::requested(const QStringList &arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-h")
            || argument == QLatin1String("-?") || argument == QLatin1String("-v"))
            return true;
    }
    return false;
}

bool CommandLine::requested(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return requested(arguments);
}

CommandLine::CommandLine(QTextStream &out, QTextStream &err)
    : out(out)
    , err(err)
{
}

CommandLine::~CommandLine() = default;

int CommandLine::fail(Status status, const QString &message)
{
    // A message may quote a file name, an argument or a profile: whatever
    // reached it, no control character reaches the terminal.
    err << vorla::escaped(message) << '\n';
    err.flush();
    return status;
}

int CommandLine::run(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one unknown option, not eight unknown letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        tr("Vorla Setting: the LED colours, paddles and firmware of the Vorla Z-ARC wheel.\n"
           "Without an option it opens its window; with one of --info, --export, --apply or\n"
           "--upgrade it works without a window."));
    // Not Qt's help option, which brings --help-all for Qt's options: they
    // are the window's, and a command opens none.
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help")},
                                  tr("Show this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption info(QStringLiteral("info"),
                                  tr("Print the firmware version, the paddle setting and the 26 LED colours."));
    const QCommandLineOption json(QStringLiteral("json"), tr("With --info: print them as a profile (JSON)."));
    const QCommandLineOption exportTo(QStringLiteral("export"), tr("Write the wheel's settings to <file> as a profile."),
                                      tr("file"));
    const QCommandLineOption apply(QStringLiteral("apply"), tr("Preview the profile in <file> on the wheel."), tr("file"));
    const QCommandLineOption store(QStringLiteral("store"), tr("With --apply: store the profile in the wheel."));
    const QCommandLineOption upgradeFrom(QStringLiteral("upgrade"),
                                         tr("Write the firmware image in <file> (a .bin file) into the wheel. On a "
                                            "terminal it asks first."),
                                         tr("file"));
    const QCommandLineOption yes(QStringLiteral("yes"), tr("With --upgrade: upgrade without asking (for scripts)."));
    parser.addOptions({info, json, exportTo, apply, store, upgradeFrom, yes});

    if (!parser.parse(arguments))
        return fail(UsageError, parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText() << '\n' << tr("Exit status:") << '\n';
        for (int status = Ok; status <= WheelNotBack; ++status)
            out << "  " << status << "  " << tr(kExitStatuses[status]).replace(QLatin1Char('\n'), QLatin1String("\n     "))
                << '\n';
        out << '\n'
            << tr("Examples:\n"
                  "  vorla-setting --export my-wheel.json         save the settings as a profile\n"
                  "  vorla-setting --apply my-wheel.json --store  store a profile in the wheel\n"
                  "  vorla-setting --upgrade firmware.bin         upgrade, after a question\n"
                  "\n"
                  "More in the manual page (man vorla-setting); the profile format is described in\n"
                  "docs/profile-format.md.")
            << '\n';
        out.flush();
        return Ok;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QStringLiteral(VORLA_VERSION) << '\n'
            << tr("Copyright (C) 2026 The Vorla Setting developers\n"
                  "License GPL-3.0-or-later: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
                  "This is free software: you are free to change and redistribute it.\n"
                  "There is NO WARRANTY, to the extent permitted by law.")
            << '\n';
        out.flush();
        return Ok;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(UsageError, tr("Unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    if (int(parser.isSet(info)) + int(parser.isSet(exportTo)) + int(parser.isSet(apply)) + int(parser.isSet(upgradeFrom))
        != 1)
        return fail(UsageError, tr("Give one of --info, --export, --apply or --upgrade (see --help)."));
    if (parser.isSet(json) && !parser.isSet(info))
        return fail(UsageError, tr("--json goes with --info only."));
    if (parser.isSet(store) && !parser.isSet(apply))
        return fail(UsageError, tr("--store goes with --apply only."));
    if (parser.isSet(yes) && !parser.isSet(upgradeFrom))
        return fail(UsageError, tr("--yes goes with --upgrade only."));

    int status = Ok;
    if (parser.isSet(info))
        status = this->info(parser.isSet(json));
    else if (parser.isSet(exportTo))
        status = this->exportTo(parser.value(exportTo));
    else if (parser.isSet(apply))
        status = this->apply(parser.value(apply), parser.isSet(store));
    else
        status = upgradeFirmware(parser.value(upgradeFrom), parser.isSet(yes));
    vorla::connection::close();
    out.flush();
    return status;
}

int CommandLine::open()
{
    if (vorla::upgradelock::heldElsewhere())
        return otherUpgrade();
    return openStatus(vorla::connection::open());
}

int CommandLine::otherUpgrade()
{
    return fail(WheelRefused, tr("Another Vorla Setting is upgrading the wheel's firmware: nothing was sent. "
                                 "Try again once it is done."));
}

int CommandLine::openStatus(vorla::connection::OpenResult opened)
{
    switch (opened) {
    case vorla::connection::OpenResult::Opened:
        return Ok;
    case vorla::connection::OpenResult::NoDevice:
        return fail(NoWheel, tr("No device."));
    case vorla::connection::OpenResult::PermissionDenied:
        return fail(PermissionDenied, tr("Permission denied: the wheel is plugged in, but this user may not open it."));
    }
    return fail(NoWheel, tr("No device."));
}

int CommandLine::read(vorla::WheelSettings &settings)
{
    // The window's session opens and reads the wheel the same way.
    if (vorla::upgradelock::heldElsewhere())
        return otherUpgrade();
    const vorla::WheelLook look = vorla::openAndRead();
    if (const int status = openStatus(look.opened))
        return status;
    if (!look.settings)
        return fail(WheelRefused, tr("Can not read setting: the wheel did not answer."));
    settings = *look.settings;
    return Ok;
}

int CommandLine::info(bool json)
{
    vorla::WheelSettings settings;
    if (const int status = read(settings))
        return status;
    const vorla::Profile profile = vorla::profileFromSettings(settings);
    if (json) {
        out << QString::fromUtf8(vorla::profileToJson(profile));
        return Ok;
    }
    out << tr("Firmware version: %1").arg(profile.firmware) << '\n';
    if (vorla::paddleCombined(profile.paddle))
        out << tr("Paddles: combined, bite point %1").arg(int(profile.paddle)) << '\n';
    else
        out << tr("Paddles: not combined") << '\n';
    out << tr("LED colours (slot, button, colour):") << '\n';
    for (std::size_t slot = 0; slot < vorla::kLedCount; ++slot)
        out << QStringLiteral("  %1  %2  %3\n")
                   .arg(int(slot), 2)
                   .arg(QLatin1String(vorla::kLedSlotButtons[slot]), -3)
                   .arg(vorla::colorText(profile.leds[slot]));
    return Ok;
}

int CommandLine::exportTo(const QString &path)
{
    vorla::WheelSettings settings;
    if (const int status = read(settings))
        return status;
    QString message;
    if (!vorla::writeProfile(path, vorla::profileFromSettings(settings), &message))
        return fail(FileNotWritten, message);
    return Ok;
}

int CommandLine::apply(const QString &path, bool store)
{
    // The whole file is checked before anything is sent.
    QString message;
    const std::optional<vorla::Profile> profile = vorla::readProfile(path, &message);
    if (!profile)
        return fail(BadFile, message);
    if (const int status = open())
        return status;

    if (store)
        return storeChecked(*profile);
    if (!vorla::sendLeds(profile->leds, false))
        return fail(WheelRefused, tr("The wheel refused a report: the LED colours were not previewed."));
    out << tr("LED colours previewed.") << '\n';
    out.flush();
    if (!vorla::sendPaddle(profile->paddle, false))
        return fail(WheelRefused, tr("The wheel refused a report: the paddle setting was not previewed."));
    out << tr("Paddle setting previewed.") << '\n';
    return Ok;
}

int CommandLine::storeChecked(const vorla::Profile &profile)
{
    // Each store is read back: a wheel that accepted it but did not keep it
    // fails like one that refused it.
    switch (vorla::storeLedsChecked(profile.leds).outcome) {
    case vorla::StoreOutcome::Kept:
        break;
    case vorla::StoreOutcome::NotSent:
        return fail(WheelRefused, tr("The wheel refused a report: the LED colours were not stored."));
    case vorla::StoreOutcome::NotAnswered:
        return fail(WheelRefused,
                    tr("The wheel did not answer when asked what it stores: the LED colours may not be stored."));
    case vorla::StoreOutcome::NotKept:
        return fail(WheelRefused, tr("The wheel did not keep the LED colours: it still stores others."));
    }
    out << tr("LED colours stored.") << '\n';
    out.flush();
    switch (vorla::storePaddleChecked(profile.paddle).outcome) {
    case vorla::StoreOutcome::Kept:
        break;
    case vorla::StoreOutcome::NotSent:
        return fail(WheelRefused, tr("The wheel refused a report: the paddle setting was not stored."));
    case vorla::StoreOutcome::NotAnswered:
        return fail(WheelRefused,
                    tr("The wheel did not answer when asked what it stores: the paddle setting may not be stored."));
    case vorla::StoreOutcome::NotKept:
        return fail(WheelRefused, tr("The wheel did not keep the paddle setting: it still stores another."));
    }
    out << tr("Paddle setting stored.") << '\n';
    return Ok;
}

int CommandLine::upgradeFirmware(const QString &path, bool yes)
{
    // The whole image is read and checked once, before the wheel is opened;
    // those very bytes are shown and sent.
    using Problem = vorla::FirmwareFile::Problem;
    const vorla::FirmwareFile file = vorla::readFirmwareFile(path);
    switch (file.problem) {
    case Problem::None:
        break;
    case Problem::Name:
        return fail(BadFile, tr("%1: not a firmware image: its name does not end in .bin").arg(path));
    case Problem::Unreadable:
        return fail(BadFile, tr("%1: can not be read: %2").arg(path, file.reason));
    case Problem::Size:
        return fail(BadFile, tr("%1: not a firmware image: it holds %2 bytes; the wheel takes 1 to %3")
                                 .arg(path)
                                 .arg(file.size)
                                 .arg(vorla::kMaxFirmwareSize));
    case Problem::Content:
        return fail(BadFile, path + QStringLiteral(": ") + vorla::notAnImageMessage(file.content));
    }
    if (!yes && !in)
        return fail(UsageError, tr("Not asked: this is no terminal. Give --yes to upgrade without the question."));

    vorla::WheelSession session;
    if (reconnectWait)
        session.setReconnectWait(*reconnectWait);
    std::optional<vorla::WheelSettings> read;
    std::optional<vorla::WheelSession::Failure> failure;
    QObject context;
    QObject::connect(&session, &vorla::WheelSession::settingsRead, &context,
                     [&](const vorla::WheelSettings &settings) { read = settings; });
    QObject::connect(&session, &vorla::WheelSession::failed, &context,
                     [&](vorla::WheelSession::Failure why) { failure = why; });
    // At start-up the session reads at once, fails at once, or finds another
    // instance upgrading the wheel.
    session.connectWheel();
    if (session.state() == vorla::WheelSession::State::OtherUpgrade)
        return otherUpgrade();
    if (failure == vorla::WheelSession::Failure::NoDevice)
        return openStatus(vorla::connection::OpenResult::NoDevice);
    if (failure == vorla::WheelSession::Failure::PermissionDenied)
        return openStatus(vorla::connection::OpenResult::PermissionDenied);
    if (!read)
        return fail(WheelRefused, tr("Can not read setting: the wheel did not answer."));

    if (!yes && !confirmed(path, file, read->version)) {
        out << tr("The firmware was not upgraded.") << '\n';
        return Ok;
    }
    if (!session.beginTransfer())
        return otherUpgrade();
    return transfer(session, file.image);
}

bool CommandLine::confirmed(const QString &path, const vorla::FirmwareFile &file, const QString &version)
{
    out << tr("Upgrade the wheel's firmware %1 with %2 (%3 bytes, SHA-256 %4)? [y/N] ")
               .arg(version, vorla::escaped(path))
               .arg(file.size)
               .arg(file.sha256());
    out.flush();
    const QString answer = in->readLine().trimmed().toLower();
    return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

int CommandLine::transfer(vorla::WheelSession &session, const QByteArray &image)
{
    QEventLoop loop;
    int status = Ok;
    bool failedTransfer = false;
    bool waitingTold = false;
    int lastValue = -1;
    int tenthShown = -1;
    int barLength = 0; // of the bar on the terminal's line, 0: none there
    QElapsedTimer elapsed;

    const auto endBar = [&] {
        if (barLength > 0)
            out << '\n';
        barLength = 0;
    };
    const auto finish = [&](int result, const QString &message = QString()) {
        endBar();
        status = message.isEmpty() ? result : fail(Status(result), message);
        loop.exit();
    };

    // Ctrl+C and SIGTERM are held off while the worker runs: the wheel must
    // get the whole image or none of it.
    auto guard = std::make_unique<InterruptGuard>();
    QObject::connect(guard.get(), &InterruptGuard::interrupted, &loop, [&] {
        endBar();
        err << vorla::escaped(tr("The firmware upgrade cannot be interrupted; it ends in about %1 s.")
                                  .arg(upgradeprogress::secondsLeft(lastValue, elapsed.elapsed(),
                                                                    upgrade.writingStepDuration().count())))
            << '\n';
        err.flush();
    });
    QObject::connect(&upgrade, &QThread::finished, &loop, [&] { guard.reset(); });

    QObject::connect(&upgrade, &VorlaUpgrade::progress, &loop, [&](int value) {
        if (value < 0) {
            failedTransfer = true;
            session.transferFinished(false);
            return;
        }
        lastValue = value;
        if (value == vorla::kProgressDone) {
            endBar();
            session.transferFinished(true);
            return;
        }
        if (in) {
            const QString line = upgradeprogress::bar(value, image.size());
            out << '\r' << line.leftJustified(barLength);
            barLength = line.size();
        } else if (const QString line = upgradeprogress::plainLine(value, image.size(), tenthShown); !line.isEmpty()) {
            out << line << '\n';
        }
        out.flush();
    });
    QObject::connect(&upgrade, &VorlaUpgrade::invalidImage, &loop, [&] {
        session.transferAbandoned();
        finish(BadFile, tr("Not a valid firmware."));
    });
    QObject::connect(&session, &vorla::WheelSession::waitingAfterUpgrade, &loop, [&](bool waiting) {
        if (waiting && !waitingTold) {
            waitingTold = true;
            out << tr("Waiting for the wheel ...") << '\n';
            out.flush();
        }
    });
    QObject::connect(&session, &vorla::WheelSession::settingsRead, &loop, [&](const vorla::WheelSettings &settings) {
        if (failedTransfer)
            return finish(WheelRefused, tr("The wheel refused a report: the firmware upgrade failed."));
        out << tr("Upgrade firmware done.") << '\n' << tr("Firmware version: %1").arg(settings.version) << '\n';
        finish(Ok);
    });
    QObject::connect(&session, &vorla::WheelSession::wheelLeft, &loop, [&] {
        finish(WheelRefused, tr("The wheel went away during the upgrade: the firmware upgrade failed."));
    });
    QObject::connect(&session, &vorla::WheelSession::failed, &loop, [&](vorla::WheelSession::Failure why) {
        if (why == vorla::WheelSession::Failure::PermissionDenied)
            return finish(openStatus(vorla::connection::OpenResult::PermissionDenied));
        finish(WheelNotBack, failedTransfer ? tr("The wheel refused a report, and did not come back.")
                                            : tr("The wheel did not come back after the upgrade. Plug it out and in "
                                                 "again, then check its firmware version with --info."));
    });

    elapsed.start();
    upgrade.setImage(image);
    upgrade.start();
    loop.exec();
    upgrade.wait();
    return status;
}

int CommandLine::exec(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // The program is a GUI program on Windows and gets no console of its
    // own. Started through its console launcher (vorla-setting.com) it
    // inherits the launcher's standard handles, redirections included, and
    // keeps them; started as vorla-setting.exe from a console it has none,
    // and borrows that console so that its output is seen at all. Either way
    // it joins the console it was started from, so that Ctrl+C there reaches
    // it: it decides itself whether to end (not while the wheel takes a
    // firmware image), and the launcher leaves that to it.
    const HANDLE standardOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool hasOutput = standardOutput && standardOutput != INVALID_HANDLE_VALUE
                           && GetFileType(standardOutput) != FILE_TYPE_UNKNOWN;
    const bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
    if (!hasOutput && attached) {
        FILE *stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
#endif
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTextStream in(stdin);
    CommandLine command(out, err);
    if (isTerminal(stdin) && isTerminal(stdout))
        command.setTerminal(&in);
    const int status = command.run(QCoreApplication::arguments());
    vorla::connection::shutdown();
    return status;
}
