#include "device/WheelSession.h"

namespace vorla {

namespace {

// While a restarting or returning wheel is not ready yet, it is tried this often.
constexpr std::chrono::milliseconds kRetryInterval{250};
// A node that appeared may refuse the open for a moment: the seat's access
// list can be applied a little after it.
constexpr std::chrono::milliseconds kReturnWait{2000};

} // namespace

WheelLook openAndRead()
{
    WheelLook look{connection::open(), std::nullopt};
    if (look.opened == connection::OpenResult::Opened) {
        look.settings = readSettings();
        if (!look.settings)
            connection::close();
    }
    return look;
}

WheelSession::WheelSession(QObject *parent, std::unique_ptr<SessionClock> clock, DeviceWatcher *watcher)
    : QObject(parent)
    , clock(clock ? std::move(clock) : std::make_unique<TimerClock>())
    , watcher(watcher ? watcher : createDeviceWatcher(this))
{
    connect(this->watcher, SIGNAL(wheelArrived()), this, SLOT(onWheelArrived()));
    connect(this->watcher, SIGNAL(wheelLeft()), this, SLOT(onWheelLeft()));
}

void WheelSession::connectWheel()
{
    const WheelLook look = openAndRead();
    if (look.settings) {
        if (reason == Reason::AfterUpgrade)
            emit waitingAfterUpgrade(false);
        reason = Reason::Startup;
        current = State::Ready;
        watcher->setWheelAway(false);
        emit settingsRead(*look.settings);
        return;
    }

    // A wheel that restarts or returns may be gone still, up but not yet
    // answering, or not yet ours to open: all are tried again while it has time.
    if (reason != Reason::Startup && clock->now() < deadline) {
        if (reason == Reason::AfterUpgrade)
            emit waitingAfterUpgrade(true);
        clock->callIn(kRetryInterval, [this] { connectWheel(); });
        return;
    }
    const bool refused = look.opened == connection::OpenResult::PermissionDenied;
    if (reason == Reason::Return) {
        // Still away: wait for the next time it is plugged in.
        current = refused ? State::PermissionDenied : State::Away;
        if (refused && !permissionTold) {
            permissionTold = true;
            emit permissionDenied();
        }
        return;
    }
    if (reason == Reason::AfterUpgrade)
        emit waitingAfterUpgrade(false);
    current = State::Failed;
    if (refused)
        emit failed(Failure::PermissionDenied);
    else if (reason == Reason::Startup && look.opened == connection::OpenResult::Opened)
        emit failed(Failure::CannotRead);
    else
        emit failed(Failure::NoDevice);
}

void WheelSession::beginTransfer()
{
    transfer = true;
}

void WheelSession::transferFinished(bool succeeded)
{
    transfer = false;
    // A wheel pulled out during the transfer is waited for like any other.
    if (!succeeded && !connection::wheelPresent()) {
        goAway();
        return;
    }
    connection::close();
    reason = Reason::AfterUpgrade;
    current = State::Connecting;
    deadline = clock->now() + reconnectWait;
    clock->callIn(std::chrono::milliseconds(0), [this] { connectWheel(); });
}

void WheelSession::reportFailed()
{
    if (current == State::Ready && !transfer && !connection::wheelPresent())
        goAway();
}

void WheelSession::goAway()
{
    clock->cancel();
    connection::close();
    current = State::Away;
    permissionTold = false;
    reason = Reason::Return;
    watcher->setWheelAway(true);
    emit wheelLeft();
}

void WheelSession::onWheelLeft()
{
    // A transfer ends by itself when the wheel goes (its report fails), and
    // after a transfer the reconnect is already waiting for the wheel.
    if (current != State::Ready || transfer)
        return;
    goAway();
}

void WheelSession::onWheelArrived()
{
    // Only a wheel the session waits for; while an attempt runs it goes on.
    const bool away = current == State::Away || current == State::PermissionDenied;
    if (!away || transfer || clock->pending())
        return;
    deadline = clock->now() + kReturnWait;
    connectWheel();
}

} // namespace vorla
