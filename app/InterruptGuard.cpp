#include "app/InterruptGuard.h"

#ifdef Q_OS_WIN

#include <QMetaObject>

#include <mutex>

#include <windows.h>

namespace {

std::mutex guardMutex;
InterruptGuard *current = nullptr; // guarded by guardMutex

// Runs on a thread of its own, which Windows starts for the event.
BOOL WINAPI onConsoleControl(DWORD event)
{
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE; // a closed console or a logoff cannot be refused
    std::lock_guard<std::mutex> lock(guardMutex);
    if (current)
        QMetaObject::invokeMethod(current, "interrupted", Qt::QueuedConnection);
    return TRUE;
}

} // namespace

struct InterruptGuard::Private {
};

InterruptGuard::InterruptGuard(QObject *parent)
    : QObject(parent)
    , d(new Private)
{
    std::lock_guard<std::mutex> lock(guardMutex);
    current = this;
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

InterruptGuard::~InterruptGuard()
{
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    std::lock_guard<std::mutex> lock(guardMutex);
    current = nullptr;
    delete d;
}

#else

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A signal handler may only write(): the byte wakes the event loop, which
// tells the rest (Qt's own advice for Unix signals).
int signalSockets[2] = {-1, -1};

void onSignal(int)
{
    const char byte = 1;
    (void)!::write(signalSockets[1], &byte, 1);
}

constexpr int kHeldOff[] = {SIGINT, SIGTERM};

} // namespace

struct InterruptGuard::Private {
    struct sigaction before[2];
    QSocketNotifier *notifier = nullptr;
};

InterruptGuard::InterruptGuard(QObject *parent)
    : QObject(parent)
    , d(new Private)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return; // the signals keep ending the program
    d->notifier = new QSocketNotifier(signalSockets[0], QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] {
        char byte;
        if (::read(signalSockets[0], &byte, 1) == 1)
            emit interrupted();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        sigaction(kHeldOff[i], &action, &d->before[i]);
}

InterruptGuard::~InterruptGuard()
{
    if (d->notifier) {
        for (int i = 0; i < 2; ++i)
            sigaction(kHeldOff[i], &d->before[i], nullptr);
        delete d->notifier;
        ::close(signalSockets[0]);
        ::close(signalSockets[1]);
        signalSockets[0] = signalSockets[1] = -1;
    }
    delete d;
}

#endif
