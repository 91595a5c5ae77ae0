// The stalls child: how long the GUI thread cannot answer while the program
// works with the wheel, and what an upload costs the host.
//
// A precise 2 ms timer stands for everything the GUI thread has to answer
// (input, paints); how late it fires is the stall. An upload is timed from the
// click to the worker's last value (the box that follows is not the upload's);
// the reconnect from that box's answer until the page is idle again.

#include "children.h"
#include "probe.h"

#include "app/MainWindow.h"
#include "device/connection.h"
#include "device/firmware.h"
#include "sim/SimWheel.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <ctime>

namespace {

using bench::monotonicNs;

constexpr int kProbeIntervalMs = 2;

qint64 cpuNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
qint64 processCpuNs() { return cpuNs(CLOCK_PROCESS_CPUTIME_ID); }
qint64 threadCpuNs() { return cpuNs(CLOCK_THREAD_CPUTIME_ID); }

class StallProbe : public QObject
{
public:
    StallProbe()
    {
        timer.setTimerType(Qt::PreciseTimer);
        timer.setInterval(kProbeIntervalMs);
        connect(&timer, &QTimer::timeout, this, [this] {
            const qint64 now = monotonicNs();
            gaps.push_back({last, now});
            last = now;
        });
        last = monotonicNs();
        timer.start();
    }
    void stop() { timer.stop(); }

    // The longest lateness of a tick whose wait overlapped [from, to].
    qint64 longest(qint64 from, qint64 to) const
    {
        qint64 worst = 0;
        for (const Gap &gap : gaps)
            if (gap.end > from && gap.begin < to)
                worst = std::max(worst, gap.end - gap.begin - kProbeIntervalMs * 1000000LL);
        return worst;
    }

private:
    struct Gap {
        qint64 begin, end;
    };
    QTimer timer;
    std::vector<Gap> gaps;
    qint64 last = 0;
};

// Answers every box at once and notes when it did.
class BoxAnswerer : public QObject
{
public:
    BoxAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                dialog->done(0);
                answeredAt = monotonicNs();
            }
        });
        timer.start(5);
    }
    qint64 answeredAt = 0;

private:
    QTimer timer;
};

struct Bench {
    MainWindow &window;
    StallProbe &probe;
    BoxAnswerer &answerer;
    QString imageDir;

    template <typename W>
    W *child(const char *name) const
    {
        return window.findChild<W *>(QLatin1String(name));
    }

    QString image(int size) const
    {
        const QString path = QDir(imageDir).filePath(QStringLiteral("image%1.bin").arg(size));
        QFile file(path);
        if (!file.exists() && file.open(QIODevice::WriteOnly)) {
            QByteArray bytes(size, '\0');
            for (int i = 0; i < size; ++i)
                bytes[i] = char(i * 31 + 7);
            file.write(bytes);
        }
        return path;
    }

    // The page idle again after a transfer: controls back, the wheel open.
    bool waitSettled(int opensBefore) const
    {
        const qint64 deadline = monotonicNs() + 60LL * 1000000000;
        while (monotonicNs() < deadline) {
            if (!window.upgradeWorker().isRunning() && sim::openCount() > opensBefore
                && vorla::connection::isOpen() && child<QLabel>("lbUpgrade")->isHidden()
                && child<QPushButton>("pbUpgrade")->isEnabled())
                return true;
            bench::spin(5);
        }
        return false;
    }

    struct Upload {
        qint64 clicked = 0, lastValue = 0, finished = 0, settled = 0;
        qint64 cpuClicked = 0, cpuFinished = 0;
        qint64 workerCpu = 0; // the worker thread's own CPU time
        bool ok = false;
    };

    Upload upload(int size)
    {
        Upload run;
        std::atomic<qint64> lastValue{0}, finished{0}, cpuFinished{0}, workerStart{0}, workerCpu{0};
        VorlaUpgrade &worker = window.upgradeWorker();
        const auto onStarted = QObject::connect(&worker, &QThread::started, &worker, [&] {
            workerStart = threadCpuNs();
        }, Qt::DirectConnection);
        const auto onValue = QObject::connect(&worker, &VorlaUpgrade::progress, &worker, [&](int value) {
            if (value == vorla::kProgressDone || value < 0)
                lastValue = monotonicNs();
        }, Qt::DirectConnection);
        const auto onFinished = QObject::connect(&worker, &QThread::finished, &worker, [&] {
            cpuFinished = processCpuNs();
            finished = monotonicNs();
            workerCpu = threadCpuNs() - workerStart;
        }, Qt::DirectConnection);
        child<QLineEdit>("lePath")->setText(image(size));
        const int opens = sim::openCount();
        run.cpuClicked = processCpuNs();
        run.clicked = monotonicNs();
        child<QPushButton>("pbUpgrade")->click();
        run.ok = waitSettled(opens);
        run.settled = monotonicNs();
        QObject::disconnect(onStarted);
        QObject::disconnect(onValue);
        QObject::disconnect(onFinished);
        run.lastValue = lastValue;
        run.finished = finished;
        run.cpuFinished = cpuFinished;
        run.workerCpu = workerCpu;
        return run;
    }
};

