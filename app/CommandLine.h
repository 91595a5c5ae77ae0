#pragma once
// The program's command line: read the wheel's settings, export them as a
// profile, apply a profile (preview, or store with --store), or upgrade the
// wheel's firmware, without a window. main hands over to it when the
// arguments ask for a command, before any GUI is built, so it works without a
// display. It talks to the wheel through the same device code as the window:
// the connection, the wheel session and the firmware worker.

#include "device/WheelSession.h"
#include "device/connection.h"
#include "device/query.h"
#include "upgrade/VorlaUpgrade.h"

#include <QCoreApplication>
#include <QStringList>

#include <chrono>
#include <optional>

class QTextStream;

namespace vorla {
struct FirmwareFile;
struct Profile;
}

class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)

public:
    // Exit statuses, listed in --help and the README.
    enum Status {
        Ok = 0,
        FileNotWritten = 1,   // --export could not write its file
        UsageError = 2,       // unknown option, missing value, options that do not go together
        NoWheel = 3,          // no wheel is plugged in
        PermissionDenied = 4, // a wheel is plugged in, but this user may not open it
        BadFile = 5,          // the profile or firmware image could not be read or is not valid
        WheelRefused = 6,     // the wheel refused a report, did not answer or did not keep a
                              // store; or another instance is upgrading it
        WheelNotBack = 7,     // the wheel did not come back after a firmware upgrade
    };

    // Whether the arguments (the program's name first) ask for the command
    // line rather than the window: any argument starting with "--", or -h, -?
    // or -v. Qt's own single-dash options (-platform, -style) leave the window.
    static bool requested(const QStringList &arguments);
    static bool requested(int argc, char *argv[]);

    // Output goes to `out`; a failure is one line on `err`.
    CommandLine(QTextStream &out, QTextStream &err);
    ~CommandLine();

    // Standard input and output are a terminal: questions are asked and
    // answered on `in`, and progress is a bar redrawn on one line.
    void setTerminal(QTextStream *in) { this->in = in; }

    // The firmware worker, and how long the wheel may take to come back
    // after an upgrade, for tests that hurry their waits.
    VorlaUpgrade &upgradeWorker() { return upgrade; }
    void setReconnectWait(std::chrono::milliseconds wait) { reconnectWait = wait; }

    // Runs what the arguments ask for; returns the exit status.
    int run(const QStringList &arguments);

    // The whole program in command-line mode, for main: a QCoreApplication,
    // run() on standard output and error, and the connection shut down.
    static int exec(int argc, char *argv[]);

private:
    int info(bool json);
    int exportTo(const QString &path);
    int apply(const QString &path, bool store);
    int upgradeFirmware(const QString &path, bool yes);
    // The question before an upgrade, answered on the terminal.
    bool confirmed(const QString &path, const vorla::FirmwareFile &file, const QString &version);
    // The transfer and the wait for the wheel, once the lock is held.
    int transfer(vorla::WheelSession &session, const QByteArray &image);
    // Stores the profile's LEDs, then its paddle setting, each read back.
    int storeChecked(const vorla::Profile &profile);
    // Opens the wheel: Ok, or the failure said.
    int open();
    int openStatus(vorla::connection::OpenResult opened);
    // Status 6 and its line when another instance upgrades the wheel.
    int otherUpgrade();
    // open(), then everything the wheel stores.
    int read(vorla::WheelSettings &settings);
    int fail(Status status, const QString &message);

    QTextStream &out;
    QTextStream &err;
    QTextStream *in = nullptr;
    VorlaUpgrade upgrade;
    std::optional<std::chrono::milliseconds> reconnectWait;
};
