#pragma once
// Runs the program's command line in the test's process, as if started with
// the given options, and keeps what it printed.

#include "app/CommandLine.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

struct CommandRun {
    int status = -1;
    QString out;
    QString err;
};

// `prepare` sets the command up before it runs (its waits, a terminal).
inline CommandRun runCommand(const QStringList &options, const std::function<void(CommandLine &)> &prepare = {})
{
    CommandRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    CommandLine command(out, err);
    if (prepare)
        prepare(command);
    run.status = command.run(QStringList{QStringLiteral("vorla-setting")} + options);
    out.flush();
    err.flush();
    return run;
}
