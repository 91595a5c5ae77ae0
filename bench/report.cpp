// The report: runs the children, several times and interleaved, and prints
// minimum, median and maximum of each figure, for the bare window, the build
// from before (when given) and this build, with the ratios to the bare window.

#include "children.h"
#include "probe.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using bench::monotonicNs;

struct Subject {
    QString name;    // "bare", "before", "after"
    QString program; // executable
    QStringList startupArgs;
};

class Series
{
public:
    void add(double value) { values.push_back(value); }
    bool empty() const { return values.empty(); }
    double median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    QString text(int decimals) const
    {
        if (values.empty())
            return QStringLiteral("—");
        if (values.size() == 1)
            return QString::number(values[0], 'f', decimals);
        return QStringLiteral("%1 (%2–%3)")
            .arg(median(), 0, 'f', decimals)
            .arg(min(), 0, 'f', decimals)
            .arg(max(), 0, 'f', decimals);
    }

private:
    std::vector<double> values;
};

// Figures by measure, then by subject.
using Figures = QMap<QString, QMap<QString, Series>>;

QProcessEnvironment platformEnvironment(const QString &platform)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    return env;
}

// Reads standard output lines until one starts with `prefix`; its rest.
QByteArray waitForLine(QProcess &process, const QByteArray &prefix, int timeoutMs)
{
    const qint64 deadline = monotonicNs() + qint64(timeoutMs) * 1000000;
    while (monotonicNs() < deadline) {
        while (process.canReadLine()) {
            const QByteArray line = process.readLine().trimmed();
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        if (process.state() == QProcess::NotRunning)
            return QByteArray();
        process.waitForReadyRead(100);
    }
    return QByteArray();
}

// Values of /proc/<pid>/status fields, in their units (kB, counts).
qint64 statusField(const QString &path, const QByteArray &field)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

qint64 contextSwitches(qint64 pid)
{
    qint64 sum = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString status = tasks.filePath(task + QStringLiteral("/status"));
        sum += statusField(status, "voluntary_ctxt_switches") + statusField(status, "nonvoluntary_ctxt_switches");
    }
    return sum;
}

void stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.write("quit\n");
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

void startup(const Subject &s, const QString &platform, Figures &figures)
{
    QProcess process;
    process.setProcessEnvironment(platformEnvironment(platform));
    process.setStandardErrorFile(QProcess::nullDevice());
    const qint64 started = monotonicNs();
    process.start(s.program, QStringList(s.startupArgs) << QStringLiteral("--exit"));
    const QByteArray paint = waitForLine(process, "paint ", 30000);
    if (!paint.isEmpty())
        figures[QStringLiteral("paint-") + platform][s.name].add((paint.toLongLong() - started) / 1e6);
    if (!process.waitForFinished(10000))
        process.kill();
    process.waitForFinished(1000);
}

void memory(const Subject &s, const QString &platform, Figures &figures)
{
    QProcess process;
    process.setProcessEnvironment(platformEnvironment(platform));
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(s.program, s.startupArgs);
    if (waitForLine(process, "paint ", 30000).isEmpty()) {
        stop(process);
        return;
    }
    const qint64 pid = process.processId();
    const QString status = QStringLiteral("/proc/%1/status").arg(pid);
    QThread::msleep(2000);
    figures[QStringLiteral("rss-shown")][s.name].add(statusField(status, "VmRSS") / 1024.0);
    // Idle: nothing touches the window; every switch is the program waking.
    const qint64 switches = contextSwitches(pid);
    QThread::msleep(3000);
    figures[QStringLiteral("wakeups")][s.name].add(double(contextSwitches(pid) - switches));
    process.write("visit\n");
    if (!waitForLine(process, "visited", 30000).isNull()) {
        QThread::msleep(1000);
        figures[QStringLiteral("rss-visited")][s.name].add(statusField(status, "VmRSS") / 1024.0);
        figures[QStringLiteral("hwm-visited")][s.name].add(statusField(status, "VmHWM") / 1024.0);
    }
    stop(process);
}

