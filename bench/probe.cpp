#include "probe.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace bench {

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void say(const QByteArray &line)
{
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

namespace {

// Sees the window's first paint event; the queued call after it runs once the
// whole paint, children and flush included, is done.
class FirstPaint : public QObject
{
public:
    FirstPaint(QWidget *window, std::function<void()> done) : done(std::move(done))
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen) {
            seen = true;
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(this, [this] { done(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<void()> done;
    bool seen = false;
};

} // namespace

int runStartupChild(QApplication &app, QWidget *window, const QStringList &args,
                    const std::function<void()> &visitPages)
{
    const bool exitAfterPaint = args.contains(QStringLiteral("--exit"));
    FirstPaint watch(window, [&] {
        say("paint " + QByteArray::number(monotonicNs()));
        if (exitAfterPaint)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
    });

    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[256];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got <= 0) {
            input.setEnabled(false);
            app.quit();
            return;
        }
        pending.append(buffer, int(got));
        int end;
        while ((end = pending.indexOf('\n')) >= 0) {
            const QByteArray command = pending.left(end).trimmed();
            pending.remove(0, end + 1);
            if (command == "visit") {
                if (visitPages)
                    visitPages();
                say("visited");
            } else if (command == "quit") {
                app.quit();
            }
        }
    });
    input.setEnabled(!exitAfterPaint);
    return app.exec();
}

} // namespace bench
