#include "device/WheelSession.h"

#include "device/upgradelock.h"

namespace vorla {

namespace {

// While a restarting or returning wheel is not ready yet, it is tried this often.
constexpr std::chrono::milliseconds kRetryInterval{250};
// A node that appeared may refuse the open for a moment: the seat's access
// list can be applied a little after it.
constexpr std::chrono::milliseconds kReturnWait{2000};
// While another instance upgrades the wheel, its lock is looked at this often.
constexpr std::chrono::milliseconds kOtherUpgradeInterval{500};

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

WheelSession::~WheelSession()
{
    upgradeOver();
}

void WheelSession::connectWheel()
{
    if (upgradelock::heldElsewhere()) {
        waitForOtherUpgrade();
        return;
    }
    const WheelLook look = openAndRead();
    if (look.settings) {
        if (reason == Reason::AfterUpgrade) {
            upgradeOver();
            emit waitingAfterUpgrade(false);
        }
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
    if (reason == Reason::AfterUpgrade) {
        upgradeOver();
        emit waitingAfterUpgrade(false);
    }
    current = State::Failed;
    if (refused)
        emit failed(Failure::PermissionDenied);
    else if (reason == Reason::Startup && look.opened == connection::OpenResult::Opened)
        emit failed(Failure::CannotRead);
    else
        emit failed(Failure::NoDevice);
}

bool WheelSession::beginTransfer()
{
    if (!upgradelock::acquire())
        return false;
    holdsLock = true;
    transfer = true;
    backDuringTransfer = false;
    return true;
}

void WheelSession::transferAbandoned()
{
    transfer = false;
    upgradeOver();
}

void WheelSession::upgradeOver()
{
    if (holdsLock)
        upgradelock::release();
    holdsLock = false;
}

void WheelSession::transferFinished(bool succeeded)
{
    transfer = false;
    // A wheel pulled out during the transfer is waited for like any other.
    if (!succeeded && !connection::wheelPresent()) {
        goAway();
        // Its return was told while the transfer had it, and the system does
        // not list it yet: it is given the time of any wheel that came back,
        // as no notice of it will come again.
        if (backDuringTransfer) {
            deadline = clock->now() + kReturnWait;
            connectWheel();
        }
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
    if (current != State::Ready || transfer)
        return;
    if (upgradelock::heldElsewhere()) {
        reason = Reason::Return; // the wheel restarts meanwhile
        waitForOtherUpgrade();
    } else if (!connection::wheelPresent()) {
        goAway();
    }
}

void WheelSession::waitForOtherUpgrade()
{
    connection::close();
    if (current != State::OtherUpgrade) {
        current = State::OtherUpgrade;
        emit otherUpgrade(true);
    }
    clock->callIn(kOtherUpgradeInterval, [this] { otherUpgradeLooked(); });
}

void WheelSession::otherUpgradeLooked()
{
    if (upgradelock::heldElsewhere()) {
        clock->callIn(kOtherUpgradeInterval, [this] { otherUpgradeLooked(); });
        return;
    }
    current = State::Connecting;
    emit otherUpgrade(false);
    // The other instance read the wheel before it let go: it is there. Read
    // at start-up, or as a wheel that restarted under the pages it had shown.
    if (reason != Reason::Startup) {
        goAway();
        deadline = clock->now() + kReturnWait;
    }
    connectWheel();
}

void WheelSession::goAway()
{
    upgradeOver();
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
    backDuringTransfer = false;
    if (current != State::Ready || transfer)
        return;
    goAway();
}

void WheelSession::onWheelArrived()
{
    // Only a wheel the session waits for; while an attempt runs it goes on.
    // One that comes back while a transfer has it is remembered for the end
    // of the transfer.
    backDuringTransfer = transfer;
    const bool away = current == State::Away || current == State::PermissionDenied;
    if (!away || transfer || clock->pending())
        return;
    deadline = clock->now() + kReturnWait;
    connectWheel();
}

} // namespace vorla