// Peak of heap plus allocator overhead over a massif run to the first paint, in MB.
void peakHeap(const Subject &s, const QString &valgrind, Figures &figures)
{
    QTemporaryDir dir;
    const QString out = QDir(dir.path()).filePath(QStringLiteral("massif.out"));
    QProcess process;
    process.setProcessEnvironment(platformEnvironment(QStringLiteral("offscreen")));
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(valgrind, QStringList{QStringLiteral("--tool=massif"), QStringLiteral("--massif-out-file=") + out,
                                        s.program}
                                << s.startupArgs << QStringLiteral("--exit"));
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished(1000);
        return;
    }
    QFile file(out);
    if (!file.open(QIODevice::ReadOnly))
        return;
    qint64 heap = 0, peak = 0;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith("mem_heap_B="))
            heap = line.mid(11).toLongLong();
        else if (line.startsWith("mem_heap_extra_B="))
            peak = std::max(peak, heap + line.mid(17).toLongLong());
    }
    if (peak > 0)
        figures[QStringLiteral("heap-peak")][s.name].add(peak / 1e6);
}

void stalls(const Subject &s, int runs, Figures &figures)
{
    QProcess process;
    process.setProcessEnvironment(platformEnvironment(QStringLiteral("offscreen")));
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(s.program, QStringList{QStringLiteral("--child"), QStringLiteral("stalls"), QStringLiteral("--runs"),
                                         QString::number(runs)});
    if (!process.waitForFinished(600000)) {
        process.kill();
        process.waitForFinished(1000);
    }
    for (const QByteArray &raw : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> f = raw.trimmed().split(' ');
        const QString key = QString::fromLatin1(f.value(0));
        if (key == QLatin1String("idle") || key == QLatin1String("init"))
            figures[QStringLiteral("stall-") + key][s.name].add(f.value(1).toLongLong() / 1e6);
        else if (key == QLatin1String("upload") || key == QLatin1String("reconnect"))
            figures[QStringLiteral("stall-%1-%2").arg(key, QString::fromLatin1(f.value(1)))][s.name].add(
                f.value(2).toLongLong() / 1e6);
        else if (key == QLatin1String("host")) {
            const QString who = f.value(1) == "bare" ? QStringLiteral("bare") : s.name;
            figures[QStringLiteral("host-cpu-") + s.name][who].add(f.value(3).toLongLong() / 1e6);
            figures[QStringLiteral("host-stream-") + s.name][who].add(f.value(4).toLongLong() / 1e6);
        }
    }
}

struct Row {
    QString key;
    QString title;
    int decimals;
    enum Compare { Ratio, Difference, None } compare;
    QString goal;
};

} // namespace