// The same data reports as an upload of `size` bytes, sent in a plain loop on
// a thread of its own; on a fresh handle, so that the wheel starts a new image.
void bareLoop(int size, qint64 &wall, qint64 &cpu, qint64 &threadCpu)
{
    std::vector<std::uint8_t> data(std::size_t(size), 0);
    for (int i = 0; i < size; ++i)
        data[std::size_t(i)] = std::uint8_t(i * 31 + 7);
    vorla::connection::open();
    const qint64 cpu0 = processCpuNs();
    const qint64 wall0 = monotonicNs();
    std::thread sender([&] {
        const qint64 thread0 = threadCpuNs();
        vorla::Report report{};
        report[0] = vorla::kFeatureReportId;
        for (int offset = 0; offset < size; offset += int(vorla::kFirmwareChunkSize)) {
            const auto length = std::size_t(std::min<int>(int(vorla::kFirmwareChunkSize), size - offset));
            vorla::setFirmwareDataReport(report, std::uint32_t(offset), data.data() + offset, length);
            if (vorla::connection::sendFeatureReport(report) < 0)
                break;
        }
        threadCpu = threadCpuNs() - thread0;
    });
    sender.join();
    wall = monotonicNs() - wall0;
    cpu = processCpuNs() - cpu0;
    vorla::connection::open();
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

} // namespace

int bench::stallsChild(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt >= 0 && runsAt + 1 < args.size() ? std::max(1, args.at(runsAt + 1).toInt()) : 3;
    QTemporaryDir dir;
    sim::reset();
    sim::setRebootDuration(std::chrono::milliseconds(100));
    {
        MainWindow window;
        window.setWindowFlags(Qt::FramelessWindowHint);
        window.show();
        spin(500);
        if (auto *device = window.findChild<QPushButton *>(QStringLiteral("pbS4")))
            device->click();
        StallProbe probe;
        BoxAnswerer answerer;
        Bench b{window, probe, answerer, dir.path()};
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(5));

        const bool onlyHost = args.contains(QStringLiteral("--only-host"));
        qint64 from = monotonicNs();
        spin(onlyHost ? 0 : 1000);
        say("idle " + number(probe.longest(from, monotonicNs())));

        // The start-up read (the reconnect's read too), at 1 ms a report.
        sim::setReportLatency(std::chrono::milliseconds(1));
        for (int run = 0; run < (onlyHost ? 0 : runs); ++run) {
            from = monotonicNs();
            if (!QMetaObject::invokeMethod(&window, "onInit", Qt::QueuedConnection))
                break;
            spin(300);
            say("init " + number(probe.longest(from, monotonicNs())));
        }

        // Uploads at three wheel speeds; smaller images where the wheel is slow.
        const struct {
            int latencyUs;
            int size;
        } speeds[] = {{0, int(vorla::kMaxFirmwareSize)}, {100, 64 * 1024}, {1000, 16 * 1024}};
        for (int run = 0; run < (onlyHost ? 0 : runs); ++run) {
            for (const auto &speed : speeds) {
                sim::setReportLatency(std::chrono::microseconds(speed.latencyUs));
                answerer.answeredAt = 0;
                const Bench::Upload u = b.upload(speed.size);
                if (!u.ok || u.lastValue == 0 || answerer.answeredAt == 0) {
                    say("failed upload " + number(speed.latencyUs));
                    continue;
                }
                say("upload " + number(speed.latencyUs) + ' ' + number(probe.longest(u.clicked, u.lastValue)));
                say("reconnect " + number(speed.latencyUs) + ' '
                    + number(probe.longest(answerer.answeredAt, u.settled)));
            }
        }

        // The host's cost: an upload with the wheel answering at once against
        // the bare loop, alternately, with the probe stopped; the box is
        // answered after the worker's end, outside the times taken.
        probe.stop();
        sim::setReportLatency(std::chrono::microseconds(0));
        window.upgradeWorker().setWritingStepDuration(std::chrono::milliseconds(0));
        for (int run = -1; run < 3 * runs; ++run) { // run -1 warms up
            // The wheel's record of reports would otherwise grow across runs.
            sim::clearReceived();
            const Bench::Upload u = b.upload(int(vorla::kMaxFirmwareSize));
            sim::clearReceived();
            qint64 wall = 0, cpu = 0, threadCpu = 0;
            bareLoop(int(vorla::kMaxFirmwareSize), wall, cpu, threadCpu);
            if (run < 0)
                continue;
            if (u.ok && u.finished > 0)
                say("host program " + number(u.finished - u.clicked) + ' ' + number(u.cpuFinished - u.cpuClicked)
                    + ' ' + number(u.workerCpu));
            say("host bare " + number(wall) + ' ' + number(cpu) + ' ' + number(threadCpu));
        }
        spin(100);
    }
    vorla::connection::shutdown();
    return 0;
}
