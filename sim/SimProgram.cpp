// Linked into vorla-setting-sim only:
// - the simulated wheel keeps its stored settings in a small file, so that a
//   stored setting lasts from one run of the program to the next.
//   VORLA_SIM_STATE names the file; by default it lives in the user's state
//   directory. The lock held while a firmware image goes to the wheel
//   (device/upgradelock.h) lies beside it: it guards this wheel, not a real one;
// - VORLA_SIM_EVENTS plugs the wheel in and out while the program runs (see
//   sim::runEventScript), e.g. "unplug@5s plug@8s".

#include "sim/SimWheel.h"
#include "device/escaped.h"
#include "device/upgradelock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdio>

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

const bool simulatedWheelReady = [] {
    const QString path = statePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    sim::enablePersistence(QFile::encodeName(path).toStdString()); // says itself what went wrong
    vorla::upgradelock::setPath(QFileInfo(path).absolutePath() + QStringLiteral("/upgrade.lock"));

    const std::string problem = sim::runEventScript(qEnvironmentVariable("VORLA_SIM_EVENTS").toStdString());
    // The problem quotes the script, which may hold anything: a line's worth, escaped.
    constexpr int kShownProblemLength = 4 * vorla::kShownValueLength;
    if (!problem.empty())
        std::fprintf(stderr, "vorla-setting-sim: VORLA_SIM_EVENTS ignored: %s\n",
                     qUtf8Printable(vorla::escaped(QString::fromStdString(problem), kShownProblemLength)));
    return true;
}();

} // namespace