int bench::report(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const auto option = [&](const QString &name, const QString &fallback) {
        const int at = args.indexOf(name);
        return at >= 0 && at + 1 < args.size() ? args.at(at + 1) : fallback;
    };
    const int runs = std::max(1, option(QStringLiteral("--runs"), QStringLiteral("7")).toInt());
    const int memoryRuns = std::max(1, option(QStringLiteral("--memory-runs"), QStringLiteral("3")).toInt());
    const int stallRuns = std::max(1, option(QStringLiteral("--stall-runs"), QStringLiteral("3")).toInt());
    const QString here = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    const QString before = option(QStringLiteral("--before"), QString());
    const QString note = option(QStringLiteral("--note"), QString());
    const QString label = QStringLiteral("Qt ") + QString::fromLatin1(qVersion()) + (note.isEmpty() ? QString() : ", " + note);

    const QStringList childArgs{QStringLiteral("--child"), QStringLiteral("startup")};
    std::vector<Subject> subjects{{QStringLiteral("bare"), option(QStringLiteral("--bare"), here + "/vorla-bench-bare"), {}}};
    if (!before.isEmpty())
        subjects.push_back({QStringLiteral("before"), before + "/vorla-bench", childArgs});
    subjects.push_back({QStringLiteral("after"), QCoreApplication::applicationFilePath(), childArgs});
    for (const Subject &s : subjects)
        if (!QFileInfo(s.program).isExecutable()) {
            std::fprintf(stderr, "no executable %s\n", qPrintable(s.program));
            return 1;
        }

    QStringList platforms{QStringLiteral("offscreen")};
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        platforms.prepend(QStringLiteral("xcb"));

    Figures figures;
    std::fprintf(stderr, "start-up: %d runs each ...\n", runs);
    for (int run = 0; run < runs; ++run)
        for (const QString &platform : platforms)
            for (const Subject &s : subjects)
                startup(s, platform, figures);
    std::fprintf(stderr, "memory and idle wake-ups: %d runs each ...\n", memoryRuns);
    for (int run = 0; run < memoryRuns; ++run)
        for (const Subject &s : subjects)
            memory(s, platforms.first(), figures);
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (!valgrind.isEmpty() && !args.contains(QStringLiteral("--no-massif"))) {
        std::fprintf(stderr, "peak heap under valgrind massif ...\n");
        for (const Subject &s : subjects)
            peakHeap(s, valgrind, figures);
    }
    std::fprintf(stderr, "GUI-thread stalls and upload cost: %d runs ...\n", stallRuns);
    for (const Subject &s : subjects)
        if (s.name != QLatin1String("bare"))
            stalls(s, stallRuns, figures);
    // The host cost rows: each build's upload; the bare loops of this build's run.
    for (const QString &measure : {QStringLiteral("host-cpu"), QStringLiteral("host-stream")}) {
        for (const Subject &s : subjects)
            if (figures.contains(measure + '-' + s.name))
                figures[measure][s.name] = figures[measure + '-' + s.name][s.name];
        if (figures.contains(measure + QStringLiteral("-after")))
            figures[measure][QStringLiteral("bare")] = figures[measure + QStringLiteral("-after")][QStringLiteral("bare")];
    }

    const QString mem = platforms.first();
    const std::vector<Row> rows{
        {"paint-xcb", "start → first paint, xcb (ms)", 1, Row::Ratio, "≤ 1.5×"},
        {"paint-offscreen", "start → first paint, offscreen (ms)", 1, Row::Ratio, "≤ 3×"},
        {"rss-shown", "resident 2 s after showing, " + mem + " (MiB)", 1, Row::Difference, "≤ bare + 12 MiB"},
        {"rss-visited", "resident after visiting every page (MiB)", 1, Row::Difference, ""},
        {"hwm-visited", "peak resident after every page (MiB)", 1, Row::Difference, ""},
        {"heap-peak", "peak heap to the first paint, massif (MB)", 1, Row::Difference, "≤ 26 MB"},
        {"stall-idle", "GUI stall, idle (ms)", 1, Row::None, ""},
        {"stall-init", "GUI stall, start-up read at 1 ms/report (ms)", 1, Row::None, "≤ 16 ms"},
        {"stall-upload-0", "GUI stall, upload at 0 ms/report, 224 KiB (ms)", 1, Row::None, "≤ 16 ms"},
        {"stall-upload-100", "GUI stall, upload at 0.1 ms/report, 64 KiB (ms)", 1, Row::None, "≤ 16 ms"},
        {"stall-upload-1000", "GUI stall, upload at 1 ms/report, 16 KiB (ms)", 1, Row::None, "≤ 16 ms"},
        {"stall-reconnect-1000", "GUI stall, reconnect at 1 ms/report (ms)", 1, Row::None, "≤ 16 ms"},
        {"host-stream", "upload stream, worker's CPU, 224 KiB at 0 ms (ms; bare: a bare loop)", 1, Row::Ratio, "≤ 1.1×"},
        {"host-cpu", "upload, whole process's CPU (ms; bare: the bare loop)", 1, Row::Ratio, ""},
        {"wakeups", "idle wake-ups in 3 s (context switches)", 0, Row::None, "0"},
    };

    const bool withBefore = !before.isEmpty();
    std::printf("%s, %d-core machine; median (min–max) of %d start-ups, %d memory runs, %d stall runs.\n\n",
                qPrintable(label), QThread::idealThreadCount(), runs, memoryRuns, stallRuns);
    std::printf("| | bare window |%s after | %sratio after | goal |\n", withBefore ? " before |" : "",
                withBefore ? "ratio before | " : "");
    std::printf("|---|---|%s---|%s---|---|\n", withBefore ? "---|" : "", withBefore ? "---|" : "");
    const auto compare = [&](const Row &row, const QString &who) -> QString {
        const Series &bare = figures[row.key][QStringLiteral("bare")];
        const Series &it = figures[row.key][who];
        if (it.empty() || bare.empty() || row.compare == Row::None)
            return QString();
        if (row.compare == Row::Ratio)
            return QStringLiteral("%1×").arg(it.median() / bare.median(), 0, 'f', 2);
        return QStringLiteral("+%1").arg(it.median() - bare.median(), 0, 'f', 1);
    };
    for (const Row &row : rows) {
        if (!figures.contains(row.key))
            continue;
        std::printf("| %s | %s |", qPrintable(row.title), qPrintable(figures[row.key]["bare"].text(row.decimals)));
        if (withBefore)
            std::printf(" %s |", qPrintable(figures[row.key]["before"].text(row.decimals)));
        std::printf(" %s |", qPrintable(figures[row.key]["after"].text(row.decimals)));
        if (withBefore)
            std::printf(" %s |", qPrintable(compare(row, QStringLiteral("before"))));
        std::printf(" %s | %s |\n", qPrintable(compare(row, QStringLiteral("after"))), qPrintable(row.goal));
    }
    return 0;
}
