#include "app/CommandLine.h"

#include "device/WheelSession.h"
#include "device/send.h"
#include "device/store.h"
#include "profile/profile.h"
#include "device/escaped.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

const char *const kExitStatuses[] = {
    QT_TRANSLATE_NOOP("CommandLine", "done"),
    QT_TRANSLATE_NOOP("CommandLine", "the profile file could not be written"),
    QT_TRANSLATE_NOOP("CommandLine", "wrong use of the options"),
    QT_TRANSLATE_NOOP("CommandLine", "no wheel is plugged in"),
    QT_TRANSLATE_NOOP("CommandLine", "a wheel is plugged in, but this user may not open it"),
    QT_TRANSLATE_NOOP("CommandLine", "the profile can not be read or is not valid"),
    QT_TRANSLATE_NOOP("CommandLine", "the wheel refused a report or did not answer"),
};
static_assert(sizeof(kExitStatuses) / sizeof(*kExitStatuses) == CommandLine::WheelRefused + 1,
              "every exit status is described");

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
           "Without an option it opens its window; with one of --info, --export or --apply\n"
           "it works without a window."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption info(QStringLiteral("info"),
                                  tr("Print the firmware version, the paddle setting and the 26 LED colours."));
    const QCommandLineOption json(QStringLiteral("json"), tr("With --info: print them as a profile (JSON)."));
    const QCommandLineOption exportTo(QStringLiteral("export"), tr("Write the wheel's settings to <file> as a profile."),
                                      tr("file"));
    const QCommandLineOption apply(QStringLiteral("apply"), tr("Preview the profile in <file> on the wheel."), tr("file"));
    const QCommandLineOption store(QStringLiteral("store"), tr("With --apply: store the profile in the wheel."));
    parser.addOptions({info, json, exportTo, apply, store});

    if (!parser.parse(arguments))
        return fail(UsageError, parser.errorText());
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        out << parser.helpText() << '\n' << tr("Exit status:") << '\n';
        for (int status = Ok; status <= WheelRefused; ++status)
            out << "  " << status << "  " << tr(kExitStatuses[status]) << '\n';
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
    if (int(parser.isSet(info)) + int(parser.isSet(exportTo)) + int(parser.isSet(apply)) != 1)
        return fail(UsageError, tr("Give one of --info, --export or --apply (see --help)."));
    if (parser.isSet(json) && !parser.isSet(info))
        return fail(UsageError, tr("--json goes with --info only."));
    if (parser.isSet(store) && !parser.isSet(apply))
        return fail(UsageError, tr("--store goes with --apply only."));

    int status = Ok;
    if (parser.isSet(info))
        status = this->info(parser.isSet(json));
    else if (parser.isSet(exportTo))
        status = this->exportTo(parser.value(exportTo));
    else
        status = this->apply(parser.value(apply), parser.isSet(store));
    vorla::connection::close();
    out.flush();
    return status;
}

int CommandLine::open()
{
    return openStatus(vorla::connection::open());
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
        return fail(BadProfile, message);
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

int CommandLine::exec(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // The program is a GUI program on Windows and gets no console of its
    // own. Started through its console launcher (vorla-setting.com) it
    // inherits the launcher's standard handles, redirections included, and
    // keeps them; started as vorla-setting.exe from a console it has none,
    // and borrows that console so that its output is seen at all.
    const HANDLE standardOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    const bool hasOutput = standardOutput && standardOutput != INVALID_HANDLE_VALUE
                           && GetFileType(standardOutput) != FILE_TYPE_UNKNOWN;
    if (!hasOutput && AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE *stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
#endif
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = CommandLine(out, err).run(QCoreApplication::arguments());
    vorla::connection::shutdown();
    return status;
}
