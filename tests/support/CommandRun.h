#pragma once
// Runs the program's command line in the test's process, as if started with
// the given options, and keeps what it printed.

#include "app/CommandLine.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

struct CommandRun {
    int status = -1;
    QString out;
    QString err;
};

inline CommandRun runCommand(const QStringList &options)
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = CommandLine(out, err).run(QStringList{QStringLiteral("vorla-setting")} + options);
    out.flush();
    err.flush();
    return run;
}
