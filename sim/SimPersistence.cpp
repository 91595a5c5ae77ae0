// Linked into vorla-setting-sim only: the simulated wheel keeps its stored
// settings in a small file, so that a stored setting lasts from one run of the
// program to the next. VORLA_SIM_STATE names the file; by default it lives in
// the user's state directory.

#include "sim/SimWheel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

namespace {

QString statePath()
{
    const QString chosen = qEnvironmentVariable("VORLA_SIM_STATE");
    if (!chosen.isEmpty())
        return chosen;
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/vorla-setting-sim/wheel.state");
}

const bool persistenceEnabled = [] {
    const QString path = statePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    sim::enablePersistence(QFile::encodeName(path).toStdString());
    return true;
}();

} // namespace
