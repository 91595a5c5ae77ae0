#pragma once
// The program's command line: read the wheel's settings, export them as a
// profile, or apply a profile (preview, or store with --store), without a
// window. main hands over to it when the arguments ask for a command, before
// any GUI is built, so it works without a display. It talks to the wheel
// through the same device code as the window.

#include "device/connection.h"
#include "device/query.h"

#include <QCoreApplication>
#include <QStringList>

class QTextStream;

namespace vorla {
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
        BadProfile = 5,       // the profile could not be read or is not valid
        WheelRefused = 6,     // the wheel refused a report or did not answer a query
    };

    // Whether the arguments (the program's name first) ask for the command
    // line rather than the window: any argument starting with "--", or -h, -?
    // or -v. Qt's own single-dash options (-platform, -style) leave the window.
    static bool requested(const QStringList &arguments);
    static bool requested(int argc, char *argv[]);

    // Output goes to `out`; a failure is one line on `err`.
    CommandLine(QTextStream &out, QTextStream &err);

    // Runs what the arguments ask for; returns the exit status.
    int run(const QStringList &arguments);

    // The whole program in command-line mode, for main: a QCoreApplication,
    // run() on standard output and error, and the connection shut down.
    static int exec(int argc, char *argv[]);

private:
    int info(bool json);
    int exportTo(const QString &path);
    int apply(const QString &path, bool store);
    // Stores the profile's LEDs, then its paddle setting, each read back.
    int storeChecked(const vorla::Profile &profile);
    // Opens the wheel: Ok, or the failure said.
    int open();
    int openStatus(vorla::connection::OpenResult opened);
    // open(), then everything the wheel stores.
    int read(vorla::WheelSettings &settings);
    int fail(Status status, const QString &message);

    QTextStream &out;
    QTextStream &err;
};
